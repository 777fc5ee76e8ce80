// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window_title.h"

#include "access/screen_reader_text.h"

#include <QStringList>
#include <QWidget>
#include <array>

namespace {

constexpr int markerCount = 4;

QString markerText(int marker)
{
    static const std::array<QString, markerCount> texts{
        QStringLiteral(" [DEMO]"), QStringLiteral(" [REPLAY]"), QStringLiteral(" [REC]"),
        QStringLiteral(" [REC FAILED]")};
    return texts[marker];
}

QString spokenMarker(int marker)
{
    static const std::array<QString, markerCount> words{
        QStringLiteral("Demo unit"), QStringLiteral("Replaying a recording"),
        QStringLiteral("Recording"), QStringLiteral("Recording failed")};
    return words[marker];
}

bool isRecordingMarker(int marker)
{
    return marker == int(TitleMarker::Recording) || marker == int(TitleMarker::RecordingFailed);
}

// Strips the known markers off the end of the title into `present`.
QString baseTitle(QString title, std::array<bool, markerCount> &present)
{
    for (bool stripped = true; stripped;) {
        stripped = false;
        for (int marker = 0; marker < markerCount; ++marker) {
            if (title.endsWith(markerText(marker))) {
                title.chop(markerText(marker).size());
                present[marker] = true;
                stripped = true;
            }
        }
    }
    return title;
}

} // namespace

QString titleWithMarker(const QString &title, TitleMarker marker, bool on)
{
    std::array<bool, markerCount> present{};
    QString result = baseTitle(title, present);
    if (on && isRecordingMarker(int(marker))) {
        present[int(TitleMarker::Recording)] = false;
        present[int(TitleMarker::RecordingFailed)] = false;
    }
    present[int(marker)] = on;
    for (int m = 0; m < markerCount; ++m) {
        if (present[m])
            result += markerText(m);
    }
    return result;
}

// A screen reader reads the window's name, not its title: the markers are
// told in words as its description.
void setTitleMarker(QWidget &window, TitleMarker marker, bool on)
{
    const QString title = titleWithMarker(window.windowTitle(), marker, on);
    window.setWindowTitle(title);
    std::array<bool, markerCount> present{};
    baseTitle(title, present);
    QStringList words;
    for (int m = 0; m < markerCount; ++m)
        if (present[m])
            words << spokenMarker(m);
    announceToScreenReaders(window, words.join(QStringLiteral(", ")));
}
