// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "record/local_clock.h"
#include "recording/recorded_values.h"

class UnitLink;
struct DecodedLine;

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

// Writes one CSV row for every decoded telemetry line and "p" reply it is
// given (see csv_row.h), flushed as it goes. It follows the connection: the
// unit's "u" reply starts one (the first after start-up or after the link was
// lost), and a recording into a folder gets a new file for each.
//
// A recording that cannot open or write its file stops in the Failed state
// and says why with `failed`; it never disturbs the lines it is given.
class Recorder : public QObject {
    Q_OBJECT
public:
    enum class State { Off, Recording, Failed };

    // The wall clock gives each row's time and the file names, the steady one
    // the seconds since the file was started. Tests replace both.
    struct Clock {
        std::function<QDateTime()> wall = cachedLocalClock();
        std::function<std::chrono::steady_clock::time_point()> steady =
            std::chrono::steady_clock::now;
    };

    using QObject::QObject;
    ~Recorder() override;

    // Every row of the run into one new file.
    void startInFile(const QString &path);
    // One new file per connection, in `folder` (made when missing); the first
    // at once when a connection is up.
    void startInFolder(const QString &folder);
    void stop();

    State state() const { return current; }
    // The file being written; empty when none.
    QString fileName() const;

    // Hears every line the link decodes and every lost connection.
    void follow(const UnitLink &link);
    void handleLine(const DecodedLine &line);
    void connectionLost();

    Clock clock;

signals:
    void stateChanged(Recorder::State state);
    // A file was opened and its header written.
    void fileStarted(const QString &path);
    // Why the recording stopped, for the user: the file and the system's reason.
    void failed(const QString &reason);

private:
    void startConnection();
    void begin(std::unique_ptr<QFile> opened, const QString &error);
    void write(const QByteArray &bytes);
    void fail(const QString &reason);
    void setState(State state);

    FigureValues values;
    bool connected = false;
    State current = State::Off;
    QString folder; // empty when recording into one file
    std::unique_ptr<QFile> file;
    std::chrono::steady_clock::time_point fileStart;
};
