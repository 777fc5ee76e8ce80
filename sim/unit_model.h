// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/command_framer.h"
#include "sim/unit_settings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <cstdint>
#include <random>

class EngineModel;

// Misbehaviour the unit shows on demand.
struct UnitFaults {
    bool silent = false;       // answers nothing, streams nothing
    QByteArray ignoredLetters; // command letters never answered (case-sensitive)
    bool overflow = false;     // now and then an engine speed of 8000..FFFF
};

// The unit's side of the protocol, without any I/O: bytes from the console
// go in, the lines to send back come out, each ending with CR. Settings
// change at once and are kept apart from the stored ones until "/W".
class UnitModel {
public:
    static constexpr int defaultRevision = 0x21;

    UnitModel(const EngineModel &engine, std::uint64_t seed, int revision = defaultRevision,
              UnitFaults faults = {});

    QList<QByteArray> receive(QByteArrayView bytes);
    // Power comes back: unsaved settings are lost, manual advance is off, and
    // nothing streams until asked; a command cut by the power loss is lost.
    void reboot();

    // The streamed record for this moment; empty when silent.
    QByteArray telemetryLine();
    // Each record carries a rolling 16-bit number in positions 8-11 (dwell
    // and sensor, which the console does not use), so that a listener can
    // count exactly which records it missed.
    void numberLines(bool on) { numbering = on; }
    // The occasional "b" and "j" records; empty when silent.
    QList<QByteArray> statusLines();

    bool isStreaming() const { return streaming; }
    bool isSilent() const { return faults.silent; }
    // How many times the console asked for the stream: a replay starts over
    // each time.
    int streamRequests() const { return streamRequestCount; }
    // A replay answers "/p" with the recording's reply; empty: the engine's
    // angle.
    void setPropellerReply(const QByteArray &reply) { recordedPropeller = reply; }
    bool isManual() const { return manual; }
    int advanceSteps() const;
    const UnitSettings &settings() const { return current; }
    const UnitSettings &storedSettings() const { return stored; }

private:
    QByteArray execute(const QByteArray &command);
    QByteArray query(char letter);
    QByteArray applySetting(const SettingField &field, const QByteArray &command);
    QByteArray applyAdvanceMode(const QByteArray &command);
    int reportedRpm();

    const EngineModel &engine;
    std::mt19937_64 random;
    int revision;
    UnitFaults faults;
    CommandFramer framer;
    UnitSettings current;
    UnitSettings stored;
    bool streaming = true;
    bool manual = false;
    int manualTrim = 0;
    bool numbering = false;
    int streamRequestCount = 0;
    QByteArray recordedPropeller;
    std::uint16_t nextNumber = 0;
};
