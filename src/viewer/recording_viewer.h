// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

class FigureReadout;
class QCheckBox;
class QLabel;
class StripChart;
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

private:
    RecordingViewer(std::unique_ptr<ViewedRecording> recording, QWidget *parent);
    void buildControls();
    QWidget *buildToolbar();

    void showCursor(double seconds);
    void showInView();
    void showSummary();
    void askAndSaveView();
    void askAndSaveRows();
    void tell(const QString &problem);

    std::unique_ptr<ViewedRecording> recording;
    StripChart *strips = nullptr;
    FigureReadout *readout = nullptr;
    QLabel *summary = nullptr;
    QCheckBox *fitToData = nullptr;
    QCheckBox *clockTime = nullptr;
    QTimer growth;
    QString readProblem; // why the file stopped growing on screen
};
