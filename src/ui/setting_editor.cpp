// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/setting_editor.h"

#include "ui/focus_frame.h"

#include <QKeyEvent>

SettingEditor::SettingEditor(QWidget *parent) : QScrollBar(Qt::Horizontal, parent)
{
    setFocusPolicy(Qt::TabFocus);
    // The scroll bar's own menu offers jumps to either end, which would send
    // the unit a value no arrow click could; the window's menu serves instead.
    setContextMenuPolicy(Qt::NoContextMenu);
}

void SettingEditor::keyPressEvent(QKeyEvent *event)
{
    // The arrows swap sides in a right-to-left layout, and the keys with them.
    const int right = isRightToLeft() ? -1 : +1;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Right:
        step = right;
        break;
    case Qt::Key_Left:
        step = -right;
        break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        step = +1;
        break;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        step = -1;
        break;
    case Qt::Key_Home:
    case Qt::Key_End:
        event->accept();
        return;
    default:
        event->ignore();
        return;
    }
    triggerAction(step > 0 ? SliderSingleStepAdd : SliderSingleStepSub);
    event->accept();
}

void SettingEditor::paintEvent(QPaintEvent *event)
{
    QScrollBar::paintEvent(event);
    // In the window's text colour: the arrows stand on its background.
    if (hasFocus())
        paintFocusFrame(*this, palette().color(QPalette::WindowText));
}
