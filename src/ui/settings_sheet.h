// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/temperature_scale.h"
#include "settings/settings_file.h"

#include <QString>
#include <array>
#include <optional>

class QPainter;
class QRectF;
class QWidget;

// The logbook sheet: one page with the unit's settings in the window's units,
// what each means, the value before for each setting stored this session,
// and blank lines for the aircraft and the signature.
struct SettingsSheet {
    SettingsFile settings;
    // The value before this session's stores; empty for a setting not stored.
    std::array<std::optional<int>, settingCount> before{};
    // The highest temperature the unit recorded is printed in it.
    TemperatureScale temperatureScale = TemperatureScale::Celsius;
};

void paintSettingsSheet(QPainter &painter, const QRectF &page, const SettingsSheet &sheet);
// Returns an error text, empty on success.
QString writeSettingsSheetPdf(const QString &path, const SettingsSheet &sheet);
// The print dialog; the user may print or save as PDF from there.
void printSettingsSheet(QWidget *parent, const SettingsSheet &sheet);
