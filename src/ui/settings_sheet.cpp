// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/settings_sheet.h"

#include "settings/setting_names.h"
#include "protocol/time_text.h"
#include "viewer/printed_page.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace PageInk;

const QString sheetTitle = QStringLiteral("Torvane ignition settings");

// In figures, so a date on the sheet reads the same in every country.
QString dateText(const QDateTime &savedAt)
{
    const QDateTime time = savedAt.isValid() ? savedAt : QDateTime::currentDateTime();
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm ")) + utcOffsetText(time.offsetFromUtc());
}

QString orUnknown(const QString &text)
{
    return text.trimmed().isEmpty() ? QStringLiteral("unknown") : text;
}

// Caption and value pairs, the values lined up after the widest caption.
struct Detail {
    QString caption;
    QString value;
};

qreal paintDetails(QPainter &painter, const PageScale &s, const QRectF &area,
                   const QList<Detail> &details)
{
    const QFont captionFont = s.font(10, true);
    const QFont valueFont = s.font(10);
    qreal captionWidth = 0;
    for (const Detail &d : details)
        captionWidth = std::max(captionWidth, s.metrics(captionFont).horizontalAdvance(d.caption));
    const qreal lineHeight = s.metrics(valueFont).height() * 1.35;
    const qreal valueLeft = area.left() + captionWidth + s(8);
    qreal y = area.top();
    for (const Detail &d : details) {
        drawPageText(painter, captionFont, navy, QRectF(area.left(), y, captionWidth, lineHeight),
                 d.caption);
        drawPageText(painter, valueFont, ink,
                 QRectF(valueLeft, y, area.right() - valueLeft, lineHeight), d.value);
        y += lineHeight;
    }
    return y;
}

qreal paintTitle(QPainter &painter, const PageScale &s, const QRectF &area)
{
    const QFont titleFont = s.font(20, true);
    const qreal titleHeight = s.metrics(titleFont).height();
    drawPageText(painter, titleFont, navy, QRectF(area.left(), area.top(), area.width(), titleHeight),
             sheetTitle);
    const QFont seriesFont = s.font(9, true);
    // On the title's baseline, at the right.
    const qreal seriesTop =
        area.top() + s.metrics(titleFont).ascent() - s.metrics(seriesFont).ascent();
    drawPageText(painter, seriesFont, navy,
             QRectF(area.left(), seriesTop, area.width(), s.metrics(seriesFont).height()),
             QStringLiteral("Torvane Series 410 / 420 Ignitions"), Qt::AlignRight | Qt::AlignTop);
    const qreal ruleY = area.top() + titleHeight + s(3);
    drawPageRule(painter, navy, s(1.5), {area.left(), ruleY}, {area.right(), ruleY});
    return ruleY + s(10);
}

qreal paintTable(QPainter &painter, const PageScale &s, const QRectF &area, const SettingsSheet &sheet)
{
    const QFont headFont = s.font(10, true);
    const QFont captionFont = s.font(10, true);
    const QFont valueFont = s.font(10, true);
    const QFont beforeFont = s.font(10);
    const QFont notReadFont = s.font(10, false, true);
    const QString notRead = QStringLiteral("not read");
    const qreal pad = s(6);

    QStringList captions, values, befores, meanings;
    for (int i = 0; i < settingCount; ++i) {
        const Setting setting = Setting(i);
        const auto &value = sheet.settings.values[i];
        const auto &before = sheet.before[i];
        captions << settingCaption(setting);
        values << (value ? settingValueText(setting, *value) : notRead);
        befores << (before ? settingValueText(setting, *before) : QString());
        meanings << settingMeaning(setting);
    }
    const auto widest = [&s](const QFont &font, const QStringList &texts) {
        qreal w = 0;
        for (const QString &t : texts)
            w = std::max(w, s.metrics(font).horizontalAdvance(t));
        return w;
    };
    const qreal captionWidth =
        std::max(widest(captionFont, captions), widest(headFont, {QStringLiteral("Setting")}))
        + 2 * pad;
    // Value and Before share a width, so a change reads straight across.
    const qreal valueWidth = std::max({widest(valueFont, values), widest(beforeFont, befores),
                                       widest(notReadFont, {notRead}),
                                       widest(headFont, {QStringLiteral("Before")})})
        + 2 * pad;
    const qreal meaningWidth = area.width() - captionWidth - 2 * valueWidth;

    // Meanings shrink to fit, down to a size still easy to read; past that
    // they are cut short.
    const qreal meaningRoom = std::max(qreal(0), meaningWidth - 2 * pad);
    const qreal longest = widest(s.font(9), meanings);
    const qreal meaningPoints =
        longest > meaningRoom ? std::max(7.0, 9 * meaningRoom / longest) : 9;
    const QFont meaningFont = s.font(meaningPoints);

    const qreal x[] = {area.left(), area.left() + captionWidth,
                       area.left() + captionWidth + valueWidth,
                       area.left() + captionWidth + 2 * valueWidth, area.right()};
    const qreal rowHeight = s.metrics(valueFont).height() * 1.75;
    const auto cell = [&](int column, qreal top) {
        return QRectF(x[column] + pad, top, x[column + 1] - x[column] - 2 * pad, rowHeight);
    };

    qreal y = area.top();
    painter.fillRect(QRectF(area.left(), y, area.width(), rowHeight), navy);
    const QString heads[] = {QStringLiteral("Setting"), QStringLiteral("Value"),
                             QStringLiteral("Before"), QStringLiteral("Meaning")};
    for (int c = 0; c < 4; ++c)
        drawPageText(painter, headFont, Qt::white, cell(c, y), heads[c]);
    y += rowHeight;

    for (int i = 0; i < settingCount; ++i) {
        if (i % 2 == 1)
            painter.fillRect(QRectF(area.left(), y, area.width(), rowHeight), rowShade);
        drawPageText(painter, captionFont, navy, cell(0, y), captions[i]);
        if (sheet.settings.values[i])
            drawPageText(painter, valueFont, ink, cell(1, y), values[i]);
        else
            drawPageText(painter, notReadFont, quiet, cell(1, y), notRead);
        drawPageText(painter, beforeFont, ink, cell(2, y), befores[i]);
        drawPageText(painter, meaningFont, ink, cell(3, y), meanings[i]);
        y += rowHeight;
    }

    // Ruled after the shading, which would otherwise cover half of each rule.
    const qreal top = area.top() + rowHeight;
    for (int i = 1; i < settingCount; ++i)
        drawPageRule(painter, ruleGrey, s(0.5), {area.left(), top + i * rowHeight},
                 {area.right(), top + i * rowHeight});
    for (int c = 1; c < 4; ++c)
        drawPageRule(painter, ruleGrey, s(0.5), {x[c], top}, {x[c], y});
    painter.setPen(QPen(navy, s(0.75)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(area.left(), area.top(), area.width(), y - area.top()));

    const QFont noteFont = s.font(8, false, true);
    const qreal noteHeight = s.metrics(noteFont).height() * 1.4;
    drawPageText(painter, noteFont, quiet, QRectF(area.left(), y + s(3), area.width(), noteHeight),
             QStringLiteral("Before: what the unit held until a new value was stored this "
                            "session; blank where nothing was stored."));
    return y + s(3) + noteHeight;
}

// Labelled lines to write on, spread over the room left above the footer.
void paintHandLines(QPainter &painter, const PageScale &s, const QRectF &area)
{
    const QFont headingFont = s.font(11, true);
    const qreal headingHeight = s.metrics(headingFont).height() * 1.3;
    drawPageText(painter, headingFont, navy,
             QRectF(area.left(), area.top(), area.width(), headingHeight),
             QStringLiteral("Aircraft and sign-off"));

    const QString labels[] = {QStringLiteral("Aircraft registration"),
                              QStringLiteral("Engine serial number"),
                              QStringLiteral("Tach / Hobbs time"),
                              QStringLiteral("Name"),
                              QStringLiteral("Signature"),
                              QStringLiteral("Date")};
    const QFont labelFont = s.font(10);
    const QFontMetricsF metrics = s.metrics(labelFont);
    qreal labelWidth = 0;
    for (const QString &label : labels)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(label));
    const qreal lineLeft = area.left() + labelWidth + s(10);
    // The first line needs less room above it: the heading is no writing.
    const qreal pitches = std::size(labels) - 0.25;
    const qreal pitch = std::clamp((area.height() - headingHeight) / pitches, s(24), s(44));

    qreal baseline = area.top() + headingHeight - pitch / 4;
    for (const QString &label : labels) {
        baseline += pitch;
        painter.setFont(labelFont);
        painter.setPen(ink);
        painter.drawText(QPointF(area.left(), baseline), label);
        const qreal lineY = baseline + s(1);
        drawPageRule(painter, quiet, s(0.6), {lineLeft, lineY}, {area.right(), lineY});
    }
}

// Both devices paint from the top left of their printable area.
void paintOnePage(QPainter &painter, const SettingsSheet &sheet)
{
    const QPaintDevice *device = painter.device();
    paintSettingsSheet(painter, QRectF(0, 0, device->width(), device->height()), sheet);
}

} // namespace

void paintSettingsSheet(QPainter &painter, const QRectF &page, const SettingsSheet &sheet)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const PageScale s(painter, page);
    const SettingsHeader &header = sheet.settings.header;
    const QString date = dateText(header.savedAt);

    qreal y = paintTitle(painter, s, page);
    y = paintDetails(painter, s, QRectF(page.left(), y, page.width(), 0),
                     {{QStringLiteral("Date:"), date},
                      {QStringLiteral("Program:"), orUnknown(header.program)},
                      {QStringLiteral("Port:"), orUnknown(header.port)},
                      {QStringLiteral("Firmware revision:"), orUnknown(header.firmware)}});
    y = paintTable(painter, s, QRectF(page.left(), y + s(14), page.width(), 0), sheet);
    const QString maxTemperature = sheet.settings.maxTemperature.trimmed();
    if (!maxTemperature.isEmpty())
        y = paintDetails(painter, s, QRectF(page.left(), y + s(8), page.width(), 0),
                         {{QStringLiteral("Highest temperature the unit recorded:"),
                           temperatureText(maxTemperature, sheet.temperatureScale) + u' '
                               + temperatureSymbol(sheet.temperatureScale)}});

    const QFont footerFont = s.font(8);
    const qreal footerHeight = s.metrics(footerFont).height();
    const qreal footerTop = page.bottom() - footerHeight;
    paintHandLines(painter, s, QRectF(page.left(), y + s(18), page.width(),
                                      footerTop - s(18) - (y + s(18))));
    drawPageRule(painter, ruleGrey, s(0.5), {page.left(), footerTop - s(4)},
             {page.right(), footerTop - s(4)});
    drawPageText(painter, footerFont, quiet, QRectF(page.left(), footerTop, page.width(), footerHeight),
             QStringLiteral("Values as read from the unit by %1 on %2")
                 .arg(header.program.trimmed().isEmpty() ? QStringLiteral("the console")
                                                         : header.program,
                      date));
    painter.restore();
}

namespace {

OnePage sheetPage(const SettingsSheet &sheet)
{
    return {sheetTitle, sheet.settings.header.program,
            [&sheet](QPainter &painter) { paintOnePage(painter, sheet); }};
}

} // namespace

QString writeSettingsSheetPdf(const QString &path, const SettingsSheet &sheet)
{
    return writeOnePagePdf(path, sheetPage(sheet));
}

void printSettingsSheet(QWidget *parent, const SettingsSheet &sheet)
{
    printOnePage(parent, QStringLiteral("Print settings sheet"), sheetPage(sheet));
}
