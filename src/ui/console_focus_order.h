// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

class ConsoleWindow;
class QWidget;

// The controls Tab visits, in reading order: the port buttons, the settings
// column top to bottom with STORE CONFIG under it, then the bottom band. Tab
// passes over the hidden ones, so one chain serves before and after a
// connection. The display boxes take no focus.
std::vector<QWidget *> tabChain(const ConsoleWindow &window);

// Gives the window that order. When the connection hides the control that has
// the focus, the focus goes back to the window, so that the next Tab starts
// at the top: Qt would hand it on to STORE CONFIG, a Space away from writing
// the unit's memory.
void orderConsoleFocus(ConsoleWindow &window);
