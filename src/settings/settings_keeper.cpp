// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_keeper.h"

#include "core/unit_link.h"
#include "link/serial_port.h"
#include "torvane_version.h"

#include <QDate>
#include <QSaveFile>
#include <QStandardPaths>

SettingsKeeper::SettingsKeeper(UnitLink &link, const QString &backupFolder, QObject *parent)
    : QObject(parent), link(link), backups(backupFolder)
{
    connect(&link, &UnitLink::settingsReadOut, this, &SettingsKeeper::readOut);
    connect(&link, &UnitLink::settingsStored, this, &SettingsKeeper::stored);
}

SettingsFile SettingsKeeper::current() const
{
    SettingsHeader header;
    header.program = QStringLiteral("torvane-console " TORVANE_VERSION);
    header.savedAt = QDateTime::currentDateTime();
    const int16_t port = link.port().portNumber();
    const QString device = link.port().portDescription(port);
    header.port = QStringLiteral("COM%1").arg(port)
                  + (device.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(device));
    header.firmware = link.state().firmwareText;
    return settingsOfUnit(link.state(), header);
}

QString SettingsKeeper::saveTo(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    file.write(formatSettingsFile(current()));
    if (!file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

QString SettingsKeeper::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
           + QStringLiteral("/Torvane settings");
}

QString SettingsKeeper::defaultFileName()
{
    return QStringLiteral("torvane-settings-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
}

void SettingsKeeper::readOut()
{
    if (!firstReadOut) {
        std::array<int, settingCount> values{};
        for (int i = 0; i < settingCount; ++i)
            values[i] = link.state().settings[i].position;
        firstReadOut = values;
    }
    QString error;
    backups.keep(current(), error);
    if (!error.isEmpty())
        emit backupFailed(error);
}

void SettingsKeeper::stored()
{
    if (!firstReadOut)
        return;
    for (int i = 0; i < settingCount; ++i) {
        const int held = (*firstReadOut)[i];
        if (link.state().settings[i].position != held)
            valuesBefore[i] = held;
        else
            valuesBefore[i].reset();
    }
}
