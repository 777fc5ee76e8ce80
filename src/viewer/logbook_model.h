// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/temperature_scale.h"
#include "viewer/run_place.h"

#include <QAbstractTableModel>
#include <vector>

// Every run of a logbook, a row each, in the logbook's order; skipped
// recordings have no rows. `sortRole` gives what a column sorts by: numbers
// as numbers, the start as a point in time, nothing for a figure never
// recorded. The peak temperature shows in the scale set.
class LogbookModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Recording,
        Start,
        Duration,
        PeakRpm,
        PeakAdvance,
        CrankingVolts,
        PeakTemperature,
        Cautions,
        Alarms,
        ColumnCount
    };
    static constexpr int sortRole = Qt::UserRole;

    explicit LogbookModel(QObject *parent = nullptr);

    void setLogbook(Logbook logbook);
    void setTemperatureScale(TemperatureScale scale);
    const Logbook &logbook() const { return book; }
    RunPlace placeAt(int row) const { return places[size_t(row)]; }
    // -1 when the logbook has no such run.
    int rowOf(RunPlace place) const;
    // Relative to the logbook's folder.
    QString recordingName(size_t recording) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant shown(RunPlace place, int column) const;
    QVariant sortKey(RunPlace place, int column) const;

    Logbook book;
    std::vector<RunPlace> places;
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
};
