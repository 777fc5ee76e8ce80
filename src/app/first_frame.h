#pragma once

class QWidget;

// Quits the application once `window` has painted itself for the first time;
// start-up measurements time the whole run.
void quitAfterFirstFrame(QWidget *window);
