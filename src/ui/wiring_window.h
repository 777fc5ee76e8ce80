// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;

// The window that shows how to wire the serial cable. It frees itself when
// closed, so callers may open it with a bare `new`.
class WiringWindow : public QWidget {
    Q_OBJECT
public:
    explicit WiringWindow(QWidget *parent = nullptr);

    QLabel *picture;
    // Under the drawing, in the frame: where to look when the unit does not answer.
    QLabel *noAnswerNote;
};
