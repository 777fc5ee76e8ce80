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

RecordingExceedances::RecordingExceedances(const EngineLimits &limits)
    : limits(limits), detector(limits)
{
}

// A figure at a time: the figures do not meet in the detector, and a column
// is read straight through.
void RecordingExceedances::readNewRows(const RecordingTable &table)
{
    std::vector<ExceedanceChange> changes;
    for (const Figure figure : allFigures()) {
        if (!limits.of(figure).any())
            continue;
        const std::vector<float> &column = table.figures[std::size_t(figure)];
        for (std::size_t row = rowsRead; row < table.rows(); ++row)
            detector.take(figure, table.seconds[row], double(column[row]), changes);
        keepEnded(changes, ended);
        changes.clear();
    }
    rowsRead = table.rows();
}

std::vector<Exceedance> RecordingExceedances::all() const
{
    std::vector<Exceedance> found = ended;
    ExceedanceDetector atTheEnd = detector;
    keepEnded(atTheEnd.finish(), found);
    sortByStart(found);
    return found;
}

std::vector<Exceedance> exceedancesIn(const RecordingTable &table, const EngineLimits &limits)
{
    RecordingExceedances scan(limits);
    scan.readNewRows(table);
    return scan.all();
}

void sortByStart(std::vector<Exceedance> &exceedances)
{
    const auto order = [](const Exceedance &e) {
        return std::tuple(e.startSeconds, int(e.figure), int(e.side), e.level == LimitLevel::Caution);
    };
    std::stable_sort(exceedances.begin(), exceedances.end(),
                     [&order](const Exceedance &a, const Exceedance &b) { return order(a) < order(b); });
}
