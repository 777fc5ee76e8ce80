// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/gauge_readings.h"

#include "access/screen_reader_text.h"
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"

#include <QStringList>

namespace {

QString spokenUnit(const char *unit)
{
    const QLatin1String abbreviation(unit);
    if (abbreviation == QLatin1String("deg"))
        return QStringLiteral("degrees");
    if (abbreviation == QLatin1String("V"))
        return QStringLiteral("volts");
    return abbreviation;
}

// "Engine speed 2400 RPM"; a name that ends in its unit takes the number
// before it: "Bus 14 volts".
QString figurePhrase(Figure figure, const FigureValues &figures)
{
    const FigureInfo &info = figureInfo(figure);
    QString name = QLatin1String(info.name);
    if (!figures.has(figure))
        return name + QStringLiteral(" no reading");
    const QString number = QString::number(figures[figure]);
    const QString unit = spokenUnit(info.unit);
    if (unit.isEmpty())
        return name + QLatin1Char(' ') + number;
    if (name.endsWith(QLatin1Char(' ') + unit, Qt::CaseInsensitive))
        name.chop(unit.size() + 1);
    return name + QLatin1Char(' ') + number + QLatin1Char(' ') + unit;
}

QString lowerFirst(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

} // namespace

QString barsReading(const FigureValues &figures)
{
    QStringList phrases;
    for (const Figure figure : GaugeAnimation::barFigures)
        phrases << (phrases.isEmpty() ? figurePhrase(figure, figures)
                                      : lowerFirst(figurePhrase(figure, figures)));
    return phrases.join(QStringLiteral(", "));
}

QString propellerReading(const FigureValues &figures)
{
    return figurePhrase(Figure::Propeller, figures);
}

GaugeReadings::GaugeReadings(LinearGauge &bars, AngularGauge &propellerDial)
    : bars(bars), propellerDial(propellerDial)
{
    QAccessible::installActivationObserver(this);
    if (QAccessible::isActive())
        describe();
}

GaugeReadings::~GaugeReadings()
{
    QAccessible::removeActivationObserver(this);
}

void GaugeReadings::follow(const FigureValues &figures)
{
    latest = figures;
    if (QAccessible::isActive())
        describe();
}

void GaugeReadings::accessibilityActiveChanged(bool active)
{
    if (active)
        describe();
}

// Most lines repeat the figures of the one before: their text is not built
// again.
void GaugeReadings::describe()
{
    if (described == latest)
        return;
    described = latest;
    describeForScreenReaders(bars, barsReading(latest));
    describeForScreenReaders(propellerDial, propellerReading(latest));
}
