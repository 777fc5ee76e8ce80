// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/recording_controls.h"

#include "core/unit_link.h"
#include "record/recorder.h"
#include "ui/console_window.h"
#include "ui/window_title.h"

#include <QAction>

namespace {

void showState(QWidget &window, Recorder::State state)
{
    setTitleMarker(window, TitleMarker::Recording, state == Recorder::State::Recording);
    setTitleMarker(window, TitleMarker::RecordingFailed, state == Recorder::State::Failed);
}

} // namespace

Recorder *attachRecorder(ConsoleWindow &window, const QString &defaultFolder)
{
    auto *recorder = new Recorder(&window);
    recorder->follow(window.unitLink());
    QObject::connect(recorder, &Recorder::stateChanged, &window,
                     [&window](Recorder::State state) { showState(window, state); });
    QObject::connect(recorder, &Recorder::failed, &window, [](const QString &reason) {
        qWarning("torvane-console: recording stopped: %s", qUtf8Printable(reason));
    });

    // Checked while recording, whoever started it (--record, or this entry).
    auto *record = new QAction(QStringLiteral("Record telemetry"), &window);
    record->setObjectName(QStringLiteral("recordAction"));
    record->setCheckable(true);
    record->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    const auto showRecording = [record, recorder] {
        record->setChecked(recorder->state() == Recorder::State::Recording);
    };
    QObject::connect(recorder, &Recorder::stateChanged, record, showRecording);
    QObject::connect(record, &QAction::triggered, recorder, [recorder, defaultFolder, showRecording] {
        if (recorder->state() == Recorder::State::Recording)
            recorder->stop();
        else
            recorder->startInFolder(defaultFolder);
        showRecording();
    });
    window.setContextMenuPolicy(Qt::ActionsContextMenu);
    window.addAction(record);
    return recorder;
}
