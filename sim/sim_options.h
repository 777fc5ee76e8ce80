// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <memory>

struct Recording;

// The cable between the unit and the console, as a wiring fault leaves it.
enum class Wiring {
    Straight,
    Swapped,    // transmit and receive crossed: neither end hears the other
    Loopback,   // no unit, the console's own bytes come back
    WrongSpeed, // the unit talks at 19200 baud to a console at 9600
};

// How the simulated unit behaves, from the command line or set in code by
// the console's demo mode.
struct SimOptions {
    int revision = 0x21;
    double rate = 10;              // telemetry lines per second
    bool fast = false;             // no 9600-baud pacing
    std::uint64_t seed = 0;
    bool silent = false;
    QByteArray ignoreLetters;
    double garbageProbability = 0; // per line sent
    double vanishAfterSeconds = 0; // 0: never
    bool overflow = false;
    bool engineStopped = false;    // the engine never starts
    bool numberLines = false;      // see UnitModel::numberLines()
    Wiring wiring = Wiring::Straight;
    QString device;                // empty: a pseudo-terminal
    QString linkPath;              // symbolic link to the pseudo-terminal
    QByteArray lineEnd = "\r";     // ends each line the unit sends
    // The USB adapter's latency timer: output reaches the console in bursts
    // this far apart. 0: each byte as it arrives.
    std::chrono::milliseconds chunkPeriod{0};
    // Otherwise, with chunkLargest above 0: writes of chunkSmallest..chunkLargest
    // bytes drawn at random.
    int chunkSmallest = 0;
    int chunkLargest = 0;
    double muteAfterSeconds = 0;   // 0: never
    double muteForSeconds = 0;     // 0: for ever; otherwise back as if rebooted
    // A console recording streamed instead of the engine's figures; the
    // program loads replayFile into replay before the simulator starts.
    QString replayFile;
    double replaySpeed = 1;
    std::shared_ptr<const Recording> replay;
};

struct ParsedOptions {
    SimOptions options;
    bool helpRequested = false;
    bool versionRequested = false;
    QString error;   // set: the command line is malformed
    QString warning; // set: accepted, but changed (e.g. a clamped rate)
};

// `arguments` starts with the program name. Without --seed the seed comes
// from the clock.
ParsedOptions parseSimOptions(const QStringList &arguments);
QString simHelpText();
