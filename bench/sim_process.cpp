// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_process.h"

#include <QFileInfo>

bool SimProcess::start(const QString &program, const QString &link, const QStringList &arguments)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, QStringList{QStringLiteral("--link"), link} + arguments);
    if (!process.waitForStarted(5000)) {
        failure = QStringLiteral("cannot start %1: %2").arg(program, process.errorString());
        return false;
    }
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(5000)) {
            failure = QStringLiteral("%1 printed no device path").arg(program);
            return false;
        }
    }
    started = Clock::now();
    process.readLine();
    if (!QFileInfo::exists(link)) {
        failure = QStringLiteral("%1 did not create %2").arg(program, link);
        return false;
    }
    return true;
}

bool SimProcess::waitForExit(std::chrono::milliseconds limit)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(int(limit.count()));
}

void SimProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate(); // lets it remove its link
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}
