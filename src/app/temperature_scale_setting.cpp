// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/temperature_scale_setting.h"

#include "viewer/temperature_scale_choice.h"

#include <QSettings>
#include <QStandardPaths>
#include <cstdio>

namespace {

const QString scaleKey = QStringLiteral("display/temperature_scale");
const QString celsiusWord = QStringLiteral("celsius");
const QString fahrenheitWord = QStringLiteral("fahrenheit");

} // namespace

QString defaultConsoleSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/torvane-console/console.conf");
}

TemperatureScale rememberedTemperatureScale(const QString &settingsPath)
{
    const QSettings settings(settingsPath, QSettings::IniFormat);
    return settings.value(scaleKey).toString() == fahrenheitWord ? TemperatureScale::Fahrenheit
                                                                 : TemperatureScale::Celsius;
}

QString rememberTemperatureScale(const QString &settingsPath, TemperatureScale scale)
{
    QSettings settings(settingsPath, QSettings::IniFormat);
    settings.setValue(scaleKey,
                      scale == TemperatureScale::Fahrenheit ? fahrenheitWord : celsiusWord);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        return QStringLiteral("%1: the temperature scale could not be remembered").arg(settingsPath);
    return QString();
}

TemperatureScale startingTemperatureScale(const CommandLine &options, const QString &settingsPath)
{
    return options.temperatureScale.value_or(rememberedTemperatureScale(settingsPath));
}

void rememberTemperatureScaleChanges(TemperatureScaleChoice &choice, const QString &settingsPath)
{
    QObject::connect(&choice, &TemperatureScaleChoice::scaleChanged, &choice,
                     [settingsPath](TemperatureScale scale) {
                         const QString error = rememberTemperatureScale(settingsPath, scale);
                         if (!error.isEmpty())
                             std::fprintf(stderr, "torvane-console: %s\n", qUtf8Printable(error));
                     });
}
