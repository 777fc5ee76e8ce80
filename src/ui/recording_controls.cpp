// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/recording_controls.h"

#include "core/unit_link.h"
#include "record/recorder.h"
#include "ui/console_window.h"
#include "ui/window_title.h"

#include <QShortcut>

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

    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &window);
    shortcut->setObjectName(QStringLiteral("recordShortcut"));
    QObject::connect(shortcut, &QShortcut::activated, recorder, [recorder, defaultFolder] {
        if (recorder->state() == Recorder::State::Recording)
            recorder->stop();
        else
            recorder->startInFolder(defaultFolder);
    });
    return recorder;
}
