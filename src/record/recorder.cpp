// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recorder.h"

#include "core/unit_link.h"
#include "recording/csv_row.h"
#include "record/recording_files.h"

Recorder::~Recorder() = default;

void Recorder::startInFile(const QString &path)
{
    stop();
    QString error;
    std::unique_ptr<QFile> opened = createFile(path, error);
    begin(std::move(opened), error);
}

void Recorder::startInFolder(const QString &where)
{
    stop();
    folder = where;
    setState(State::Recording);
    if (connected) {
        QString error;
        std::unique_ptr<QFile> opened = createFileInFolder(folder, clock.wall(), error);
        begin(std::move(opened), error);
    }
}

void Recorder::stop()
{
    file.reset();
    folder.clear();
    setState(State::Off);
}

QString Recorder::fileName() const
{
    return file ? file->fileName() : QString();
}

void Recorder::follow(const UnitLink &link)
{
    connect(&link, &UnitLink::lineDecoded, this, &Recorder::handleLine);
    connect(&link, &UnitLink::phaseChanged, this, [this](LinkPhase phase) {
        if (phase == LinkPhase::Lost)
            connectionLost();
    });
}

void Recorder::handleLine(const DecodedLine &line)
{
    // The unit's "u" answer starts a connection.
    if (!connected && line.isReply('u'))
        startConnection();
    if (!takeRecordedFigures(values, line) || !file)
        return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        clock.steady() - fileStart);
    write(csvRow(clock.wall(), elapsed.count(), values, line.text));
}

// The file of a recording into a folder ends with its connection; the next
// one starts with the next connection. The unit plugged in then may be
// another one, so nothing is carried over to it.
void Recorder::connectionLost()
{
    connected = false;
    values = FigureValues{};
    if (!folder.isEmpty())
        file.reset();
}

void Recorder::startConnection()
{
    connected = true;
    if (current != State::Recording || folder.isEmpty())
        return;
    QString error;
    std::unique_ptr<QFile> opened = createFileInFolder(folder, clock.wall(), error);
    begin(std::move(opened), error);
}

void Recorder::begin(std::unique_ptr<QFile> opened, const QString &error)
{
    if (!opened) {
        fail(error);
        return;
    }
    file = std::move(opened);
    fileStart = clock.steady();
    const QString path = file->fileName();
    const bool madeHere = !folder.isEmpty();
    write(csvHeader());
    if (!file) {
        // Without its header it is no recording; on a full disk every retry
        // would leave one more of them.
        if (madeHere)
            QFile::remove(path);
        return;
    }
    setState(State::Recording);
    emit fileStarted(path);
}

void Recorder::write(const QByteArray &bytes)
{
    if (file->write(bytes) != bytes.size())
        fail(QStringLiteral("%1: %2").arg(file->fileName(), file->errorString()));
}

void Recorder::fail(const QString &reason)
{
    file.reset();
    folder.clear();
    setState(State::Failed);
    emit failed(reason);
}

void Recorder::setState(State state)
{
    if (state == current)
        return;
    current = state;
    emit stateChanged(state);
}
