// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Quits the application once `window` has painted itself for the first time;
// start-up measurements time the whole run.
void quitAfterFirstFrame(QWidget *window);
