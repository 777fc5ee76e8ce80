// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/recording_exceedances.h"

#include "recording/recording_table.h"

#include <algorithm>
#include <tuple>

namespace {

void keepEnded(const std::vector<ExceedanceChange> &changes, std::vector<Exceedance> &ended)
{
    for (const ExceedanceChange &change : changes)
        if (change.kind == ExceedanceChange::Kind::Ended)
            ended.push_back(change.exceedance);
}

} // namespace

std::vector<Exceedance> exceedancesIn(const RecordingTable &table, const EngineLimits &limits)
{
    ExceedanceDetector detector(limits);
    std::vector<Exceedance> ended;
    std::vector<ExceedanceChange> changes;
    // A figure at a time: the figures do not meet in the detector, and a
    // column is read straight through.
    for (const Figure figure : allFigures()) {
        if (!limits.of(figure).any())
            continue;
        const std::vector<float> &column = table.figures[std::size_t(figure)];
        for (std::size_t row = 0; row < table.rows(); ++row)
            detector.take(figure, table.seconds[row], double(column[row]), changes);
        keepEnded(changes, ended);
        changes.clear();
    }
    keepEnded(detector.finish(), ended);
    sortByStart(ended);
    return ended;
}

void sortByStart(std::vector<Exceedance> &exceedances)
{
    const auto order = [](const Exceedance &e) {
        return std::tuple(e.startSeconds, int(e.figure), int(e.side), e.level == LimitLevel::Caution);
    };
    std::stable_sort(exceedances.begin(), exceedances.end(),
                     [&order](const Exceedance &a, const Exceedance &b) { return order(a) < order(b); });
}
