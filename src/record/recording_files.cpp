// SPDX-License-Identifier: GPL-3.0-or-later
#include "record/recording_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int mostSuffixes = 1000;

QString candidateName(const QString &stem, int attempt)
{
    return attempt == 1 ? stem + QStringLiteral(".csv")
                        : stem + QStringLiteral("-%1.csv").arg(attempt);
}

std::unique_ptr<QFile> openFile(const QString &path, QIODevice::OpenMode mode, QString &error)
{
    auto file = std::make_unique<QFile>(path);
    if (file->open(mode | QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file;
    error = QStringLiteral("%1: %2").arg(path, file->errorString());
    return nullptr;
}

} // namespace

std::unique_ptr<QFile> createFileInFolder(const QString &folder, const QDateTime &start,
                                          QString &error)
{
    const QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("."))) {
        error = QStringLiteral("%1: cannot create the folder").arg(folder);
        return nullptr;
    }
    const QString stem = dir.filePath(QStringLiteral("torvane-")
                                      + start.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
    for (int attempt = 1; attempt <= mostSuffixes; ++attempt) {
        const QString path = candidateName(stem, attempt);
        std::unique_ptr<QFile> file = openFile(path, QIODevice::NewOnly, error);
        if (file || !QFileInfo::exists(path))
            return file;
    }
    error = QStringLiteral("%1: every name for this second is taken").arg(stem);
    return nullptr;
}

std::unique_ptr<QFile> createFile(const QString &path, QString &error)
{
    const QFileInfo info(path);
    const bool stream = info.exists() && !info.isFile() && !info.isDir();
    return openFile(path, stream ? QIODevice::NotOpen : QIODevice::NewOnly, error);
}
