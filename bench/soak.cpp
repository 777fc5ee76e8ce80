// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/qt_serial_port.h"
#include "offscreen.h"
#include "support/raw_pty.h"
#include "core/unit_link.h"
#include "ui/console_window.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <unistd.h>

// Soak and fault runs of the real console (offscreen window, QSerialPort) on
// a pseudo-terminal. A writer thread plays the unit; the window counts the
// telemetry lines it decodes (each line flips the temperature box between
// two values). Memory comes from the kernel's own accounting.
//
//   torvane-soak lines N        N telemetry lines, in blocks, each block sent once the last is decoded
//   torvane-soak unterminated MB   MB megabytes with no line terminator, then good lines
//   torvane-soak noise SECONDS  random bytes at the line rate, then good lines
//   torvane-soak overflow       engine-speed fields 8000..FFFF, then a good line

namespace {

using namespace std::chrono_literals;

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

// Temperatures alternate so that every decoded line changes the box.
QByteArray telemetry(int i, int rpm = 3000, int temperature = -1)
{
    return QStringLiteral("=%1%2000082%3%4%5\r")
        .arg(rpm, 4, 16, QLatin1Char('0'))
        .arg(i % 64, 2, 16, QLatin1Char('0'))
        .arg(temperature >= 0 ? temperature : i % 2 ? 0x23 : 0x24, 2, 16, QLatin1Char('0'))
        .arg(i % 100, 2, 16, QLatin1Char('0'))
        .arg((i * 7) % 100, 2, 16, QLatin1Char('0'))
        .toUpper()
        .toLatin1();
}

struct Pty {
    QString slave;
    int master = -1;
    Pty() : master(openRawPty(&slave)) {}
    ~Pty() { ::close(master); }
    void write(const QByteArray &bytes) const
    {
        for (qsizetype done = 0; done < bytes.size();) {
            const ssize_t n = ::write(master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                std::this_thread::sleep_for(1ms);
        }
    }
};

struct Soak {
    Pty pty;
    std::unique_ptr<UnitLink> link;
    std::unique_ptr<ConsoleWindow> window;
    std::atomic<long> decoded{0};
    std::atomic<bool> done{false};
    std::atomic<bool> showedMarker{false}; // the temperature 85 was shown

    Soak()
    {
        PortMap ports;
        ports.setDevice(1, pty.slave);
        link = std::make_unique<UnitLink>(new QtSerialPort(ports));
        window = std::make_unique<ConsoleWindow>(*link);
        QObject::connect(window->temperatureBox, &QLineEdit::textChanged, window.get(),
                         [this](const QString &text) {
                             ++decoded;
                             showedMarker = showedMarker || text == QLatin1String("85");
                         });
        window->clickPort(1);
    }

    // Sends lines and waits until the window has decoded them; returns how
    // many it decoded.
    long sendDecoded(const QByteArray &lines, long count = 1)
    {
        const long before = decoded;
        pty.write(lines);
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (decoded - before < count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
        return decoded - before;
    }

    int run(const std::function<void()> &writer)
    {
        std::thread thread([&] {
            writer();
            done = true;
        });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (done)
                QCoreApplication::quit();
        });
        poll.start(50);
        QCoreApplication::exec();
        thread.join();
        return 0;
    }
};

void report(const char *what, double value, const char *unit)
{
    std::printf("%s %g %s\n", what, value, unit);
    std::fflush(stdout);
}

// Lines go in blocks well inside a pseudo-terminal's buffer: the console
// reads what has arrived on its timers' wake-ups, so a line sent only after
// the one before was decoded would wait for a wake-up each time.
void lines(Soak &soak, long count)
{
    const long warmup = 2000, block = 40;
    long lost = 0, sent = 0, rssBefore = 0;
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < warmup + count; i += block) {
        if (i == warmup)
            rssBefore = residentKb();
        const long n = std::min(block, warmup + count - i);
        QByteArray bytes;
        for (long j = i; j < i + n; ++j)
            bytes += telemetry(int(j));
        lost += n - soak.sendDecoded(bytes, n);
        sent += i >= warmup ? n : 0;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    report("lines_sent", double(sent), "");
    report("lines_lost", double(lost), "");
    report("lines_per_second", double(warmup + count) / seconds, "");
    report("rss_growth_kb", double(residentKb() - rssBefore), "kB");
}

void unterminated(Soak &soak, long megabytes)
{
    soak.sendDecoded(telemetry(1));
    const long rssBefore = residentKb();
    const QByteArray block(64 * 1024, 'A');
    for (long i = 0; i < megabytes * 16; ++i)
        soak.pty.write(block);
    std::this_thread::sleep_for(500ms);
    report("rss_growth_kb", double(residentKb() - rssBefore), "kB");
    soak.pty.write("\r");
    std::this_thread::sleep_for(100ms); // the next line must not share a batch
    report("decoded_after", double(soak.sendDecoded(telemetry(2))), "");
}

void noise(Soak &soak, long seconds)
{
    std::mt19937 random(1);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    QByteArray chunk(96, '\0');
    while (std::chrono::steady_clock::now() < end) { // 960 bytes a second
        for (char &c : chunk)
            c = char(random());
        soak.pty.write(chunk);
        std::this_thread::sleep_for(100ms);
    }
    soak.pty.write("\r");
    std::this_thread::sleep_for(100ms);
    long good = 0;
    for (int i = 0; i < 20; ++i)
        good += soak.sendDecoded(telemetry(i));
    report("decoded_after", double(good), "of 20");
}

void overflow(Soak &soak)
{
    // Each bad line carries the marker temperature 85: were it decoded, the
    // box would show it before the good line that follows.
    long good = 0, sent = 0;
    for (int rpm = 0x8000; rpm <= 0xFFFF; rpm += 0x7F, ++sent) {
        soak.pty.write(telemetry(0, rpm, 0x55));
        std::this_thread::sleep_for(10ms);
        good += soak.sendDecoded(telemetry(int(sent), 1234));
    }
    report("overflow_lines_sent", double(sent), "");
    report("overflow_lines_shown", soak.showedMarker ? 1 : 0, "");
    report("good_lines_decoded", double(good), "");
}

} // namespace

int main(int argc, char **argv)
{
    preferOffscreen();
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const QString mode = args.value(1);
    const long amount = args.value(2).toLong();
    Soak soak;
    std::function<void()> writer;
    if (mode == QLatin1String("lines"))
        writer = [&] { lines(soak, amount); };
    else if (mode == QLatin1String("unterminated"))
        writer = [&] { unterminated(soak, amount); };
    else if (mode == QLatin1String("noise"))
        writer = [&] { noise(soak, amount); };
    else if (mode == QLatin1String("overflow"))
        writer = [&] { overflow(soak); };
    else {
        std::fprintf(stderr, "usage: torvane-soak lines N | unterminated MB | noise SECONDS | overflow\n");
        return 2;
    }
    return soak.run(writer);
}
