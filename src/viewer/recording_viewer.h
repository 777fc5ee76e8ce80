// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "limits/recording_exceedances.h"
#include "protocol/temperature_scale.h"
#include "viewer/cursor_values.h"
#include "viewer/overlay_alignment.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

class FigureReadout;
class OverlaidRecording;
class OverlayControls;
class QCheckBox;
class QLabel;
class QListWidget;
class StripChart;
class TemperatureScaleChoice;
class ViewedRecording;

// A window that shows one recording: its strips, the figures at the cursor
// and over the time in view, and a summary. A recording still being written
// grows on screen. Closing the window deletes it.
class RecordingViewer : public QWidget {
    Q_OBJECT
public:
    // Nothing, with `error` set ("FILE: ..."), when the file cannot be shown.
    static RecordingViewer *open(const QString &path, QString &error, QWidget *parent = nullptr);
    ~RecordingViewer() override;

    StripChart *stripChart() const { return strips; }
    // What the Save buttons write, without asking where; what went wrong, or
    // nothing.
    QString saveView(const QString &path);
    QString saveRowsInView(const QString &path) const;
    // Reads the rows the file gained since (the timer does so every second).
    void readNewRows();
    // Finds the exceedances of these limits, shades them and lists them.
    void setLimits(const EngineLimits &limits);
    const std::vector<Exceedance> &exceedances() const { return found; }
    // Zooms to the exceedance listed at `index`, with some time either side.
    void zoomToExceedance(int index);

    // The temperature's strip, read-outs, summary and exceedances in `scale`.
    void setTemperatureScale(TemperatureScale scale);
    // Shows temperatures as `choice` says, now and whenever it changes, and
    // so do the logbook windows this viewer opens.
    void followTemperatureScale(TemperatureScaleChoice &choice);

    // A second recording on the same strips (recording_viewer_overlay.cpp),
    // aligned by clock time when the two share some, else by engine start.
    // What went wrong (the viewer then stays as it was), or nothing.
    QString addOverlay(const QString &path);
    void setOverlayAlignment(OverlayAlignment alignment);
    void removeOverlay();
    const OverlaidRecording *overlay() const { return second.get(); }

private:
    RecordingViewer(std::unique_ptr<ViewedRecording> recording, QWidget *parent);
    void buildControls();
    QWidget *buildToolbar();

    void chooseTemperatureScale(bool inFahrenheit);
    void showCursor(double seconds);
    void showOverlayCursor(double seconds, const FigureValuesAt &firstValues);
    void showInView();
    void showSummary();
    void showExceedances(bool onlyNewRows = false);
    void listExceedances();
    void askAndSaveView();
    void askAndSaveRows();
    void askAndPrintReport();
    void openLogbook();
    void askAndAddOverlay();
    void overlayChanged();
    QString saveOverlayRowsInView(const QString &path) const;
    void tell(const QString &problem);

    std::unique_ptr<ViewedRecording> recording;
    StripChart *strips = nullptr;
    FigureReadout *readout = nullptr;
    QLabel *summary = nullptr;
    QListWidget *exceedanceList = nullptr;
    OverlayControls *overlayControls = nullptr;
    std::unique_ptr<OverlaidRecording> second;
    QCheckBox *fitToData = nullptr;
    QCheckBox *clockTime = nullptr;
    QCheckBox *fahrenheit = nullptr;
    QTimer growth;
    QString readProblem; // why the file stopped growing on screen
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
    QPointer<TemperatureScaleChoice> scaleChoice;
    // Until told otherwise, the limits that need nothing from a unit.
    EngineLimits limits = defaultLimits(std::nullopt, std::nullopt);
    RecordingExceedances scan{limits};
    std::vector<Exceedance> found;
};
