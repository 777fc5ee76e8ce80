// SPDX-License-Identifier: GPL-3.0-or-later
#include "limits/limits_file.h"

#include "protocol/name_value_text.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <charconv>
#include <cmath>
#include <utility>

namespace {

const QLatin1String firstLine("# Torvane exceedance limits");
const QLatin1String noLimit("none");

struct LimitName {
    LimitSide side;
    LimitLevel level;
    const char *text;
};

constexpr std::array<LimitName, 4> limitNames{{
    {LimitSide::Low, LimitLevel::Alarm, "low_alarm"},
    {LimitSide::Low, LimitLevel::Caution, "low_caution"},
    {LimitSide::High, LimitLevel::Caution, "high_caution"},
    {LimitSide::High, LimitLevel::Alarm, "high_alarm"},
}};

enum class Field { Limit, Delay, Deadband };

struct EntryName {
    Figure figure;
    Field field;
    std::size_t limitIndex = 0; // into limitNames
};

std::optional<EntryName> entryName(const QString &name)
{
    const qsizetype dot = name.indexOf(u'.');
    if (dot < 0)
        return std::nullopt;
    const QByteArray key = name.first(dot).toLatin1();
    const std::optional<Figure> figure = figureByKey(QLatin1StringView(key));
    if (!figure)
        return std::nullopt;
    const QStringView field = QStringView(name).sliced(dot + 1);
    if (field == u"deadband")
        return EntryName{*figure, Field::Deadband};
    for (std::size_t i = 0; i < limitNames.size(); ++i) {
        const QLatin1String limit(limitNames[i].text);
        if (field == limit)
            return EntryName{*figure, Field::Limit, i};
        if (field.startsWith(limit) && field.sliced(limit.size()) == u"_delay")
            return EntryName{*figure, Field::Delay, i};
    }
    return std::nullopt;
}

std::optional<double> numberIn(const QString &text)
{
    static const QRegularExpression decimal(
        QStringLiteral("^[-+]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)(?:[eE][-+]?[0-9]+)?$"));
    if (!decimal.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// The shortest text that reads back as the same double.
QString numberText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, error == std::errc() ? end - buffer : 0);
}

// Where each name of one figure was given; 0 for not given.
struct FigureLines {
    std::array<int, 4> limit{};
    std::array<int, 4> delay{};
    int deadband = 0;
};

class Reader {
public:
    explicit Reader(const QString &fileName) : fileName(fileName) {}

    QString take(const NameValueLine &entry);
    QString check() const;
    LimitsFile result() const { return file; }

private:
    QString refuse(int line, const QString &reason) const { return lineError(fileName, line, reason); }
    QString takeLimit(const NameValueLine &entry, const EntryName &name, FigureLimits &limits);
    QString checkFigure(Figure figure) const;

    QString fileName;
    LimitsFile file;
    std::array<FigureLines, figureCount> lines{};
};

QString Reader::take(const NameValueLine &entry)
{
    const std::optional<EntryName> name = entryName(entry.name);
    if (!name)
        return refuse(entry.number, QStringLiteral("unknown name \"%1\"").arg(entry.name));
    FigureLines &seen = lines[std::size_t(name->figure)];
    int &line = name->field == Field::Deadband ? seen.deadband
                : name->field == Field::Limit  ? seen.limit[name->limitIndex]
                                               : seen.delay[name->limitIndex];
    if (line != 0)
        return refuse(entry.number, QStringLiteral("%1 given again; it is already on line %2")
                                        .arg(entry.name, QString::number(line)));
    line = entry.number;
    if (entry.value.isEmpty())
        return refuse(entry.number, QStringLiteral("%1 has no value").arg(entry.name));

    std::optional<FigureLimits> &limits = file.figures[std::size_t(name->figure)];
    if (!limits)
        limits.emplace();
    if (name->field == Field::Limit)
        return takeLimit(entry, *name, *limits);
    const std::optional<double> value = numberIn(entry.value);
    if (!value)
        return refuse(entry.number, QStringLiteral("%1 = %2 is not a number%3")
                                        .arg(entry.name, entry.value,
                                             entry.value == noLimit
                                                 ? QStringLiteral("; \"none\" only removes a limit")
                                                 : QString()));
    if (*value < 0)
        return refuse(entry.number, QStringLiteral("%1 = %2 is negative").arg(entry.name, entry.value));
    if (name->field == Field::Deadband) {
        const FigureInfo &info = figureInfo(name->figure);
        const double span = info.gaugeMaximum - info.gaugeMinimum;
        if (*value > span)
            return refuse(entry.number, QStringLiteral("%1 = %2 is wider than the gauge's range (%3)")
                                            .arg(entry.name, entry.value, numberText(span)));
        limits->deadband = value;
    }
    // A delay is put on its limit once every line is read: it may come first.
    return QString();
}

QString Reader::takeLimit(const NameValueLine &entry, const EntryName &name, FigureLimits &limits)
{
    const LimitName &which = limitNames[name.limitIndex];
    std::optional<Limit> &limit = limits.limit(which.side, which.level);
    if (entry.value == noLimit) {
        limit.reset();
        return QString();
    }
    const std::optional<double> value = numberIn(entry.value);
    if (!value)
        return refuse(entry.number, QStringLiteral("%1 = %2 is neither a number nor \"none\"")
                                        .arg(entry.name, entry.value));
    const FigureInfo &info = figureInfo(name.figure);
    if (*value < info.gaugeMinimum || *value > info.gaugeMaximum)
        return refuse(entry.number, QStringLiteral("%1 = %2 is outside the gauge's %3 to %4")
                                        .arg(entry.name, entry.value, numberText(info.gaugeMinimum),
                                             numberText(info.gaugeMaximum)));
    limit = Limit{*value};
    return QString();
}

QString Reader::check() const
{
    for (const Figure figure : allFigures())
        if (QString error = checkFigure(figure); !error.isEmpty())
            return error;
    return QString();
}

QString Reader::checkFigure(Figure figure) const
{
    const std::optional<FigureLimits> &limits = file.figures[std::size_t(figure)];
    if (!limits)
        return QString();
    const FigureLines &seen = lines[std::size_t(figure)];
    const QString key = QLatin1String(figureInfo(figure).key) + u'.';
    for (std::size_t i = 0; i < limitNames.size(); ++i) {
        if (seen.delay[i] != 0 && !limits->limit(limitNames[i].side, limitNames[i].level))
            return refuse(seen.delay[i], QStringLiteral("%1%2_delay is for a limit the file does not set")
                                             .arg(key, QLatin1String(limitNames[i].text)));
    }
    // Low alarm, low caution, high caution, high alarm: never one above a later one.
    for (std::size_t lower = 0; lower < limitNames.size(); ++lower) {
        for (std::size_t upper = lower + 1; upper < limitNames.size(); ++upper) {
            const std::optional<Limit> &a = limits->limit(limitNames[lower].side, limitNames[lower].level);
            const std::optional<Limit> &b = limits->limit(limitNames[upper].side, limitNames[upper].level);
            if (!a || !b || a->value <= b->value)
                continue;
            return refuse(std::max(seen.limit[lower], seen.limit[upper]),
                          QStringLiteral("%1%2 = %3 lies above %1%4 = %5")
                              .arg(key, QLatin1String(limitNames[lower].text), numberText(a->value),
                                   QLatin1String(limitNames[upper].text), numberText(b->value)));
        }
    }
    return QString();
}

} // namespace

EngineLimits LimitsFile::over(const EngineLimits &defaults) const
{
    EngineLimits limits = defaults;
    for (const Figure figure : allFigures())
        if (const std::optional<FigureLimits> &named = figures[std::size_t(figure)])
            limits.of(figure) = *named;
    return limits;
}

LimitsFile limitsFileOf(const EngineLimits &limits)
{
    LimitsFile file;
    for (const Figure figure : allFigures())
        file.figures[std::size_t(figure)] = limits.of(figure);
    return file;
}

LimitsFileReading parseLimitsFile(const QByteArray &text, const QString &fileName)
{
    const NameValueText split = splitNameValueText(text, fileName);
    if (!split.error.isEmpty())
        return {std::nullopt, split.error};
    Reader reader(fileName);
    for (const NameValueLine &entry : split.entries)
        if (QString error = reader.take(entry); !error.isEmpty())
            return {std::nullopt, error};
    if (QString error = reader.check(); !error.isEmpty())
        return {std::nullopt, error};

    LimitsFile file = reader.result();
    for (const NameValueLine &entry : split.entries) {
        const std::optional<EntryName> name = entryName(entry.name);
        if (name->field != Field::Delay)
            continue;
        const LimitName &which = limitNames[name->limitIndex];
        file.figures[std::size_t(name->figure)]->limit(which.side, which.level)->onDelaySeconds =
            *numberIn(entry.value);
    }
    return {std::move(file), QString()};
}

LimitsFileReading readLimitsFile(const QString &path)
{
    const SmallFileRead read = readSmallFile(path, maximumLimitsFileBytes, QStringLiteral("limits file"));
    if (!read.error.isEmpty())
        return {std::nullopt, read.error};
    return parseLimitsFile(read.text, path);
}

QByteArray formatLimitsFile(const LimitsFile &file)
{
    QString text = firstLine + QStringLiteral(
        "\n# name = value, in each figure's stored units (temperatures in °C).\n"
        "# A figure named here takes only what is written for it; the others keep\n"
        "# the defaults. \"none\" removes a limit.\n");
    const Limit unset;
    for (const Figure figure : allFigures()) {
        const std::optional<FigureLimits> &limits = file.figures[std::size_t(figure)];
        if (!limits)
            continue;
        const QString key = QLatin1String(figureInfo(figure).key) + u'.';
        text += u'\n';
        for (const LimitName &which : limitNames) {
            const std::optional<Limit> &limit = limits->limit(which.side, which.level);
            const QString name = key + QLatin1String(which.text);
            text += name + QStringLiteral(" = ") + (limit ? numberText(limit->value) : QString(noLimit)) + u'\n';
            if (limit && limit->onDelaySeconds != unset.onDelaySeconds)
                text += name + QStringLiteral("_delay = ") + numberText(limit->onDelaySeconds) + u'\n';
        }
        if (limits->deadband)
            text += key + QStringLiteral("deadband = ") + numberText(*limits->deadband) + u'\n';
    }
    return text.toUtf8();
}

QString defaultLimitsFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/torvane-console/limits.txt");
}

StartingLimits startingLimits(const QString &given)
{
    const QString path = given.isEmpty() ? defaultLimitsFilePath() : given;
    if (given.isEmpty() && !QFileInfo::exists(path))
        return {};
    LimitsFileReading reading = readLimitsFile(path);
    return {std::move(reading.file), reading.error, !given.isEmpty()};
}

QString StartingLimits::warning() const
{
    return error.isEmpty() || given ? QString()
                                    : error + QStringLiteral("; the default limits apply");
}
