// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The plain text the settings and limits files share: "name = value" lines,
// comments from '#' to the end of a line, blank lines, UTF-8 with or
// without a byte order mark, LF or CR LF.

struct NameValueLine {
    int number = 0; // from 1
    QString name;
    QString value;  // may be empty
};

struct NameValueText {
    std::vector<NameValueLine> entries;
    QStringList comments; // whole-line comments, trimmed, '#' included
    QString error;        // "FILE: line N: reason"; nothing else is usable then
};

NameValueText splitNameValueText(const QByteArray &text, const QString &fileName);

QString lineError(const QString &fileName, int number, const QString &reason);

// At most `maximumBytes`, or an error naming the file ("FILE: cannot read:
// ..."; "FILE: larger than N bytes; too large for a KIND").
struct SmallFileRead {
    QByteArray text;
    QString error;
};
SmallFileRead readSmallFile(const QString &path, qint64 maximumBytes, const QString &kind);
