// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QScrollBar>

// The arrow pair beside a setting's box. A key moves it only as its arrow
// buttons do, one step per press through the same action, so the unit gets
// the same command: Right, Up and Page Up step up, Left, Down and Page Down
// step down; Home and End, which would jump to an end of the range, do
// nothing. Tab reaches it, and it shows the focus.
class SettingEditor : public QScrollBar {
    Q_OBJECT
public:
    explicit SettingEditor(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
