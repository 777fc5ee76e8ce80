#include "ui/recording_controls.h"

#include "link/serial_port.h"
#include "record/recorder.h"
#include "ui/dashform.h"
#include "ui/window_title.h"

#include <QShortcut>

namespace {

void showState(QWidget &window, Recorder::State state)
{
    setTitleMarker(window, TitleMarker::Recording, state == Recorder::State::Recording);
    setTitleMarker(window, TitleMarker::RecordingFailed, state == Recorder::State::Failed);
}

} // namespace

Recorder *attachRecorder(DashForm &form, const QString &defaultFolder)
{
    auto *recorder = new Recorder(&form);
    QObject::connect(&form, &DashForm::lineHandled, recorder, &Recorder::handleLine);
    QObject::connect(form.MSComm1, &SerialPort::connectionLost, recorder,
                     &Recorder::connectionLost);
    QObject::connect(recorder, &Recorder::stateChanged, &form,
                     [&form](Recorder::State state) { showState(form, state); });

    auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &form);
    shortcut->setObjectName(QStringLiteral("recordShortcut"));
    QObject::connect(shortcut, &QShortcut::activated, recorder, [recorder, defaultFolder] {
        if (recorder->state() == Recorder::State::Recording)
            recorder->stop();
        else
            recorder->startInFolder(defaultFolder);
    });
    return recorder;
}
