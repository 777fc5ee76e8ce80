#include "sim/sim_options.h"

#include "sim/paced_writer.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cmath>

namespace {

constexpr double slowestRate = 0.01;
constexpr double longestVanishSeconds = 1e6;

const QString helpOption = QStringLiteral("help");
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

void describe(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "A simulated Torvane 410/420 ignition unit for the Torvane Data Link console.\n"
        "Creates a pseudo-terminal, prints its device path as the first line of\n"
        "standard output, and serves the console on it until SIGINT or SIGTERM.\n"
        "Lines are paced at 9600 baud with a short idle gap after each one.\n"
        "Exit status: 0 when stopped or vanished, 1 when the device fails,\n"
        "2 for a malformed option."));
    parser.addOptions({
        {{QStringLiteral("h"), helpOption}, QStringLiteral("Show this help.")},
        {deviceOption,
            QStringLiteral("Serve a serial device (9600 8N1) instead of a pseudo-terminal."),
            QStringLiteral("DEV")},
        {linkOption,
            QStringLiteral(
                "Also name the pseudo-terminal by a symbolic link at PATH, removed on exit."),
            QStringLiteral("PATH")},
        {revisionOption,
            QStringLiteral("Firmware revision reported to /u, 00..FF in hex (default 21)."),
            QStringLiteral("HEX")},
        {rateOption,
            QStringLiteral(
                "Telemetry lines per second (default 10; at most %1, what the line carries).")
                .arg(maxTelemetryRate),
            QStringLiteral("N")},
        {fastOption, QStringLiteral("No 9600-baud pacing: each line goes out in one write.")},
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
        {engineStoppedOption,
            QStringLiteral("Keep the engine stopped; the propeller still turns by hand.")},
        {overflowOption,
            QStringLiteral(
                "Fault: now and then an engine speed of 8000..FFFF in telemetry and /x.")},
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

QString parseVanish(const QString &text, double *seconds)
{
    if (!parseNumber(text, seconds) || *seconds <= 0 || *seconds > longestVanishSeconds)
        return QStringLiteral("--vanish-after wants a number of seconds above 0, not \"%1\"")
            .arg(text);
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
    const QString errors[] = {
        given(revisionOption) ? parseRevision(parser.value(revisionOption), &options.revision)
                              : QString(),
        given(rateOption) ? parseRate(parser.value(rateOption), &options.rate, &parsed.warning)
                          : QString(),
        given(seedOption) ? parseSeed(parser.value(seedOption), &options.seed) : QString(),
        given(ignoreOption) ? parseIgnore(parser.value(ignoreOption), &options.ignoreLetters)
                            : QString(),
        given(garbageOption)
            ? parseGarbage(parser.value(garbageOption), &options.garbageProbability)
            : QString(),
        given(vanishOption) ? parseVanish(parser.value(vanishOption), &options.vanishAfterSeconds)
                            : QString(),
    };
    for (const QString &error : errors)
        if (!error.isEmpty())
            return error;

    options.fast = given(fastOption);
    options.silent = given(silentOption);
    options.overflow = given(overflowOption);
    options.engineStopped = given(engineStoppedOption);
    options.device = parser.value(deviceOption);
    options.linkPath = parser.value(linkOption);
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
