// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/decoded_line.h"
#include "recording/csv_row.h"
#include "recording/recorded_values.h"

#include <QDateTime>
#include <QFile>
#include <QTimeZone>
#include <algorithm>
#include <cstdio>
#include <random>

// Writes a recording as the console writes it, for timing the viewer's
// loader on a realistic file:
//
//   torvane-make-recording FILE ROWS [N]
//
// 48 rows a second. The engine stops, idles, runs up and cruises, its speed
// moving towards each stage's target; the unit falls silent now and then (a
// gap in the seconds); the propeller angle is reported only after the first
// two minutes; a few lines are garbled into quoted fields. Each line goes
// through the console's own decoder and CSV writer. The same ROWS always give
// the same file; N (0 when left out) makes the Nth of a series of different
// recordings, each started N hours after the first, as for a logbook.

namespace {

constexpr int rowsPerSecond = 48;

struct Stage {
    int rpmLow;
    int rpmHigh;
    int shortestSeconds;
    int longestSeconds;
};

// Off, idle, run-up, idle, cruise, idle, and round again.
constexpr Stage stages[] = {
    {0, 0, 30, 120},          {750, 850, 60, 300},  {2500, 2700, 20, 60},
    {750, 850, 30, 90},       {2200, 2500, 300, 1800}, {750, 850, 30, 120},
};

class Engine {
public:
    QByteArray nextLine(std::mt19937 &random)
    {
        if (--rowsLeft <= 0)
            nextStage(random);
        const double maxStep = 300.0 / rowsPerSecond;
        rpm += std::clamp(target - rpm, -maxStep, maxStep);
        const bool running = rpm >= 50;
        const double noise = std::uniform_real_distribution<double>(-8, 8)(random);
        const int shownRpm = std::max(0, int(rpm + (running ? noise : 0)));
        const int advanceSteps = running ? std::min(28, int((20 + rpm / 150) / 1.4)) : 0;
        temperature += ((running ? 90.0 : 15.0) - temperature) / (rowsPerSecond * 600);
        const int voltsRaw = running ? 150 : 130;
        const auto pair = [&](int base) {
            return running ? std::clamp(base + int(noise), 0, 100) : 0;
        };
        char text[32];
        std::snprintf(text, sizeof text, "=%04X%02X0000%02X%02X%02X%02X\r", shownRpm,
                      advanceSteps, voltsRaw, int(temperature), pair(85), pair(92));
        return text;
    }

private:
    void nextStage(std::mt19937 &random)
    {
        const Stage &stage = stages[stageIndex];
        stageIndex = (stageIndex + 1) % std::size(stages);
        target = std::uniform_int_distribution<int>(stage.rpmLow, stage.rpmHigh)(random);
        rowsLeft = rowsPerSecond
                   * std::uniform_int_distribution<int>(stage.shortestSeconds,
                                                        stage.longestSeconds)(random);
    }

    size_t stageIndex = 0;
    int rowsLeft = 0;
    double rpm = 0;
    double target = 0;
    double temperature = 15;
};

// Noise on the wire: a byte of the line replaced, which the CSV quotes.
void garble(QByteArray &line, std::mt19937 &random)
{
    static constexpr char noise[] = {',', '"', '\x01'};
    line[std::uniform_int_distribution<int>(5, 17)(random)] =
        noise[std::uniform_int_distribution<int>(0, 2)(random)];
}

} // namespace

int main(int argc, char *argv[])
{
    bool number = false;
    bool series = argc == 3;
    const qint64 rows = argc == 3 || argc == 4 ? QByteArray(argv[2]).toLongLong(&number) : 0;
    const int nth = argc == 4 ? QByteArray(argv[3]).toInt(&series) : 0;
    if (!number || rows < 1 || !series || nth < 0) {
        std::fprintf(stderr, "usage: torvane-make-recording FILE ROWS [N]\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "torvane-make-recording: %s: %s\n", argv[1],
                     qPrintable(file.errorString()));
        return 1;
    }

    std::mt19937 random(20261207 + unsigned(nth));
    std::bernoulli_distribution silence(1.0 / (rowsPerSecond * 1200)); // every 20 minutes or so
    std::bernoulli_distribution noisy(1.0 / 2000);
    const QDateTime start =
        QDateTime(QDate(2026, 12, 7), QTime(9, 0), QTimeZone(3600)).addSecs(qint64(nth) * 3600);
    Engine engine;
    FigureValues values;
    int64_t silentMs = 0;
    int propellerHex = 0x1C;
    QByteArray text = csvHeader();
    for (qint64 tick = 0, written = 0; written < rows; ++tick) {
        if (silence(random))
            silentMs += std::uniform_int_distribution<int>(5000, 60000)(random);
        const int64_t elapsedMs = tick * 1000 / rowsPerSecond + silentMs;
        QByteArray line;
        // The propeller angle is asked for every five seconds after the
        // first two minutes.
        if (elapsedMs > 120000 && tick % (5 * rowsPerSecond) == 0) {
            propellerHex = std::clamp(
                propellerHex + std::uniform_int_distribution<int>(-3, 3)(random), 0, 0xFF);
            char reply[8];
            std::snprintf(reply, sizeof reply, "p%02X\r", propellerHex);
            line = reply;
        } else {
            line = engine.nextLine(random);
            if (noisy(random))
                garble(line, random);
        }
        // As the console: only lines that decode make a row.
        if (!takeRecordedFigures(values, decodeLine(line)))
            continue;
        text += csvRow(start.addMSecs(elapsedMs), elapsedMs, values, line);
        if (++written == rows || text.size() > 1 << 20) {
            if (file.write(text) != text.size()) {
                std::fprintf(stderr, "torvane-make-recording: %s: %s\n", argv[1],
                             qPrintable(file.errorString()));
                return 1;
            }
            text.truncate(0);
        }
    }
    return 0;
}
