// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's second recording: adding, aligning and removing it, its
// values at the cursor and its rows in view.
#include "viewer/recording_viewer.h"

#include "viewer/figure_readout.h"
#include "viewer/overlaid_recording.h"
#include "viewer/overlay_controls.h"
#include "viewer/strip_chart.h"
#include "viewer/value_text.h"
#include "viewer/view_export.h"
#include "viewer/viewed_recording.h"

#include <QFileDialog>
#include <QFileInfo>

QString RecordingViewer::addOverlay(const QString &path)
{
    QString error;
    std::unique_ptr<ViewedRecording> added = ViewedRecording::open(path, error);
    if (!added)
        return error;
    const OverlayAlignment alignment = suggestedAlignment(*recording, *added);
    second = std::make_unique<OverlaidRecording>(*recording, std::move(added), alignment);
    overlayChanged();
    return {};
}

void RecordingViewer::setOverlayAlignment(OverlayAlignment alignment)
{
    if (!second)
        return;
    second->realign(*recording, alignment);
    overlayChanged();
}

void RecordingViewer::removeOverlay()
{
    // The chart lets go before the recording it draws goes.
    strips->setOverlay(nullptr);
    second.reset();
    overlayChanged();
}

void RecordingViewer::overlayChanged()
{
    strips->setOverlay(second.get());
    readout->setOverlayShown(bool(second));
    overlayControls->setOverlayShown(bool(second), second ? second->alignment()
                                                          : OverlayAlignment::ClockTime);
    if (const std::optional<double> cursor = strips->cursorSeconds())
        showCursor(*cursor);
}

void RecordingViewer::showOverlayCursor(double seconds, const FigureValuesAt &firstValues)
{
    const ViewedRecording &other = second->recording();
    const FigureValuesAt values = figuresAt(other, second->rowNearest(seconds));
    const double own = second->ownSeconds(seconds);
    const QString time = QStringLiteral("%1   (%2 s)")
                             .arg(clockText(other.table().start, own))
                             .arg(own, 0, 'f', 3);
    readout->showOverlayCursor(time, values, differences(firstValues, values));
}

// Beside the first one's, named after it: "rows.csv" -> "rows-overlay.csv";
// the second recording's rows under the view, as they stand in its file.
QString RecordingViewer::saveOverlayRowsInView(const QString &path) const
{
    const QFileInfo file(path);
    const QString overlayPath =
        file.dir().filePath(file.completeBaseName() + QStringLiteral("-overlay.csv"));
    const ViewedRecording &other = second->recording();
    return saveRowsCsv(other.path(), other.table(), second->rowsWithin(strips->visibleSeconds()),
                       overlayPath);
}

void RecordingViewer::askAndAddOverlay()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Overlay a second recording"),
        QFileInfo(recording->path()).absolutePath(), QStringLiteral("Recordings (*.csv)"));
    if (!path.isEmpty())
        tell(addOverlay(path));
}
