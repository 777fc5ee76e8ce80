// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ConsoleWindow;

// "Open recording..." (Ctrl+L): a recording in a viewer window of its own,
// the file dialog starting in `recordingsFolder`. Any number may be open.
void attachOpenRecordingAction(ConsoleWindow &window, const QString &recordingsFolder);
