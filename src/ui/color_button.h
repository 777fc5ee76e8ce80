// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>
#include <cstdint>

// A push button that always shows its own background colour, whatever the
// widget style, because the colour carries state (unsaved change, active mode).
// Tab reaches it; Space or Enter presses it, and it frames itself while it has
// the focus.
class ColorButton : public QPushButton {
    Q_OBJECT
public:
    explicit ColorButton(QWidget *parent = nullptr);

    uint32_t backColor() const { return packedColour; }
    void setBackColor(uint32_t packed);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    uint32_t packedColour = 0xFFFFFFFF;
};
