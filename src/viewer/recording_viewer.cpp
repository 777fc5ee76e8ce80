// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/recording_viewer.h"

#include "access/screen_reader_text.h"
#include "limits/exceedance_text.h"
#include "logbook/logbook.h"
#include "logbook/recording_report.h"
#include "viewer/cursor_values.h"
#include "viewer/figure_readout.h"
#include "viewer/logbook_window.h"
#include "viewer/overlaid_recording.h"
#include "viewer/overlay_controls.h"
#include "viewer/report_sheet.h"
#include "viewer/strip_chart.h"
#include "viewer/summary_text.h"
#include "viewer/temperature_scale_choice.h"
#include "viewer/value_text.h"
#include "viewer/view_export.h"
#include "viewer/viewed_recording.h"
#include "viewer/viewer_look.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int growthCheckMs = 1000;

// The read-out boxes are named by FigureReadout, from their rows and columns.
constexpr SpokenName spokenNames[] = {
    {"recordingViewer", "Recording viewer"},
    {"viewerToolbar", "Viewer tools"},
    {"fitToData", "Fit to data", "Each strip spans the values in view, not its gauge's range"},
    {"clockTime", "Clock time", "The time axis in clock time, not in seconds from the start"},
    {"fahrenheitToggle", "Temperatures in degrees Fahrenheit",
     "Every window shows temperatures in degrees Fahrenheit; the recording keeps Celsius"},
    {"showAll", "Show all", "Shows the whole recording"},
    {"saveView", "Save view", "Saves the strips as a PNG picture or a PDF document"},
    {"saveRows", "Save rows in view", "Saves the rows in view as a CSV file"},
    {"printReportButton", "Print a report of this recording"},
    {"engineLogbookButton", "Open the engine logbook of this recording's folder"},
    {"stripChart", "Strip chart",
     "The figures over time, one strip each, the exceedances shaded"},
    {"overlayControls", "Second recording"},
    {"cursorReadout", "Figures at the cursor and in view"},
    {"summaryArea", "Recording summary"},
    // Its description is the summary, set as the recording grows.
    {"recordingSummary", "Summary"},
    {"exceedanceList", "Exceedances", "Selecting one zooms the strips to it"},
};

QPushButton *toolButton(const QString &text, const char *objectName, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

QCheckBox *toggle(const QString &text, const char *objectName, bool on, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(objectName));
    box->setChecked(on);
    box->setFont(ViewerLook::font(8.25, true));
    return box;
}

// Next to the recording, named after it: "flight.csv" -> "flight-view.png".
QString suggestedPath(const QString &recordingPath, const QString &ending)
{
    const QFileInfo file(recordingPath);
    return file.dir().filePath(file.completeBaseName() + ending);
}

} // namespace

RecordingViewer *RecordingViewer::open(const QString &path, QString &error, QWidget *parent)
{
    std::unique_ptr<ViewedRecording> recording = ViewedRecording::open(path, error);
    if (!recording)
        return nullptr;
    return new RecordingViewer(std::move(recording), parent);
}

RecordingViewer::RecordingViewer(std::unique_ptr<ViewedRecording> viewed, QWidget *parent)
    : QWidget(parent, Qt::Window), recording(std::move(viewed))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("recordingViewer"));
    setWindowTitle(QStringLiteral("Recording - %1").arg(QFileInfo(recording->path()).fileName()));
    buildControls();
    showSummary();
    showExceedances();
    showInView();
    growth.setInterval(growthCheckMs);
    connect(&growth, &QTimer::timeout, this, &RecordingViewer::readNewRows);
    growth.start();
}

RecordingViewer::~RecordingViewer() = default;

void RecordingViewer::buildControls()
{
    ViewerLook::dress(*this);

    strips = new StripChart(*recording, this);
    readout = new FigureReadout(this);
    summary = new QLabel(this);
    summary->setObjectName(QStringLiteral("recordingSummary"));
    summary->setTextFormat(Qt::RichText);
    summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *summaryScroll = new QScrollArea(this);
    summaryScroll->setObjectName(QStringLiteral("summaryArea"));
    summaryScroll->setWidget(summary);
    summaryScroll->setWidgetResizable(true);
    summaryScroll->setFrameShape(QFrame::NoFrame);

    auto *exceedanceCaption = new QLabel(QStringLiteral("Exceedances (click one to see it)"), this);
    exceedanceCaption->setFont(ViewerLook::font(8.25, true));
    exceedanceList = new QListWidget(this);
    exceedanceList->setObjectName(QStringLiteral("exceedanceList"));
    exceedanceList->setMaximumHeight(160);

    auto *side = new QVBoxLayout;
    side->addWidget(readout);
    side->addSpacing(12);
    side->addWidget(summaryScroll, 1);
    side->addWidget(exceedanceCaption);
    side->addWidget(exceedanceList);
    auto *body = new QHBoxLayout;
    body->addWidget(strips, 1);
    body->addLayout(side);
    auto *root = new QVBoxLayout(this);
    root->addWidget(buildToolbar());
    root->addLayout(body, 1);

    connect(strips, &StripChart::cursorMoved, this, &RecordingViewer::showCursor);
    connect(strips, &StripChart::visibleSecondsChanged, this, &RecordingViewer::showInView);
    connect(exceedanceList, &QListWidget::currentRowChanged, this,
            &RecordingViewer::zoomToExceedance);
    strips->setFocus();
    resize(1200, 800);
    nameForScreenReaders(*this, spokenNames);
    setAccessibleDescription(QDir::toNativeSeparators(recording->path()));
}

QWidget *RecordingViewer::buildToolbar()
{
    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("viewerToolbar"));
    fitToData = toggle(QStringLiteral("Fit to data"), "fitToData", false, bar);
    clockTime = toggle(QStringLiteral("Clock time"), "clockTime", true, bar);
    fahrenheit = toggle(QStringLiteral("\u00b0F"), "fahrenheitToggle", false, bar);
    auto *showAll = toolButton(QStringLiteral("Show all"), "showAll", bar);
    auto *saveView = toolButton(QStringLiteral("Save view..."), "saveView", bar);
    auto *saveRows = toolButton(QStringLiteral("Save rows in view..."), "saveRows", bar);
    auto *printReport = toolButton(QStringLiteral("Print report..."), "printReportButton", bar);
    auto *logbook = toolButton(QStringLiteral("Engine logbook..."), "engineLogbookButton", bar);
    overlayControls = new OverlayControls(bar);
    auto *hint = new QLabel(QStringLiteral("Zoom: wheel, + -   Move: drag, \u2190 \u2192   "
                                           "Shift+drag: zoom to a range   Everything: "
                                           "Home, a double click"),
                            bar);
    hint->setFont(ViewerLook::font(7.5));
    // Two lines rather than a wider window.
    hint->setWordWrap(true);

    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    for (QWidget *w : std::initializer_list<QWidget *>{fitToData, clockTime, fahrenheit, showAll})
        row->addWidget(w);
    row->addSpacing(12);
    row->addWidget(overlayControls);
    row->addSpacing(12);
    row->addWidget(hint, 1);
    row->addWidget(saveView);
    row->addWidget(saveRows);
    row->addWidget(printReport);
    row->addWidget(logbook);

    connect(fitToData, &QCheckBox::toggled, strips, &StripChart::setFitToData);
    connect(clockTime, &QCheckBox::toggled, strips, [this](bool clock) {
        strips->setTimeAxis(clock ? TimeAxis::Clock : TimeAxis::Seconds);
    });
    connect(fahrenheit, &QCheckBox::toggled, this, &RecordingViewer::chooseTemperatureScale);
    connect(showAll, &QPushButton::clicked, strips, &StripChart::showAll);
    connect(saveView, &QPushButton::clicked, this, &RecordingViewer::askAndSaveView);
    connect(saveRows, &QPushButton::clicked, this, &RecordingViewer::askAndSaveRows);
    connect(printReport, &QPushButton::clicked, this, &RecordingViewer::askAndPrintReport);
    connect(logbook, &QPushButton::clicked, this, &RecordingViewer::openLogbook);
    connect(overlayControls, &OverlayControls::addRequested, this,
            &RecordingViewer::askAndAddOverlay);
    connect(overlayControls, &OverlayControls::alignmentChosen, this,
            &RecordingViewer::setOverlayAlignment);
    connect(overlayControls, &OverlayControls::removeRequested, this,
            &RecordingViewer::removeOverlay);
    return bar;
}

void RecordingViewer::showCursor(double seconds)
{
    const FigureValuesAt values = figuresAt(*recording, recording->rowNearest(seconds));
    const QString time = QStringLiteral("%1   (%2 s)")
                             .arg(clockText(recording->table().start, seconds))
                             .arg(seconds, 0, 'f', 3);
    readout->showCursor(time, values);
    if (second)
        showOverlayCursor(seconds, values);
}

void RecordingViewer::showInView()
{
    const RowSpan rows = recording->rowsWithin(strips->visibleSeconds());
    FigureReadout::InView inView;
    for (int f = 0; f < figureCount; ++f) {
        const MinMaxPyramid::Range range = recording->range(Figure(f), rows);
        if (!range.empty()) {
            inView.lowest[f] = range.minimum;
            inView.highest[f] = range.maximum;
        }
        inView.means[f] = recording->mean(Figure(f), rows);
    }
    readout->showInView(inView);
}

void RecordingViewer::showSummary()
{
    QString text = summaryText(*recording, temperatureScale);
    if (!readProblem.isEmpty())
        text += QStringLiteral("<p>No longer following the file: %1</p>")
                    .arg(readProblem.toHtmlEscaped());
    summary->setText(text);
    describeForScreenReaders(*summary, QTextDocumentFragment::fromHtml(text).toPlainText());
}

void RecordingViewer::readNewRows()
{
    const TimeSpan before = recording->span();
    QString error;
    const bool grew = recording->readNewRows(error);
    if (!error.isEmpty()) {
        readProblem = error;
        growth.stop();
        showSummary();
        return;
    }
    if (!grew)
        return;
    if (second)
        second->realign(*recording, second->alignment());
    strips->recordingGrew(before);
    showSummary();
    showExceedances(true);
    showInView();
    if (const std::optional<double> cursor = strips->cursorSeconds())
        showCursor(*cursor);
}

void RecordingViewer::setLimits(const EngineLimits &newLimits)
{
    limits = newLimits;
    showExceedances();
}

void RecordingViewer::showExceedances(bool onlyNewRows)
{
    if (!onlyNewRows)
        scan = RecordingExceedances(limits);
    scan.readNewRows(recording->table());
    std::vector<Exceedance> now = scan.all();
    strips->setExceedances(limits, now);
    // The list always holds a line, "None..." at least: empty means never filled.
    if (now == found && exceedanceList->count() > 0)
        return;
    found = std::move(now);
    listExceedances();
}

void RecordingViewer::listExceedances()
{
    const QSignalBlocker quiet(exceedanceList);
    exceedanceList->clear();
    const QDateTime &start = recording->table().start;
    for (const Exceedance &e : found) {
        const QString time = start.addMSecs(std::llround(e.startSeconds * 1000))
                                 .toString(QStringLiteral("HH:mm:ss"));
        const QString line = exceedanceLine(e, temperatureScale);
        exceedanceList->addItem(time + QStringLiteral("  ") + line);
        exceedanceList->item(exceedanceList->count() - 1)->setToolTip(line);
    }
    if (found.empty())
        exceedanceList->addItem(QStringLiteral("None beyond the limits"));
}

void RecordingViewer::zoomToExceedance(int index)
{
    if (index < 0 || size_t(index) >= found.size())
        return;
    const Exceedance &e = found[size_t(index)];
    const double end = e.endSeconds.value_or(e.startSeconds);
    const double margin = std::max(5.0, (end - e.startSeconds) * 0.5);
    strips->setVisibleSeconds(e.startSeconds - margin, end + margin);
}

// The user's switch: through the shared choice when there is one, so that
// every window follows.
void RecordingViewer::chooseTemperatureScale(bool inFahrenheit)
{
    const TemperatureScale scale =
        inFahrenheit ? TemperatureScale::Fahrenheit : TemperatureScale::Celsius;
    if (scaleChoice)
        scaleChoice->setScale(scale);
    else
        setTemperatureScale(scale);
}

void RecordingViewer::setTemperatureScale(TemperatureScale scale)
{
    temperatureScale = scale;
    {
        const QSignalBlocker quiet(fahrenheit);
        fahrenheit->setChecked(scale == TemperatureScale::Fahrenheit);
    }
    strips->setTemperatureScale(scale);
    readout->setTemperatureScale(scale);
    showSummary();
    const int selectedRow = exceedanceList->currentRow();
    listExceedances();
    {
        const QSignalBlocker quiet(exceedanceList);
        exceedanceList->setCurrentRow(selectedRow);
    }
    showInView();
    if (const std::optional<double> cursor = strips->cursorSeconds())
        showCursor(*cursor);
}

void RecordingViewer::followTemperatureScale(TemperatureScaleChoice &choice)
{
    scaleChoice = &choice;
    connect(&choice, &TemperatureScaleChoice::scaleChanged, this,
            &RecordingViewer::setTemperatureScale, Qt::UniqueConnection);
    setTemperatureScale(choice.scale());
}

QString RecordingViewer::saveView(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        return saveWidgetPng(*strips, path);
    const TimeSpan view = strips->visibleSeconds();
    const QDateTime &start = recording->table().start;
    QString title = QStringLiteral("%1, %2 to %3")
                        .arg(QFileInfo(recording->path()).fileName(),
                             clockText(start, view.first), clockText(start, view.last));
    if (second)
        title += QStringLiteral(", with %1").arg(QFileInfo(second->recording().path()).fileName());
    return saveWidgetPdf(*strips, title, path);
}

QString RecordingViewer::saveRowsInView(const QString &path) const
{
    const QString problem = saveRowsCsv(recording->path(), recording->table(),
                                        recording->rowsWithin(strips->visibleSeconds()), path);
    if (!problem.isEmpty() || !second)
        return problem;
    return saveOverlayRowsInView(path);
}

void RecordingViewer::askAndSaveView()
{
    const QString png = QStringLiteral("PNG image (*.png)");
    const QString pdf = QStringLiteral("PDF document (*.pdf)");
    QString filter = png;
    QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the view"),
        suggestedPath(recording->path(), QStringLiteral("-view.png")),
        png + QStringLiteral(";;") + pdf, &filter);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("pdf"))
        path += filter == pdf ? QStringLiteral(".pdf") : QStringLiteral(".png");
    tell(saveView(path));
}

void RecordingViewer::askAndSaveRows()
{
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the rows in view"),
        suggestedPath(recording->path(), QStringLiteral("-rows.csv")),
        QStringLiteral("CSV file (*.csv)"));
    if (!path.isEmpty())
        tell(saveRowsInView(path));
}

void RecordingViewer::askAndPrintReport()
{
    const RecordingReport report = recordingReport(recording->path(), recording->table(),
                                                   recording->lastRowIncomplete(), limits,
                                                   temperatureScale);
    printReport(this, report, recording->table());
}

// The logbook of the recording's folder, by the limits this window shows.
void RecordingViewer::openLogbook()
{
    const QString folder = QFileInfo(recording->path()).absolutePath();
    LogbookWindow *logbook = LogbookWindow::openFolder(folder, limits, defaultLogbookIndexPath());
    if (scaleChoice)
        logbook->followTemperatureScale(*scaleChoice);
    logbook->show();
}

void RecordingViewer::tell(const QString &problem)
{
    if (!problem.isEmpty())
        QMessageBox::warning(this, windowTitle(), problem);
}
