// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/byte_link.h"

#include <QString>
#include <QTimer>
#include <memory>

class QSocketNotifier;

// The master side of a raw pseudo-terminal; the console opens the slave
// device. Output is dropped while no program has the slave open, so a
// console that opens it later does not find stale lines waiting.
class PseudoTerminal : public ByteLink {
    Q_OBJECT

public:
    // Nothing, with the reason in `error`, when the system refuses. With a
    // `linkPath`, a symbolic link there names the slave until close().
    static std::unique_ptr<PseudoTerminal> open(const QString &linkPath, QString *error);
    ~PseudoTerminal() override;

    const QString &slavePath() const { return slave; }
    bool isPeerAttached() const;

    void write(QByteArrayView bytes) override;
    void close() override;

private:
    PseudoTerminal() = default;
    bool setUp(const QString &linkPath, QString *error);
    bool makeLink(const QString &linkPath, QString *error);
    void removeLink();
    void readAvailable();

    int master = -1;
    QString slave;
    QString link;
    QSocketNotifier *notifier = nullptr;
    // While nobody has the slave open the master reads as hung up; look
    // again now and then instead of spinning on it.
    QTimer reattach;
};
