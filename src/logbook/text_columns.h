// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// Rows of cells as plain text in columns two spaces apart, each column as
// wide as its widest cell: left-aligned unless `rightAligned` says otherwise
// (columns beyond it are left-aligned). No line ends in spaces.
QString textColumns(const QList<QStringList> &rows, const std::vector<bool> &rightAligned);
