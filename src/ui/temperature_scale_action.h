// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ConsoleWindow;
class QAction;
class TemperatureScaleChoice;

// "Temperatures in °F", a check in the window's context menu: it sets
// `choice`, and the window shows temperatures as `choice` says from now on.
QAction *attachTemperatureScaleAction(ConsoleWindow &window, TemperatureScaleChoice &choice);
