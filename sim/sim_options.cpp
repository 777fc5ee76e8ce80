// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/sim_options.h"

#include "sim/paced_writer.h"
#include "sim/replay_player.h"
#include "sim/usb_adapter.h"

#include <QCommandLineParser>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <optional>
#include <utility>

namespace {

constexpr double slowestRate = 0.01;
constexpr double longestFaultSeconds = 1e6; // what a timer can hold

const QString helpOption = QStringLiteral("help");
const QString versionOption = QStringLiteral("version");
const QString revisionOption = QStringLiteral("revision");
const QString rateOption = QStringLiteral("rate");
const QString fastOption = QStringLiteral("fast");
const QString seedOption = QStringLiteral("seed");
const QString silentOption = QStringLiteral("silent");
const QString ignoreOption = QStringLiteral("ignore");
const QString garbageOption = QStringLiteral("garbage");
const QString vanishOption = QStringLiteral("vanish-after");
const QString overflowOption = QStringLiteral("overflow");
const QString engineStoppedOption = QStringLiteral("engine-stopped");
const QString deviceOption = QStringLiteral("device");
const QString linkOption = QStringLiteral("link");
const QString lineEndOption = QStringLiteral("line-end");
const QString chunkMsOption = QStringLiteral("chunk-ms");
const QString chunkBytesOption = QStringLiteral("chunk-bytes");
const QString muteAfterOption = QStringLiteral("mute-after");
const QString muteForOption = QStringLiteral("mute-for");
const QString numberLinesOption = QStringLiteral("number-lines");
const QString replayOption = QStringLiteral("replay");
const QString speedOption = QStringLiteral("speed");
const QString swapWiresOption = QStringLiteral("swap-wires");
const QString echoOption = QStringLiteral("echo");
const QString wrongSpeedOption = QStringLiteral("wrong-speed");

// Each leaves the cable one way; no two can go together.
const std::pair<QString, Wiring> wiringFaults[] = {
    {swapWiresOption, Wiring::Swapped},
    {echoOption, Wiring::Loopback},
    {wrongSpeedOption, Wiring::WrongSpeed},
};

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "A simulated Torvane 410/420 ignition unit for the Torvane Data Link console.\n"
        "Creates a pseudo-terminal, prints its device path as the first line of\n"
        "standard output, and serves the console on it until SIGINT or SIGTERM.\n"
        "Lines are paced at 9600 baud, one straight after another.\n"
        "Exit status: 0 when stopped or vanished, 1 when the device fails,\n"
        "2 for a malformed option or replay file."));
    parser.addOptions({
        {{QStringLiteral("h"), helpOption}, QStringLiteral("Show this help.")},
        {versionOption, QStringLiteral("Print the program's name and version, then exit.")},
        {deviceOption,
            QStringLiteral("Serve a serial device (9600 8N1) instead of a pseudo-terminal."),
            QStringLiteral("DEV")},
        {linkOption,
            QStringLiteral(
                "Also name the pseudo-terminal by a symbolic link at PATH, removed on exit."),
            QStringLiteral("PATH")},
        {replayOption,
            QStringLiteral(
                "Stream the telemetry lines of a console recording (CSV) instead of the simulated "
                "engine: from the first, with their recorded spacing, each time the console asks "
                "for the stream (/I1; until then the engine stands still), then the last line "
                "again at --rate. /p answers with the recording's latest propeller angle."),
            QStringLiteral("FILE")},
        {speedOption,
            QStringLiteral(
                "Replay X times as fast, %1 to %2 (default 1). Lines the line cannot carry in "
                "time are skipped, so the replay keeps its pace.")
                .arg(slowestReplaySpeed)
                .arg(fastestReplaySpeed),
            QStringLiteral("X")},
        {revisionOption,
            QStringLiteral("Firmware revision reported to /u, 00..FF in hex (default 21)."),
            QStringLiteral("HEX")},
        {rateOption,
            QStringLiteral(
                "Telemetry lines per second (default 10; at most %1, what the line carries).")
                .arg(maxTelemetryRate),
            QStringLiteral("N")},
        {fastOption, QStringLiteral("No 9600-baud pacing: each line goes out in one write.")},
        {lineEndOption,
            QStringLiteral("What ends each line the unit sends: CR (default), LF or CRLF."),
            QStringLiteral("END")},
        {chunkMsOption,
            QStringLiteral(
                "Deliver output in bursts every N ms (at most %2), as a USB adapter's latency "
                "timer does (FTDI: 16), and at once when %1 bytes are held. 0 (default): bytes "
                "go out one or two at a time as they are due.")
                .arg(UsbAdapter::packetBytes)
                .arg(UsbAdapter::longestLatency.count()),
            QStringLiteral("N")},
        {chunkBytesOption,
            QStringLiteral(
                "Deliver output in writes of MIN..MAX bytes drawn at random, e.g. 1-64, each "
                "made once that many bytes are due; the rest goes when the line falls quiet. "
                "Not with --chunk-ms."),
            QStringLiteral("MIN-MAX")},
        {seedOption,
            QStringLiteral("Seed of the random engine and faults (default: from the clock)."),
            QStringLiteral("N")},
        {silentOption, QStringLiteral("Fault: answer nothing and stream nothing.")},
        {ignoreOption,
            QStringLiteral("Fault: never answer these command letters, e.g. dz (case-sensitive)."),
            QStringLiteral("LETTERS")},
        {garbageOption,
            QStringLiteral(
                "Fault: probability 0..1, per line sent, of random bytes just before it."),
            QStringLiteral("RATE")},
        {vanishOption,
            QStringLiteral("Fault: the device disappears after SECONDS and the simulator exits."),
            QStringLiteral("SECONDS")},
        {muteAfterOption,
            QStringLiteral(
                "Fault: after SECONDS the unit goes mute, as if powered off: the device stays, "
                "nothing more is sent, not even the rest of a line, and commands are ignored."),
            QStringLiteral("SECONDS")},
        {muteForOption,
            QStringLiteral(
                "Fault: the mute unit comes back after SECONDS as if rebooted: stored settings, "
                "manual advance off, no telemetry until /I1 (default: mute for ever)."),
            QStringLiteral("SECONDS")},
        {engineStoppedOption,
            QStringLiteral("Keep the engine stopped; the propeller still turns by hand.")},
        {numberLinesOption,
            QStringLiteral(
                "Number the telemetry records: a rolling 16-bit count in hex in positions 8-11 "
                "(dwell and sensor, which the console does not use), for counting lost lines.")},
        {overflowOption,
            QStringLiteral(
                "Fault: now and then an engine speed of 8000..FFFF in telemetry and /x.")},
        {swapWiresOption,
            QStringLiteral(
                "Fault: transmit and receive swapped in the cable: the unit hears nothing, so "
                "acts on nothing, and sends nothing.")},
        {echoOption,
            QStringLiteral(
                "Fault: a loopback plug instead of the unit: every byte the console sends comes "
                "back as it was, and nothing else.")},
        {wrongSpeedOption,
            QStringLiteral(
                "Fault: the unit sends at 19200 baud to the console's 9600, so its lines arrive "
                "as fewer, garbled bytes; it hears the console correctly.")},
    });
}

bool parseNumber(const QString &text, double *value)
{
    bool ok = false;
    *value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(*value);
}

QString parseRevision(const QString &text, int *revision)
{
    static const QRegularExpression hex(QStringLiteral("^(0[xX])?[0-9A-Fa-f]{1,2}$"));
    if (!hex.match(text).hasMatch())
        return QStringLiteral("--revision wants one or two hex digits (00..FF), not \"%1\"")
            .arg(text);
    const bool prefixed = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    *revision = text.mid(prefixed ? 2 : 0).toInt(nullptr, 16);
    return {};
}

QString parseRate(const QString &text, double *rate, QString *warning)
{
    if (!parseNumber(text, rate) || *rate < slowestRate)
        return QStringLiteral("--rate wants a number of lines per second, at least %1, not \"%2\"")
            .arg(slowestRate)
            .arg(text);
    if (*rate > maxTelemetryRate) {
        *warning = QStringLiteral("--rate %1 is more than a 9600-baud line carries; using %2")
                       .arg(text)
                       .arg(maxTelemetryRate);
        *rate = maxTelemetryRate;
    }
    return {};
}

QString parseSeed(const QString &text, std::uint64_t *seed)
{
    bool ok = false;
    *seed = text.trimmed().toULongLong(&ok);
    return ok ? QString()
              : QStringLiteral("--seed wants a non-negative integer, not \"%1\"").arg(text);
}

QString parseIgnore(const QString &text, QByteArray *letters)
{
    static const QRegularExpression onlyLetters(QStringLiteral("^[A-Za-z]+$"));
    if (!onlyLetters.match(text).hasMatch())
        return QStringLiteral("--ignore wants command letters, e.g. dz, not \"%1\"").arg(text);
    *letters = text.toLatin1();
    return {};
}

QString parseGarbage(const QString &text, double *probability)
{
    if (!parseNumber(text, probability) || *probability < 0 || *probability > 1)
        return QStringLiteral("--garbage wants a probability from 0 to 1, not \"%1\"").arg(text);
    return {};
}

QString parseSeconds(const QString &option, const QString &text, double *seconds)
{
    if (!parseNumber(text, seconds) || *seconds <= 0 || *seconds > longestFaultSeconds)
        return QStringLiteral("--%1 wants a number of seconds above 0, at most %2, not \"%3\"")
            .arg(option, QString::number(longestFaultSeconds, 'f', 0), text);
    return {};
}

QString parseSpeed(const QString &text, double *speed)
{
    if (!parseNumber(text, speed) || *speed < slowestReplaySpeed || *speed > fastestReplaySpeed)
        return QStringLiteral("--speed wants a number from %1 to %2, not \"%3\"")
            .arg(slowestReplaySpeed)
            .arg(fastestReplaySpeed)
            .arg(text);
    return {};
}

QString parseLineEnd(const QString &text, QByteArray *lineEnd)
{
    static const QHash<QString, QByteArray> ends{{"CR", "\r"}, {"LF", "\n"}, {"CRLF", "\r\n"}};
    const auto found = ends.constFind(text.toUpper());
    if (found == ends.cend())
        return QStringLiteral("--line-end wants CR, LF or CRLF, not \"%1\"").arg(text);
    *lineEnd = *found;
    return {};
}

// A count of at most nine digits, so that it fits an int.
std::optional<int> smallCount(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    if (!digits.match(text).hasMatch())
        return std::nullopt;
    return text.toInt();
}

QString parseChunkMs(const QString &text, std::chrono::milliseconds *period, QString *warning)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    if (!digits.match(text).hasMatch())
        return QStringLiteral(
                   "--chunk-ms wants a whole number of milliseconds, 0 for none, not \"%1\"")
            .arg(text);
    bool fits = false;
    const qint64 ms = text.toLongLong(&fits);
    if (fits && ms <= UsbAdapter::longestLatency.count()) {
        *period = std::chrono::milliseconds(ms);
        return {};
    }
    *period = UsbAdapter::longestLatency;
    *warning = QStringLiteral("--chunk-ms %1 is longer than an adapter's latency timer goes; "
                              "using %2")
                   .arg(text)
                   .arg(UsbAdapter::longestLatency.count());
    return {};
}

QString parseChunkBytes(const QString &text, int *smallest, int *largest, QString *warning)
{
    const QStringList ends = text.split('-');
    const std::optional<int> low = ends.size() == 2 ? smallCount(ends[0]) : std::nullopt;
    const std::optional<int> high = ends.size() == 2 ? smallCount(ends[1]) : std::nullopt;
    if (!low || !high || *low < 1 || *low > *high)
        return QStringLiteral("--chunk-bytes wants MIN-MAX, with 1 <= MIN <= MAX, not \"%1\"")
            .arg(text);
    const int most = int(PacedWriter::capacity);
    *smallest = std::min(*low, most);
    *largest = std::min(*high, most);
    if (*high > most)
        *warning = QStringLiteral("--chunk-bytes %1 asks for writes larger than the output queue; "
                                  "using at most %2")
                       .arg(text)
                       .arg(most);
    return {};
}

// An error when more than one wiring fault is given.
QString readWiring(const QCommandLineParser &parser, Wiring *wiring)
{
    QStringList given;
    for (const auto &[option, fault] : wiringFaults) {
        if (!parser.isSet(option))
            continue;
        given << "--" + option;
        *wiring = fault;
    }
    if (given.size() > 1)
        return QStringLiteral("%1 cannot go together").arg(given.join(QStringLiteral(" and ")));
    return {};
}

std::uint64_t clockSeed()
{
    return std::uint64_t(std::chrono::system_clock::now().time_since_epoch().count());
}

// The first problem found, or nothing.
QString readValues(const QCommandLineParser &parser, ParsedOptions &parsed)
{
    SimOptions &options = parsed.options;
    options.seed = clockSeed();
    const auto given = [&parser](const QString &name) { return parser.isSet(name); };
    if (given(chunkMsOption) && given(chunkBytesOption))
        return QStringLiteral("--chunk-ms and --chunk-bytes cannot go together");
    if (given(muteForOption) && !given(muteAfterOption))
        return QStringLiteral("--mute-for wants --mute-after too");
    if (given(speedOption) && !given(replayOption))
        return QStringLiteral("--speed wants --replay too");
    if (given(numberLinesOption) && given(replayOption))
        return QStringLiteral("--number-lines numbers the engine's lines; it cannot go with "
                              "--replay");
    if (const QString error = readWiring(parser, &options.wiring); !error.isEmpty())
        return error;
    QString warnings[3];
    const QString errors[] = {
        given(revisionOption) ? parseRevision(parser.value(revisionOption), &options.revision)
                              : QString(),
        given(rateOption) ? parseRate(parser.value(rateOption), &options.rate, &warnings[0])
                          : QString(),
        given(seedOption) ? parseSeed(parser.value(seedOption), &options.seed) : QString(),
        given(ignoreOption) ? parseIgnore(parser.value(ignoreOption), &options.ignoreLetters)
                            : QString(),
        given(garbageOption)
            ? parseGarbage(parser.value(garbageOption), &options.garbageProbability)
            : QString(),
        given(vanishOption)
            ? parseSeconds(vanishOption, parser.value(vanishOption), &options.vanishAfterSeconds)
            : QString(),
        given(muteAfterOption) ? parseSeconds(muteAfterOption, parser.value(muteAfterOption),
                                              &options.muteAfterSeconds)
                               : QString(),
        given(muteForOption)
            ? parseSeconds(muteForOption, parser.value(muteForOption), &options.muteForSeconds)
            : QString(),
        given(speedOption) ? parseSpeed(parser.value(speedOption), &options.replaySpeed)
                           : QString(),
        given(lineEndOption) ? parseLineEnd(parser.value(lineEndOption), &options.lineEnd)
                             : QString(),
        given(chunkMsOption)
            ? parseChunkMs(parser.value(chunkMsOption), &options.chunkPeriod, &warnings[1])
            : QString(),
        given(chunkBytesOption)
            ? parseChunkBytes(parser.value(chunkBytesOption), &options.chunkSmallest,
                              &options.chunkLargest, &warnings[2])
            : QString(),
    };
    for (const QString &error : errors)
        if (!error.isEmpty())
            return error;
    for (const QString &warning : warnings)
        if (!warning.isEmpty())
            parsed.warning += (parsed.warning.isEmpty() ? "" : "; ") + warning;

    options.fast = given(fastOption);
    options.silent = given(silentOption);
    options.overflow = given(overflowOption);
    options.engineStopped = given(engineStoppedOption);
    options.numberLines = given(numberLinesOption);
    options.device = parser.value(deviceOption);
    options.linkPath = parser.value(linkOption);
    options.replayFile = parser.value(replayOption);
    if (given(replayOption) && options.replayFile.isEmpty())
        return QStringLiteral("--replay wants a file");
    if (given(deviceOption) && options.device.isEmpty())
        return QStringLiteral("--device wants a device path");
    if (given(linkOption) && options.linkPath.isEmpty())
        return QStringLiteral("--link wants a path");
    if (!options.device.isEmpty() && !options.linkPath.isEmpty())
        return QStringLiteral("--link names a pseudo-terminal; it cannot go with --device");
    return {};
}

} // namespace

ParsedOptions parseSimOptions(const QStringList &arguments)
{
    ParsedOptions parsed;
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        parsed.error = parser.errorText();
        return parsed;
    }
    if (parser.isSet(helpOption)) {
        parsed.helpRequested = true;
        return parsed;
    }
    if (parser.isSet(versionOption)) {
        parsed.versionRequested = true;
        return parsed;
    }
    if (!parser.positionalArguments().isEmpty()) {
        parsed.error = QStringLiteral("unexpected argument \"%1\"")
                           .arg(parser.positionalArguments().first());
        return parsed;
    }
    parsed.error = readValues(parser, parsed);
    return parsed;
}

QString simHelpText()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}
