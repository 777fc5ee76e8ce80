// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/limits_dialog.h"

#include "access/screen_reader_text.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <charconv>

namespace {

// Column order: as a gauge reads, low to high.
constexpr LimitSide sides[] = {LimitSide::Low, LimitSide::Low, LimitSide::High, LimitSide::High};
constexpr LimitLevel levels[] = {LimitLevel::Alarm, LimitLevel::Caution, LimitLevel::Caution,
                                 LimitLevel::Alarm};
const char *const columnTitles[] = {"Low alarm", "Low caution", "High caution", "High alarm"};
const char *const columnKeys[] = {"low_alarm", "low_caution", "high_caution", "high_alarm"};

// The editors are named from their figures and columns as they are made.
constexpr SpokenName spokenNames[] = {
    {"limitsButtons", "Dialog buttons"},
    {"limitsDefaultsButton", "Defaults", "Puts back the limits that follow the unit"},
    // Its description is what is wrong, announced as it is found.
    {"limitsProblem", "Problem with the limits"},
};

bool editable(Figure figure)
{
    return figure != Figure::Propeller;
}

// The shortest text that reads back as the same double.
QString exactText(double value)
{
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, error == std::errc() ? end - buffer : 0);
}

// Temperatures typed in deg F would reach the file reader converted, and its
// refusal would quote deg C; the range and the order are checked here, in the
// numbers typed. The conversion keeps the order.
QString typedTemperatureProblem(const std::array<QString, 4> &typed, TemperatureScale scale)
{
    const FigureInfo &info = figureInfo(Figure::Temperature);
    const double lowest = shownTemperature(info.gaugeMinimum, scale);
    const double highest = shownTemperature(info.gaugeMaximum, scale);
    const QString unit = temperatureUnit(scale);
    const auto named = [&](int c) {
        return QStringLiteral("%1 %2 = %3 %4")
            .arg(QLatin1String(info.name), QString::fromLatin1(columnTitles[c]).toLower(), typed[c],
                 unit);
    };
    std::optional<int> previous; // the column of the last number typed
    double previousValue = 0;
    for (int c = 0; c < int(typed.size()); ++c) {
        bool isNumber = false;
        const double value = typed[c].toDouble(&isNumber);
        if (!isNumber)
            continue;
        if (value < lowest || value > highest)
            return QStringLiteral("%1 is outside the gauge's %2 to %3 %4")
                .arg(named(c), QString::number(lowest), QString::number(highest), unit);
        if (previous && previousValue > value)
            return QStringLiteral("%1 lies above %2").arg(named(*previous), named(c));
        previous = c;
        previousValue = value;
    }
    return QString();
}

void showProblem(QLabel &problem, const QString &text)
{
    problem.setText(text);
    announceToScreenReaders(problem, text);
}

} // namespace

LimitsDialog::LimitsDialog(const EngineLimits &applied, const EngineLimits &defaults,
                           const QString &path, TemperatureScale scale, QWidget *parent)
    : QDialog(parent), defaults(defaults), applied(applied), path(path), scale(scale)
{
    setObjectName(QStringLiteral("limitsDialog"));
    setWindowTitle(QStringLiteral("Alarm limits"));
    auto *grid = new QGridLayout;
    for (int c = 0; c < limitsPerFigure; ++c)
        grid->addWidget(new QLabel(QLatin1String(columnTitles[c]), this), 0, c + 1);
    int row = 1;
    for (const Figure figure : allFigures()) {
        if (!editable(figure))
            continue;
        const FigureInfo &info = figureInfo(figure);
        const QString unitWord = figureUnit(figure, scale);
        const QString unit = unitWord.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(unitWord);
        grid->addWidget(new QLabel(QLatin1String(info.name) + unit, this), row, 0);
        for (int c = 0; c < limitsPerFigure; ++c) {
            auto *edit = new QLineEdit(this);
            edit->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(info.key),
                                                           QLatin1String(columnKeys[c])));
            edit->setAccessibleName(QStringLiteral("%1 %2").arg(QLatin1String(info.name),
                                                              QString::fromLatin1(columnTitles[c]).toLower()));
            edit->setPlaceholderText(QStringLiteral("none"));
            grid->addWidget(edit, row, c + 1);
            editors[size_t(figure)][size_t(c)] = edit;
        }
        ++row;
    }
    fill(applied);

    problem = new QLabel(this);
    problem->setObjectName(QStringLiteral("limitsProblem"));
    problem->setStyleSheet(QStringLiteral("color: #b00000"));
    problem->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("limitsButtons"));
    QPushButton *reset = buttons->addButton(QStringLiteral("Defaults"),
                                            QDialogButtonBox::ResetRole);
    reset->setObjectName(QStringLiteral("limitsDefaultsButton"));
    connect(reset, &QPushButton::clicked, this, [this] { fill(this->defaults); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (save())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    const QString kept = scale == TemperatureScale::Celsius
                             ? QString()
                             : QStringLiteral(" (the file keeps %1)")
                                   .arg(temperatureUnit(TemperatureScale::Celsius));
    layout->addWidget(new QLabel(QStringLiteral("Blank for none. Temperatures in %1%2. "
                                                "Stored in %3")
                                     .arg(temperatureUnit(scale), kept,
                                          QDir::toNativeSeparators(path)),
                                 this));
    layout->addLayout(grid);
    layout->addWidget(problem);
    layout->addWidget(buttons);
    nameForScreenReaders(*this, spokenNames);
}

QLineEdit *LimitsDialog::editor(Figure figure, int limit) const
{
    return editors[size_t(figure)][size_t(limit)];
}

void LimitsDialog::fill(const EngineLimits &limits)
{
    filled = limits;
    for (const Figure figure : allFigures()) {
        if (!editable(figure))
            continue;
        for (int c = 0; c < limitsPerFigure; ++c)
            editor(figure, c)->setText(shownText(figure, c, limits));
    }
}

QString LimitsDialog::shownText(Figure figure, int limit, const EngineLimits &limits) const
{
    const std::optional<Limit> &value = limits.of(figure).limit(sides[limit], levels[limit]);
    return value ? QString::number(shownFigureValue(figure, value->value, scale), 'g', 6)
                 : QString();
}

// What the file reader gets for an editor: an editor left as filled gives
// the value it was filled with, to the last digit; a number typed in deg F
// gives its deg C; anything else goes as typed, for the reader to refuse.
QString LimitsDialog::storedText(Figure figure, int limit) const
{
    const QString typed = editor(figure, limit)->text().trimmed();
    if (typed.isEmpty())
        return QStringLiteral("none");
    const std::optional<Limit> &before = filled.of(figure).limit(sides[limit], levels[limit]);
    if (before && typed == shownText(figure, limit, filled))
        return exactText(before->value);
    bool isNumber = false;
    const double shown = typed.toDouble(&isNumber);
    if (!isNumber || storedFigureValue(figure, shown, scale) == shown)
        return typed;
    return exactText(storedFigureValue(figure, shown, scale));
}

// The editors' words go through the file reader, so the dialog refuses
// exactly what a hand-written file would be refused for.
LimitsFileReading LimitsDialog::edited() const
{
    if (scale != TemperatureScale::Celsius) {
        std::array<QString, limitsPerFigure> typed;
        for (int c = 0; c < limitsPerFigure; ++c)
            typed[size_t(c)] = editor(Figure::Temperature, c)->text().trimmed();
        if (QString problem = typedTemperatureProblem(typed, scale); !problem.isEmpty())
            return {std::nullopt, problem};
    }
    QByteArray text;
    for (const Figure figure : allFigures()) {
        if (!editable(figure))
            continue;
        const FigureInfo &info = figureInfo(figure);
        QByteArray lines;
        for (int c = 0; c < limitsPerFigure; ++c)
            lines += QByteArray(info.key) + '.' + columnKeys[c] + " = " +
                     storedText(figure, c).toUtf8() + '\n';
        text += lines;
    }
    LimitsFileReading reading = parseLimitsFile(text, QStringLiteral("Alarm limits"));
    if (!reading.file)
        return reading;
    // Only what differs from the defaults is the user's.
    LimitsFile own;
    for (const Figure figure : allFigures()) {
        const std::optional<FigureLimits> &given = reading.file->figures[size_t(figure)];
        if (!given)
            continue;
        FigureLimits merged = applied.of(figure);
        for (int c = 0; c < limitsPerFigure; ++c) {
            std::optional<Limit> &limit = merged.limit(sides[c], levels[c]);
            const std::optional<Limit> &typed = given->limit(sides[c], levels[c]);
            // A limit kept keeps its on-delay, which the dialog does not show.
            if (limit && typed)
                limit->value = typed->value;
            else
                limit = typed;
        }
        if (!(merged == defaults.of(figure)))
            own.figures[size_t(figure)] = merged;
    }
    return {own, QString()};
}

bool LimitsDialog::save()
{
    LimitsFileReading reading = edited();
    if (!reading.file) {
        showProblem(*problem, reading.error);
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(formatLimitsFile(*reading.file)) < 0 ||
        !out.commit()) {
        showProblem(*problem, QStringLiteral("%1: %2").arg(path, out.errorString()));
        return false;
    }
    written = *reading.file;
    return true;
}
