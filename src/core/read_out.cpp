// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/read_out.h"

#include <algorithm>

void ReadOut::start(Reason reason)
{
    why = reason;
    phase = Phase::Asking;
    asksLeft.fill(asksPerValue);
    reported.fill(false);
}

void ReadOut::stop()
{
    phase = Phase::Idle;
    asksLeft.fill(0);
    reported.fill(false);
}

std::optional<PolledValue> ReadOut::nextQuestion()
{
    if (phase != Phase::Asking)
        return std::nullopt;
    const auto next = std::find_if(asksLeft.begin(), asksLeft.end(), [](int n) { return n > 0; });
    if (next == asksLeft.end())
        return std::nullopt;
    --*next;
    return PolledValue(next - asksLeft.begin());
}

void ReadOut::answered(PolledValue value)
{
    asksLeft[int(value)] = 0;
}

void ReadOut::settingReported(Setting setting)
{
    if (phase == Phase::Asking)
        reported[int(setting)] = true;
}

bool ReadOut::finish()
{
    phase = Phase::Over;
    return everySettingReported();
}

bool ReadOut::everySettingReported() const
{
    return std::all_of(reported.begin(), reported.end(), [](bool r) { return r; });
}
