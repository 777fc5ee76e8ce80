// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "viewer/overlay_alignment.h"

#include <QWidget>

class QComboBox;
class QPushButton;

// The toolbar's part for a second recording: add one, choose how it is
// aligned, remove it. It only asks; the viewer does and says what came of it.
class OverlayControls : public QWidget {
    Q_OBJECT
public:
    explicit OverlayControls(QWidget *parent = nullptr);

    // Whether a second recording is shown: the alignment and removal apply.
    void setOverlayShown(bool shown, OverlayAlignment alignment = OverlayAlignment::ClockTime);

signals:
    void addRequested();
    void alignmentChosen(OverlayAlignment alignment);
    void removeRequested();

private:
    QPushButton *addButton = nullptr;
    QComboBox *alignmentBox = nullptr;
    QPushButton *removeButton = nullptr;
};
