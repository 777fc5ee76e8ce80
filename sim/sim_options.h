#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <cstdint>

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
    QString device;                // empty: a pseudo-terminal
    QString linkPath;              // symbolic link to the pseudo-terminal
    // Idle time after each line, so the console reads lines one at a time.
    std::chrono::milliseconds lineGap{10};
};

struct ParsedOptions {
    SimOptions options;
    bool helpRequested = false;
    QString error;   // set: the command line is malformed
    QString warning; // set: accepted, but changed (e.g. a clamped rate)
};

// `arguments` starts with the program name. Without --seed the seed comes
// from the clock.
ParsedOptions parseSimOptions(const QStringList &arguments);
QString simHelpText();
