// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_link.h"
#include "link/memory_serial_port.h"
#include "ui/console_window.h"

#include <QHash>
#include <QLocale>
#include <chrono>

// A unit link on the in-memory port with a clock the test moves. Nothing
// here runs the event loop, so timers only tick when a test calls them.
struct LinkFixture {
    MemorySerialPort *port = new MemorySerialPort;
    UnitLink link{port};
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};

    LinkFixture() { link.clock = [this] { return now; }; }

    void receive(QByteArrayView bytes) { port->receive(bytes); }
    void advance(std::chrono::milliseconds by) { now += by; }

    // Pump ticks a pump interval apart until the queue is empty: every byte
    // sent for the queue as it stands.
    QByteArray drainQueue(int maxTicks = 1000)
    {
        const qsizetype before = port->writes.size();
        for (int i = 0; i < maxTicks && !link.queued().isEmpty(); ++i) {
            advance(std::chrono::milliseconds(UnitLink::pumpMs));
            link.transmitNext();
        }
        QByteArray sent;
        for (qsizetype i = before; i < port->writes.size(); ++i)
            sent += port->writes[i];
        return sent;
    }

    // Port opened and the unit identified itself with the given revision;
    // the start-up commands still queued are dropped.
    void connect(int revisionHex = 0x21, int portNumber = 1)
    {
        link.openPort(int16_t(portNumber));
        receive(QByteArrayLiteral("/I0\r"));
        receive("u" + QByteArray::number(revisionHex, 16).rightJustified(2, '0') + "\r");
        drainQueue();
    }

    // Poll ticks until the read-out is over: the poll cycle asks for the
    // propeller angle once every value is in and the stream was asked for.
    void readOut()
    {
        for (int i = 0; i < 100; ++i) {
            link.pollNext();
            const bool over = link.queued() == "/p\r";
            drainQueue();
            if (over)
                return;
        }
    }
};

// What a unit answers to each query of the read-out; empty for no answer.
inline QByteArray unitAnswer(const QByteArray &query)
{
    static const QHash<QByteArray, QByteArray> answers{
        {"/c\r", "c03\r"}, {"/d\r", "d02\r"}, {"/e\r", "e40\r"}, {"/z\r", "z5A\r"},
        {"/w\r", "w8A\r"}, {"/x\r", "x0000\r"}, {"/l\r", "l01\r"}, {"/t\r", "t01\r"},
        {"/m\r", "m0E\r"}, {"/n\r", "n1E\r"}, {"/p\r", "p40\r"}};
    return answers.value(query);
}

// The poll cycle's read-out, answered with unitAnswer except for the
// queries in `unanswered`, until the stream was asked for.
inline void answerReadOut(LinkFixture &f, const QByteArrayList &unanswered = {})
{
    for (int tick = 0; tick < 40 && f.link.queued() != "/p\r"; ++tick) {
        if (!f.link.queued().isEmpty()) {
            f.drainQueue();
            continue;
        }
        f.link.pollNext();
        const QByteArray query = f.link.queued();
        f.drainQueue();
        if (!unanswered.contains(query))
            f.receive(unitAnswer(query));
    }
    f.drainQueue();
}

// Connected and read out; the stream was asked for.
inline void connectAndReadOut(LinkFixture &f, int revisionHex = 0x21,
                              const QByteArrayList &unanswered = {})
{
    f.connect(revisionHex);
    answerReadOut(f, unanswered);
}

// The same with the main window on top.
struct WindowFixture : LinkFixture {
    ConsoleWindow window{link};
};

// Tests pin the locale so decimal texts do not depend on the machine.
inline void pinLocale(const QLocale &locale = QLocale::c())
{
    QLocale::setDefault(locale);
}
