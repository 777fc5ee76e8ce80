// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/engine_limits.h"
#include "logbook/logbook.h"
#include "protocol/temperature_scale.h"
#include "viewer/run_place.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class LogbookModel;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class RecordingViewer;
class RunTrendStrip;
class TemperatureScaleChoice;

// The engine logbook of a folder: every run in a table, the totals, the
// recordings that could not be read, and one figure's trend from run to run
// with the runs that stand out. A double-click opens a run in the viewer.
// Closing the window deletes it.
class LogbookWindow : public QWidget {
    Q_OBJECT
public:
    // `logbook` as read with `limits`. Refresh reads its folder again through
    // the index at `indexPath`; without one there is no Refresh.
    LogbookWindow(Logbook logbook, const EngineLimits &limits, const QString &indexPath = {},
                  QWidget *parent = nullptr);
    // Reads the folder (a busy cursor meanwhile: the first look at a large
    // folder takes seconds, later ones come from the index) and opens a
    // window on it, not yet shown.
    static LogbookWindow *openFolder(const QString &folder, const EngineLimits &limits,
                                     const QString &indexPath, QWidget *parent = nullptr);

    // The peak temperatures and their trend in `scale`.
    void setTemperatureScale(TemperatureScale scale);
    // Shows temperatures as `choice` says, now and whenever it changes, and
    // so do the viewers this window opens.
    void followTemperatureScale(TemperatureScaleChoice &choice);

    const Logbook &logbook() const;
    void setLogbook(Logbook logbook);
    // Reads the folder again; the run selected stays selected.
    void refresh();

    void selectRun(RunPlace place);
    std::optional<RunPlace> selectedRun() const;
    // The run's recording in a new viewer window, zoomed to the run with some
    // time either side and showing the limits the logbook used; nothing (and
    // a message) when it cannot be read.
    RecordingViewer *openRun(RunPlace place);

private:
    void buildControls();
    QWidget *buildTrend();
    void showTotals();
    void showSkipped();
    void showTrend();
    void showSelectionInTrend();
    void selectOutlier(int listRow);
    void openRowAt(const QModelIndex &index);

    EngineLimits limits;
    QString indexPath;
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
    QPointer<TemperatureScaleChoice> scaleChoice;
    LogbookModel *model = nullptr;
    QSortFilterProxyModel *sorted = nullptr;
    QTableView *table = nullptr;
    QLabel *totals = nullptr;
    QLabel *skippedCaption = nullptr;
    QListWidget *skippedList = nullptr;
    QComboBox *figureChoice = nullptr;
    RunTrendStrip *trend = nullptr;
    QListWidget *outlierList = nullptr;
    QPushButton *refreshButton = nullptr;
};
