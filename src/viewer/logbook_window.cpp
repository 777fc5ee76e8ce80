// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/logbook_window.h"

#include "access/screen_reader_text.h"
#include "logbook/logbook_text.h"
#include "viewer/logbook_model.h"
#include "viewer/recording_viewer.h"
#include "viewer/run_trend_strip.h"
#include "viewer/strip_chart.h"
#include "viewer/temperature_scale_choice.h"
#include "viewer/viewer_look.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int columnPadding = 14; // pixels, so that neighbouring figures stay apart

class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

template <typename W>
W *named(W *widget, const char *objectName)
{
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

constexpr SpokenName spokenNames[] = {
    {"engineLogbook", "Engine logbook"},
    {"refreshLogbook", "Read the folder again"},
    {"logbookTable", "Engine runs", "Double-click a run to see it in the viewer"},
    // Its description is the totals, set as the logbook is read.
    {"logbookTotals", "Logbook totals"},
    {"skippedRecordings", "Files not read as recordings"},
    {"logbookTrendArea", "Trend from run to run"},
    {"trendFigureChoice", "Figure followed from run to run"},
    {"logbookTrend", "The chosen figure, run after run"},
    {"trendOutlierList", "Runs that stand out (click one to select it)"},
};

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(ViewerLook::font(8.25, true));
    return label;
}

QString counted(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

// "14 recordings, 31 runs, engine time 12 h 5 min; 2 files skipped".
QString totalsText(const LogbookTotals &totals)
{
    QString text = QStringLiteral("%1, %2, engine time %3")
                       .arg(counted(totals.recordings, "recording", "recordings"),
                            counted(totals.runs, "run", "runs"),
                            engineTimeText(totals.engineSeconds));
    if (totals.skipped > 0)
        text += QStringLiteral("; %1 skipped").arg(counted(totals.skipped, "file", "files"));
    return text;
}

// A run and its recording, as a refresh finds them again.
struct RunIdentity {
    QString path;
    double startSeconds = 0;
};

std::optional<RunPlace> findRun(const Logbook &logbook, const RunIdentity &identity)
{
    for (size_t r = 0; r < logbook.recordings.size(); ++r) {
        if (logbook.recordings[r].path != identity.path)
            continue;
        const std::vector<LoggedRun> &runs = logbook.recordings[r].runs;
        for (size_t run = 0; run < runs.size(); ++run)
            if (runs[run].startSeconds == identity.startSeconds)
                return RunPlace{r, run};
    }
    return std::nullopt;
}

} // namespace

LogbookWindow::LogbookWindow(Logbook logbook, const EngineLimits &limits, const QString &indexPath,
                             QWidget *parent)
    : QWidget(parent, Qt::Window), limits(limits), indexPath(indexPath)
{
    setAttribute(Qt::WA_DeleteOnClose);
    named(this, "engineLogbook");
    buildControls();
    nameForScreenReaders(*this, spokenNames);
    setLogbook(std::move(logbook));
}

LogbookWindow *LogbookWindow::openFolder(const QString &folder, const EngineLimits &limits,
                                         const QString &indexPath, QWidget *parent)
{
    const BusyCursor busy;
    return new LogbookWindow(readLogbook(folder, limits, indexPath), limits, indexPath, parent);
}

void LogbookWindow::buildControls()
{
    ViewerLook::dress(*this);

    refreshButton = named(new QPushButton(QStringLiteral("Refresh"), this), "refreshLogbook");
    refreshButton->setEnabled(!indexPath.isEmpty());
    auto *hint = new QLabel(QStringLiteral("Double-click a run to see it in the viewer. "
                                           "Click a heading to sort by it."),
                            this);
    hint->setFont(ViewerLook::font(7.5));
    auto *toolbar = new QHBoxLayout;
    toolbar->addWidget(refreshButton);
    toolbar->addSpacing(12);
    toolbar->addWidget(hint, 1);

    model = new LogbookModel(this);
    sorted = new QSortFilterProxyModel(this);
    sorted->setSourceModel(model);
    sorted->setSortRole(LogbookModel::sortRole);
    table = named(new QTableView(this), "logbookTable");
    table->setModel(sorted);
    table->setSortingEnabled(true);
    table->sortByColumn(LogbookModel::Start, Qt::AscendingOrder);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);

    totals = named(new QLabel(this), "logbookTotals");
    totals->setFont(ViewerLook::font(8.25, true));
    skippedCaption = caption(QStringLiteral("Files not read as recordings"), this);
    skippedList = named(new QListWidget(this), "skippedRecordings");
    skippedList->setMaximumHeight(70);

    auto *root = new QVBoxLayout(this);
    root->addLayout(toolbar);
    root->addWidget(table, 1);
    root->addWidget(totals);
    root->addWidget(skippedCaption);
    root->addWidget(skippedList);
    root->addSpacing(6);
    root->addWidget(buildTrend());

    connect(refreshButton, &QPushButton::clicked, this, &LogbookWindow::refresh);
    connect(table, &QTableView::doubleClicked, this, &LogbookWindow::openRowAt);
    connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LogbookWindow::showSelectionInTrend);
    resize(1200, 840);
}

QWidget *LogbookWindow::buildTrend()
{
    auto *area = named(new QWidget(this), "logbookTrendArea");
    figureChoice = named(new QComboBox(area), "trendFigureChoice");
    for (const TrendFigure figure :
         {TrendFigure::PeakTemperature, TrendFigure::CrankingVolts, TrendFigure::PeakRpm})
        figureChoice->addItem(trendFigureName(figure), int(figure));
    trend = named(new RunTrendStrip(area), "logbookTrend");
    outlierList = named(new QListWidget(area), "trendOutlierList");
    outlierList->setWordWrap(true);
    outlierList->setMinimumWidth(430);

    auto *choiceRow = new QHBoxLayout;
    choiceRow->addWidget(caption(QStringLiteral("Trend of"), area));
    choiceRow->addWidget(figureChoice);
    choiceRow->addStretch(1);
    auto *left = new QVBoxLayout;
    left->addLayout(choiceRow);
    left->addWidget(trend, 1);
    auto *right = new QVBoxLayout;
    right->addWidget(caption(QStringLiteral("Runs that stand out (click one to select it)"), area));
    right->addWidget(outlierList, 1);
    auto *row = new QHBoxLayout(area);
    row->setContentsMargins(0, 0, 0, 0);
    row->addLayout(left, 3);
    row->addLayout(right, 2);
    area->setFixedHeight(230);

    connect(figureChoice, &QComboBox::currentIndexChanged, this, &LogbookWindow::showTrend);
    connect(outlierList, &QListWidget::currentRowChanged, this, &LogbookWindow::selectOutlier);
    connect(outlierList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { selectOutlier(outlierList->row(item)); });
    connect(trend, &RunTrendStrip::pointClicked, this,
            [this](size_t index) { selectRun(trend->series().points[index].place); });
    return area;
}

void LogbookWindow::setTemperatureScale(TemperatureScale scale)
{
    temperatureScale = scale;
    model->setTemperatureScale(scale);
    showTrend();
}

void LogbookWindow::followTemperatureScale(TemperatureScaleChoice &choice)
{
    scaleChoice = &choice;
    connect(&choice, &TemperatureScaleChoice::scaleChanged, this,
            &LogbookWindow::setTemperatureScale, Qt::UniqueConnection);
    setTemperatureScale(choice.scale());
}

const Logbook &LogbookWindow::logbook() const
{
    return model->logbook();
}

void LogbookWindow::setLogbook(Logbook logbook)
{
    setWindowTitle(QStringLiteral("Engine logbook - %1").arg(QDir::toNativeSeparators(logbook.folder)));
    model->setLogbook(std::move(logbook));
    table->resizeColumnsToContents();
    for (int column = 0; column < LogbookModel::ColumnCount; ++column)
        table->setColumnWidth(column, table->columnWidth(column) + columnPadding);
    showTotals();
    showSkipped();
    showTrend();
    table->scrollToBottom();
}

void LogbookWindow::refresh()
{
    std::optional<RunIdentity> kept;
    if (const std::optional<RunPlace> place = selectedRun())
        kept = RunIdentity{logbook().recordings[place->recording].path,
                           runAt(logbook(), *place).startSeconds};
    {
        const BusyCursor busy;
        setLogbook(readLogbook(logbook().folder, limits, indexPath));
    }
    if (kept)
        if (const std::optional<RunPlace> place = findRun(logbook(), *kept))
            selectRun(*place);
}

void LogbookWindow::showTotals()
{
    totals->setText(totalsText(logbook().totals()));
    describeForScreenReaders(*totals, totals->text());
}

void LogbookWindow::showSkipped()
{
    skippedList->clear();
    for (size_t r = 0; r < logbook().recordings.size(); ++r) {
        const LoggedRecording &recording = logbook().recordings[r];
        if (!recording.skipped.isEmpty())
            skippedList->addItem(QStringLiteral("%1: %2").arg(model->recordingName(r), recording.skipped));
    }
    skippedCaption->setVisible(skippedList->count() > 0);
    skippedList->setVisible(skippedList->count() > 0);
}

void LogbookWindow::showTrend()
{
    const auto figure = TrendFigure(figureChoice->currentData().toInt());
    trend->setSeries(trendSeries(logbook(), figure, temperatureScale));
    const QSignalBlocker quiet(outlierList);
    outlierList->clear();
    for (const TrendOutlier &outlier : trend->series().outliers)
        outlierList->addItem(outlierLine(trend->series(), outlier));
    if (outlierList->count() == 0) {
        outlierList->addItem(QStringLiteral("None: every run is like the ones before it"));
        outlierList->item(0)->setFlags(Qt::NoItemFlags);
    }
    showSelectionInTrend();
}

void LogbookWindow::showSelectionInTrend()
{
    const std::optional<RunPlace> place = selectedRun();
    const std::vector<TrendPoint> &points = trend->series().points;
    const auto shown = std::find_if(points.begin(), points.end(), [&](const TrendPoint &point) {
        return place && point.place == *place;
    });
    trend->setSelectedPoint(shown == points.end() ? std::nullopt
                                                  : std::optional<size_t>(shown - points.begin()));
}

void LogbookWindow::selectOutlier(int listRow)
{
    const std::vector<TrendOutlier> &outliers = trend->series().outliers;
    if (listRow < 0 || size_t(listRow) >= outliers.size())
        return;
    selectRun(trend->series().points[outliers[size_t(listRow)].index].place);
}

void LogbookWindow::selectRun(RunPlace place)
{
    const int row = model->rowOf(place);
    if (row < 0)
        return;
    const QModelIndex index = sorted->mapFromSource(model->index(row, 0));
    table->selectRow(index.row());
    table->scrollTo(index);
}

std::optional<RunPlace> LogbookWindow::selectedRun() const
{
    const QModelIndexList rows = table->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return model->placeAt(sorted->mapToSource(rows.front()).row());
}

void LogbookWindow::openRowAt(const QModelIndex &index)
{
    if (index.isValid())
        openRun(model->placeAt(sorted->mapToSource(index).row()));
}

RecordingViewer *LogbookWindow::openRun(RunPlace place)
{
    if (model->rowOf(place) < 0)
        return nullptr;
    const QString &path = logbook().recordings[place.recording].path;
    const LoggedRun &run = runAt(logbook(), place);
    QString error;
    RecordingViewer *viewer = RecordingViewer::open(path, error);
    if (!viewer) {
        QMessageBox::warning(this, windowTitle(), error);
        return nullptr;
    }
    viewer->setLimits(limits);
    if (scaleChoice)
        viewer->followTemperatureScale(*scaleChoice);
    // The cranking before the run and the engine stopping after it.
    const double margin = std::max(2 * crankingLeadSeconds, run.durationSeconds * 0.1);
    viewer->stripChart()->setVisibleSeconds(run.startSeconds - margin,
                                            run.startSeconds + run.durationSeconds + margin);
    viewer->show();
    return viewer;
}
