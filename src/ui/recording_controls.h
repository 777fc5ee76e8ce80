// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class ConsoleWindow;
class Recorder;

// A recorder owned by the window. It hears every line the unit link decodes
// and every lost connection; "Record telemetry" in the window's menu, or
// Ctrl+R, starts it into `defaultFolder`, or stops it; the title shows " [REC]"
// or " [REC FAILED]".
Recorder *attachRecorder(ConsoleWindow &window, const QString &defaultFolder);
