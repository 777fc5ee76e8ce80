// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/color_button.h"

#include "gauges/packed_color.h"

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
    // Dark backgrounds get a light caption so the text stays readable.
    const QColor text = back.lightness() < 110 ? QColor(Qt::white) : QColor(Qt::black);
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2;"
                                 " border: 1px solid #101010; border-radius: 2px; }"
                                 "QPushButton:pressed { background-color: %3; }"
                                 "QPushButton:focus { border: 1px dotted %2; }")
                      .arg(back.name(), text.name(), back.darker(130).name()));
}
