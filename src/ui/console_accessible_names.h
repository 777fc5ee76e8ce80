// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ConsoleWindow;

// Gives every control of the console window the words a screen reader
// speaks for it, and what a button or box does where that helps; the
// objectName stays the identifier tools find it by. The two temperature-unit
// captions keep no name of their own: their caption, which names the unit
// shown, is what is read.
void nameConsoleControls(ConsoleWindow &window);
