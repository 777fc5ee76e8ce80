// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/engine_figure.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// What the console knows about the unit and the conversation with it.

// The settings the user can change, in the order of the window's column.
enum class Setting { StartDelay, Led, PulsesPerRev, AdvanceShift, MaxRpm, MaxAdvance };
inline constexpr int settingCount = 6;

struct SettingDefinition {
    char commandLetter; // "/<letter><value>\r" sets it; "/<letter>" acknowledges
    int minimum;
    int maximum;
    int initial;
};

inline constexpr std::array<SettingDefinition, settingCount> settingDefinitions{{
    {'D', 0, 8, 0},    // start delay
    {'L', 0, 3, 0},    // LED: kill switch, mode, diagnostics, sensor
    {'T', 0, 2, 0},    // tachometer pulses per revolution
    {'C', -9, 9, 0},   // advance shift, steps of 1.4 degrees
    {'M', 0, 16, 0},   // maximum RPM, units of 256 RPM
    {'N', 14, 35, 14}, // maximum advance, steps
}};

inline constexpr const SettingDefinition &definitionOf(Setting s)
{
    return settingDefinitions[int(s)];
}

// A setting and the raw value to give it.
struct SettingChange {
    Setting setting;
    int value;
    bool operator==(const SettingChange &) const = default;
};

struct SettingState {
    // The editor's position: what the user last chose or the unit last
    // reported.
    int position = 0;
    // What the setting's box shows: the unit's report or acknowledgement.
    QString shown;
    // The editor appears once the unit has reported the value.
    bool reported = false;
    // The unit's last report, when it lay outside the editor's range: no
    // value a settings file may hold, and none the editor was moved to.
    std::optional<int> outOfRange;
};

// The values the poll cycle reads out after the unit identifies itself, in
// the order it asks for them.
enum class PolledValue {
    AdvanceShift,
    StartDelay,
    Temperature,
    MaxTemperature,
    BusVolts,
    EngineRpm,
    Led,
    PulsesPerRev,
    MaxRpm,
    MaxAdvance,
};
inline constexpr int polledValueCount = 10;
// Each value is asked for at most this often when the unit does not answer.
inline constexpr int asksPerValue = 2;

enum class LinkPhase {
    Closed,          // no port open
    WaitingForUnit,  // port open; the start-up commands repeat until the unit identifies itself
    ReadingSettings, // identified; the poll cycle reads the unit's values, then asks it to stream
    Streaming,       // the stream is on, or asked for
    UnitSilent,      // nothing heard for a while; the unit is read afresh when it answers
    Lost,            // the device failed or vanished
};

enum class AdvanceMode { Automatic, Manual };

struct UnitState {
    std::array<SettingState, settingCount> settings{};
    FigureValues figures;
    // The advance in the unit's own steps, which trimming counts in.
    int16_t advanceSteps = 0;
    // The maximum advance as last reported, which limits trimming up.
    int16_t reportedMaxAdvance = 0;
    // Maximum RPM in units of 256, as last reported: the RPM dial's red line.
    std::optional<int16_t> maxRpmUnits;
    double firmwareRevision = 0;
    QString firmwareText = QStringLiteral("0");
    QString temperatureText;
    QString maxTemperatureText;
    bool advanceShiftAvailable = true;
    bool engineRunning = false;
    // A setting went out that the unit has not been told to store.
    bool unsavedChanges = false;
    AdvanceMode advanceMode = AdvanceMode::Automatic;

    const SettingState &setting(Setting s) const { return settings[int(s)]; }
    SettingState &setting(Setting s) { return settings[int(s)]; }
};
