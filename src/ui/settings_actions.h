// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class ConsoleWindow;
class SettingsKeeper;

// "Save settings..." (Ctrl+S), "Load settings..." (Ctrl+O) and "Print
// settings sheet..." (Ctrl+P), in the window's context menu and on their
// keys.
void attachSettingsActions(ConsoleWindow &window, SettingsKeeper &keeper);
