// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Cuts the bytes the console sends into commands: "/" + command characters +
// CR. '%' pause markers are dropped wherever they appear; bytes outside a
// command are ignored; a command that grows too long, or holds a byte that
// no command contains, is discarded up to the next "/".
class CommandFramer {
public:
    static constexpr qsizetype maxCommandLength = 32;

    // The complete commands in `bytes`, without their "/" and CR.
    QList<QByteArray> feed(QByteArrayView bytes);

private:
    void accept(char c, QList<QByteArray> &commands);

    QByteArray pending;
    bool inCommand = false;
};
