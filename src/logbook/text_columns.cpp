// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/text_columns.h"

#include <algorithm>

QString textColumns(const QList<QStringList> &rows, const std::vector<bool> &rightAligned)
{
    std::vector<qsizetype> widths;
    for (const QStringList &row : rows) {
        widths.resize(std::max(widths.size(), size_t(row.size())));
        for (qsizetype c = 0; c < row.size(); ++c)
            widths[size_t(c)] = std::max(widths[size_t(c)], row[c].size());
    }
    QString text;
    for (const QStringList &row : rows) {
        QString line;
        for (qsizetype c = 0; c < row.size(); ++c) {
            const qsizetype width = widths[size_t(c)];
            const bool right = size_t(c) < rightAligned.size() && rightAligned[size_t(c)];
            line += (c == 0 ? QString() : QStringLiteral("  "))
                    + (right ? row[c].rightJustified(width) : row[c].leftJustified(width));
        }
        while (line.endsWith(u' '))
            line.chop(1);
        text += line + u'\n';
    }
    return text;
}
