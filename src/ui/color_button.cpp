// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/color_button.h"

#include "gauges/packed_color.h"
#include "ui/focus_frame.h"

#include <QKeyEvent>

namespace {

// Dark backgrounds get a light caption so the text stays readable.
QColor captionOn(const QColor &back)
{
    return back.lightness() < 110 ? QColor(Qt::white) : QColor(Qt::black);
}

} // namespace

ColorButton::ColorButton(QWidget *parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void ColorButton::setBackColor(uint32_t packed)
{
    if (packed == packedColour)
        return;
    packedColour = packed;
    const QColor back = PackedColor::toQColor(packed);
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2;"
                                 " border: 1px solid #101010; border-radius: 2px; }"
                                 "QPushButton:pressed { background-color: %3; }")
                      .arg(back.name(), captionOn(back).name(), back.darker(130).name()));
}

// Outside a dialog a push button takes only Space; Enter presses it too, once
// per press however long the key is held.
void ColorButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter)
        return QPushButton::keyPressEvent(event);
    if (!event->isAutoRepeat())
        click();
    event->accept();
}

void ColorButton::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    if (hasFocus())
        paintFocusFrame(*this, captionOn(PackedColor::toQColor(packedColour)));
}
