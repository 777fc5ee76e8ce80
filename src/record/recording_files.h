// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <memory>

// Where recordings go. Neither function ever writes over an existing file;
// both open unbuffered, so every write reaches the system at once.

// A new file in `folder` (made when missing), named by the start time:
// torvane-2026-12-07_14-03-22.csv, or torvane-2026-12-07_14-03-22-2.csv and
// so on when that name is taken. Nothing, with `error` set, on failure.
std::unique_ptr<QFile> createFileInFolder(const QString &folder, const QDateTime &start,
                                          QString &error);

// A new file at `path`. A device or pipe already there is written as a
// stream; an existing ordinary file is refused.
std::unique_ptr<QFile> createFile(const QString &path, QString &error);
