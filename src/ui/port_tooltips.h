// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ConsoleWindow;

// Gives each port button a tooltip naming the device it would open, looked up
// each time the tooltip shows, so a user can tell adapters apart. After a
// failed open the button that failed also says why, until the next attempt.
void installPortTooltips(ConsoleWindow &window);
