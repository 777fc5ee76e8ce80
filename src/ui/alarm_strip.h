// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/alarm_annunciator.h"

#include <QTimer>
#include <QWidget>
#include <vector>

// One line per exceedance under the main window: amber for a caution, red
// for an alarm, each with its mark in words so no colour is needed to read
// it. A click acknowledges.
//
// The strip makes room for a new line at once, but gives room back only
// once it has needed less for a few seconds: a figure hovering at a limit
// would otherwise make the window jump, and repaint all of it, with every
// crossing.
class AlarmStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int lineHeight = 22;
    static constexpr int roomHeldMs = 5000;

    explicit AlarmStrip(QWidget *parent = nullptr);

    void showLines(const std::vector<AlarmLine> &lines, bool lit);
    const std::vector<AlarmLine> &shownLines() const { return current; }
    // Lines the strip has room for: at least those shown.
    std::size_t room() const { return roomForLines; }
    int heightFor(std::size_t lineCount) const;
    // Shrinks the room to the lines shown; the hold's end calls it.
    void releaseUnusedRoom();

signals:
    void clicked();
    void roomChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void tellScreenReaders(bool sameExceedances);
    void fitRoom();

    std::vector<AlarmLine> current;
    bool isLit = true;
    std::size_t roomForLines = 0;
    QTimer roomHold;
};
