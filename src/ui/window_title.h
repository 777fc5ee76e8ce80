// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// Markers at the end of the main window's title, always in this order and
// each at most once: "Torvane Data Link [DEMO] [REC]". Recording and
// RecordingFailed share one place; setting one clears the other.
enum class TitleMarker { Demo, Replay, Recording, RecordingFailed };

// The title with the marker added or removed. Markers already at its end,
// however they got there, are kept in order and never doubled.
QString titleWithMarker(const QString &title, TitleMarker marker, bool on);

void setTitleMarker(QWidget &window, TitleMarker marker, bool on);
