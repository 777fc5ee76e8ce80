// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"

#include "protocol/name_value_text.h"
#include "settings/setting_names.h"

#include <QRegularExpression>
#include <cstdlib>

namespace {

const QLatin1String firstLine("# Torvane ignition settings");
const QLatin1String temperatureUnit(" deg C");

// Qt::ISODate writes a UTC time as "Z" and cannot be told otherwise, so the
// offset is always written by hand.
QString savedAtText(const QDateTime &at)
{
    const int offset = at.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return at.toOffsetFromUtc(offset).toString(u"yyyy-MM-dd'T'HH:mm:ss")
           + (offset < 0 ? u'-' : u'+')
           + QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0'))
                 .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// What the file holds: a hand-edited fraction would not survive writing back.
QDateTime wholeSeconds(const QDateTime &at)
{
    return at.addMSecs(-at.time().msec());
}

void readHeaderLine(const QString &comment, SettingsFile &file)
{
    static const QRegularExpression headerLine(
        QStringLiteral("^#\\s*(program|saved|port|firmware revision|max temperature)\\s*:\\s*(.*?)\\s*$"));
    const QRegularExpressionMatch match = headerLine.match(comment);
    if (!match.hasMatch())
        return;
    const QStringView field = match.capturedView(1);
    const QString value = match.captured(2);
    if (field == u"program")
        file.header.program = value;
    else if (field == u"saved")
        file.header.savedAt = wholeSeconds(QDateTime::fromString(value, Qt::ISODate));
    else if (field == u"port")
        file.header.port = value;
    else if (field == u"firmware revision")
        file.header.firmware = value;
    else
        file.maxTemperature = value.endsWith(temperatureUnit)
                                  ? value.chopped(temperatureUnit.size())
                                  : value;
}

} // namespace

SettingsFile settingsOfUnit(const UnitState &unit, const SettingsHeader &header)
{
    SettingsFile file;
    file.header = header;
    if (file.header.firmware.isEmpty())
        file.header.firmware = unit.firmwareText;
    for (int i = 0; i < settingCount; ++i) {
        if (unit.settings[i].outOfRange)
            file.reportedOutOfRange[i] = unit.settings[i].outOfRange;
        else
            file.values[i] = unit.settings[i].position;
    }
    file.maxTemperature = unit.maxTemperatureText;
    return file;
}

QByteArray formatSettingsFile(const SettingsFile &file)
{
    QString text = firstLine + u'\n';
    const auto headerLine = [&text](QLatin1String field, const QString &value) {
        if (!value.isEmpty())
            text += QStringLiteral("# %1: %2\n").arg(field, value);
    };
    const SettingsHeader &header = file.header;
    headerLine(QLatin1String("program"), header.program);
    headerLine(QLatin1String("saved"), header.savedAt.isValid() ? savedAtText(header.savedAt) : QString());
    headerLine(QLatin1String("port"), header.port);
    headerLine(QLatin1String("firmware revision"), header.firmware);
    text += u'\n';

    for (int i = 0; i < settingCount; ++i) {
        const Setting setting = Setting(i);
        if (const std::optional<int> odd = file.reportedOutOfRange[i]) {
            const SettingDefinition &range = definitionOf(setting);
            text += QStringLiteral("# %1: the unit reported %2, outside %3 to %4; not a value to apply\n")
                        .arg(settingKey(setting))
                        .arg(*odd)
                        .arg(range.minimum)
                        .arg(range.maximum);
        }
        if (!file.values[i])
            continue;
        const QString shown = settingValueText(setting, *file.values[i]);
        QString line = settingKey(setting) + QStringLiteral(" = ") + QString::number(*file.values[i]);
        if (!shown.isEmpty())
            line = line.leftJustified(20) + QStringLiteral(" # ") + shown;
        text += line + u'\n';
    }

    if (!file.maxTemperature.isEmpty())
        text += QStringLiteral("\n# max temperature: ") + file.maxTemperature + temperatureUnit + u'\n';
    return text.toUtf8();
}

SettingsFileReading parseSettingsFile(const QByteArray &text, const QString &fileName)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]+$"));

    const NameValueText split = splitNameValueText(text, fileName);
    if (!split.error.isEmpty())
        return {std::nullopt, split.error};
    SettingsFile file;
    for (const QString &comment : split.comments)
        readHeaderLine(comment, file);

    std::array<int, settingCount> lineOf{};
    for (const NameValueLine &entry : split.entries) {
        const auto refuse = [&](const QString &reason) {
            return SettingsFileReading{std::nullopt, lineError(fileName, entry.number, reason)};
        };
        const QString &name = entry.name;
        const QString &value = entry.value;
        const std::optional<Setting> setting = settingForKey(name);
        if (!setting)
            return refuse(QStringLiteral("unknown setting \"%1\"").arg(name));
        const int index = int(*setting);
        if (lineOf[index] != 0)
            return refuse(QStringLiteral("%1 given again; it is already on line %2").arg(name, QString::number(lineOf[index])));
        if (value.isEmpty())
            return refuse(QStringLiteral("%1 has no value").arg(name));
        if (!wholeNumber.match(value).hasMatch())
            return refuse(QStringLiteral("%1 = %2 is not a whole number").arg(name, value));

        const SettingDefinition &definition = definitionOf(*setting);
        bool fits = false;
        const int given = value.toInt(&fits);
        if (!fits || given < definition.minimum || given > definition.maximum)
            return refuse(QStringLiteral("%1 = %2 is outside %3 to %4")
                              .arg(name, value, QString::number(definition.minimum),
                                   QString::number(definition.maximum)));
        file.values[index] = given;
        lineOf[index] = entry.number;
    }

    if (split.entries.empty())
        return {std::nullopt, QStringLiteral("%1: holds no settings").arg(fileName)};
    return {std::move(file), QString()};
}

SettingsFileReading readSettingsFile(const QString &path)
{
    const SmallFileRead read = readSmallFile(path, maximumSettingsFileBytes, QStringLiteral("settings file"));
    if (!read.error.isEmpty())
        return {std::nullopt, read.error};
    return parseSettingsFile(read.text, path);
}
