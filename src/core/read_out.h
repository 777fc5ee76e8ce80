// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"

#include <array>
#include <optional>

// One reading of every value the unit holds, asked one question at a time,
// each at most twice. It starts afresh whenever the unit may have changed:
// when it identifies itself, and when it answers again after a silence.
class ReadOut {
public:
    enum class Reason {
        NewConnection, // the unit identified itself
        AfterSilence,  // the unit answered again; it may have rebooted, or still hold a change
    };

    ReadOut() { asksLeft.fill(0); }

    // Every value to ask again, every setting still to be reported.
    void start(Reason why);
    // The unit cannot be heard: nothing it reported before is known to hold.
    void stop();

    // The next question's value, one ask of it spent; empty once every value
    // was reported or asked twice.
    std::optional<PolledValue> nextQuestion();
    void answered(PolledValue value);
    void settingReported(Setting setting);
    // The questions ran out: the read-out is over. True when every setting
    // was reported during it.
    bool finish();

    bool running() const { return phase == Phase::Asking; }
    Reason reason() const { return why; }
    // The last read-out is over and heard every setting, and nothing has
    // happened since that could have changed the unit.
    bool settingsRead() const { return phase == Phase::Over && everySettingReported(); }

private:
    enum class Phase { Idle, Asking, Over };
    bool everySettingReported() const;

    Phase phase = Phase::Idle;
    Reason why = Reason::NewConnection;
    std::array<int, polledValueCount> asksLeft{};
    std::array<bool, settingCount> reported{};
};
