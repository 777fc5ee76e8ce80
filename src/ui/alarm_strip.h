// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/alarm_annunciator.h"

#include <QWidget>
#include <vector>

// One line per exceedance under the main window: amber for a caution, red
// for an alarm, each with its mark in words so no colour is needed to read
// it. A click acknowledges.
class AlarmStrip : public QWidget {
    Q_OBJECT
public:
    static constexpr int lineHeight = 22;

    explicit AlarmStrip(QWidget *parent = nullptr);

    void showLines(const std::vector<AlarmLine> &lines, bool lit);
    const std::vector<AlarmLine> &shownLines() const { return current; }
    int heightFor(std::size_t lineCount) const;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void tellScreenReaders(bool sameExceedances);

    std::vector<AlarmLine> current;
    bool isLit = true;
};
