// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/report_sheet.h"

#include "recording/recording_table.h"
#include "viewer/printed_page.h"
#include "viewer/report_plot.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

#include <algorithm>
#include <numeric>

namespace {

using namespace PageInk;

const QString sheetTitle = QStringLiteral("Torvane recording report");

constexpr qreal plotHeight = 150;
constexpr qreal tablePoints = 8.5;
constexpr qreal smallestTablePoints = 6.5;
constexpr qreal exceedancePoints = 8;

qreal paintTitle(QPainter &painter, const PageScale &s, const QRectF &area)
{
    const QFont titleFont = s.font(20, true);
    const qreal titleHeight = s.metrics(titleFont).height();
    drawPageText(painter, titleFont, navy,
                 QRectF(area.left(), area.top(), area.width(), titleHeight), sheetTitle);
    const QFont seriesFont = s.font(9, true);
    // On the title's baseline, at the right.
    const qreal seriesTop =
        area.top() + s.metrics(titleFont).ascent() - s.metrics(seriesFont).ascent();
    drawPageText(painter, seriesFont, navy,
                 QRectF(area.left(), seriesTop, area.width(), s.metrics(seriesFont).height()),
                 QStringLiteral("Torvane Series 410 / 420 Ignitions"),
                 Qt::AlignRight | Qt::AlignTop);
    const qreal ruleY = area.top() + titleHeight + s(3);
    drawPageRule(painter, navy, s(1.5), {area.left(), ruleY}, {area.right(), ruleY});
    return ruleY + s(8);
}

// The details in two columns of caption and value.
qreal paintDetails(QPainter &painter, const PageScale &s, const QRectF &area,
                   const QList<ReportDetail> &details)
{
    const QFont captionFont = s.font(9.5, true);
    const QFont valueFont = s.font(9.5);
    const qsizetype perColumn = (details.size() + 1) / 2;
    const qreal lineHeight = s.metrics(valueFont).height() * 1.3;
    const qreal columnWidth = area.width() / 2;
    for (int column = 0; column < 2; ++column) {
        const QList<ReportDetail> shown = details.mid(column * perColumn, perColumn);
        qreal captionWidth = 0;
        for (const ReportDetail &d : shown)
            captionWidth = std::max(captionWidth,
                                    s.metrics(captionFont).horizontalAdvance(d.caption + u':'));
        const qreal left = area.left() + column * columnWidth;
        const qreal valueLeft = left + captionWidth + s(6);
        qreal y = area.top();
        for (const ReportDetail &d : shown) {
            drawPageText(painter, captionFont, navy, QRectF(left, y, captionWidth, lineHeight),
                         d.caption + u':');
            drawPageText(painter, valueFont, ink,
                         QRectF(valueLeft, y, left + columnWidth - s(8) - valueLeft, lineHeight),
                         d.value);
            y += lineHeight;
        }
    }
    return area.top() + perColumn * lineHeight;
}

qreal paintHeading(QPainter &painter, const PageScale &s, qreal left, qreal top, qreal width,
                   const QString &text)
{
    const QFont font = s.font(11, true);
    const qreal height = s.metrics(font).height() * 1.3;
    drawPageText(painter, font, navy, QRectF(left, top, width, height), text);
    return top + height;
}

// "and 12 more" in place of the rows that do not fit.
QString moreText(size_t count, const char *what)
{
    return QStringLiteral("... and %1 more %2, in the text report (torvane-console --report)")
        .arg(count)
        .arg(QLatin1String(what));
}

// The runs shown, one line each; `shown` of them, then how many more.
qreal paintRuns(QPainter &painter, const PageScale &s, const QRectF &area,
                const RecordingReport &report, size_t shown, qreal rowHeight)
{
    const QStringList headings = runTableHeadings(report.temperatureScale);
    QList<QStringList> rows;
    for (size_t i = 0; i < shown; ++i)
        rows.append(runTableCells(report, i));
    const qreal pad = s(4);
    const auto widths = [&](const QFont &headFont, const QFont &cellFont) {
        std::vector<qreal> w(size_t(headings.size()), 0);
        for (qsizetype c = 0; c < headings.size(); ++c) {
            w[size_t(c)] = s.metrics(headFont).horizontalAdvance(headings[c]);
            for (const QStringList &row : rows)
                w[size_t(c)] =
                    std::max(w[size_t(c)], s.metrics(cellFont).horizontalAdvance(row[c]));
            w[size_t(c)] += 2 * pad;
        }
        return w;
    };
    // The table shrinks to the page's width, down to a size still easy to read.
    std::vector<qreal> w = widths(s.font(tablePoints, true), s.font(tablePoints));
    const qreal pads = 2 * pad * qreal(w.size());
    const qreal natural = std::accumulate(w.begin(), w.end(), qreal(0)) - pads;
    // Text does not scale quite in step with its size: a little to spare.
    const qreal fit = (area.width() - pads) / natural * 0.97;
    const qreal points = std::max(smallestTablePoints, tablePoints * std::min(qreal(1), fit));
    const QFont headFont = s.font(points, true);
    const QFont cellFont = s.font(points);
    w = widths(headFont, cellFont);
    // What is left over goes to the columns alike.
    const qreal spare = std::max(qreal(0), area.width() - std::accumulate(w.begin(), w.end(), qreal(0)));
    for (qreal &width : w)
        width += spare / qreal(w.size());

    qreal y = area.top();
    painter.fillRect(QRectF(area.left(), y, area.width(), rowHeight), navy);
    const auto paintRow = [&](const QStringList &cells, const QFont &font, const QColor &colour) {
        qreal x = area.left();
        for (qsizetype c = 0; c < cells.size(); ++c) {
            // The run's number and its start read best on the left.
            const Qt::Alignment align = c == 1 ? Qt::AlignLeft | Qt::AlignVCenter
                                               : Qt::AlignRight | Qt::AlignVCenter;
            drawPageText(painter, font, colour,
                         QRectF(x + pad, y, w[size_t(c)] - 2 * pad, rowHeight), cells[c], align);
            x += w[size_t(c)];
        }
        y += rowHeight;
    };
    paintRow(headings, headFont, Qt::white);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i % 2 == 1)
            painter.fillRect(QRectF(area.left(), y, area.width(), rowHeight), rowShade);
        paintRow(rows[i], cellFont, ink);
    }
    painter.setPen(QPen(navy, s(0.75)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(area.left(), area.top(), area.width(), y - area.top()));
    if (shown < report.runs.size()) {
        drawPageText(painter, s.font(exceedancePoints, false, true), quiet,
                     QRectF(area.left(), y, area.width(), rowHeight),
                     moreText(report.runs.size() - shown, "runs"));
        y += rowHeight;
    }
    return y;
}

qreal paintExceedances(QPainter &painter, const PageScale &s, const QRectF &area,
                       const RecordingReport &report, size_t shown, qreal lineHeight)
{
    const QFont font = s.font(exceedancePoints);
    qreal y = area.top();
    for (size_t i = 0; i < shown; ++i) {
        const Exceedance &e = report.exceedances[i];
        drawPageText(painter, font, e.level == LimitLevel::Alarm ? QColor(170, 0, 0) : ink,
                     QRectF(area.left(), y, area.width(), lineHeight),
                     reportExceedanceLine(report, e));
        y += lineHeight;
    }
    const QFont note = s.font(exceedancePoints, false, true);
    if (report.exceedances.empty()) {
        drawPageText(painter, note, quiet, QRectF(area.left(), y, area.width(), lineHeight),
                     QStringLiteral("None beyond the limits"));
        y += lineHeight;
    } else if (shown < report.exceedances.size()) {
        drawPageText(painter, note, quiet, QRectF(area.left(), y, area.width(), lineHeight),
                     moreText(report.exceedances.size() - shown, "exceedances"));
        y += lineHeight;
    }
    return y;
}

// How many runs and exceedances fit in `lines`, each list wanting its own
// count plus one line when it is cut short: all when they fit, else the room
// shared out, what one list leaves going to the other.
std::pair<size_t, size_t> shownRows(qsizetype lines, size_t runs, size_t exceedances)
{
    const size_t room = size_t(std::max<qsizetype>(lines, 2));
    if (runs + exceedances <= room)
        return {runs, exceedances};
    const size_t half = room / 2;
    // One line of each share says how many more there are.
    if (runs + 1 <= half)
        return {runs, room - runs - 1};
    if (exceedances + 1 <= half)
        return {room - exceedances - 1, exceedances};
    return {half - 1, room - half - 1};
}

void paintHandLines(QPainter &painter, const PageScale &s, const QRectF &area)
{
    const QString labels[] = {QStringLiteral("Name"), QStringLiteral("Signature"),
                              QStringLiteral("Date")};
    const QFont labelFont = s.font(10);
    qreal labelWidth = 0;
    for (const QString &label : labels)
        labelWidth = std::max(labelWidth, s.metrics(labelFont).horizontalAdvance(label));
    const qreal lineLeft = area.left() + labelWidth + s(10);
    const qreal pitch = area.height() / std::size(labels);
    qreal baseline = area.top();
    for (const QString &label : labels) {
        baseline += pitch;
        painter.setFont(labelFont);
        painter.setPen(ink);
        painter.drawText(QPointF(area.left(), baseline), label);
        drawPageRule(painter, quiet, s(0.6), {lineLeft, baseline + s(1)},
                     {area.right(), baseline + s(1)});
    }
}

// Both devices paint from the top left of their printable area.
void paintOnePage(QPainter &painter, const RecordingReport &report, const RecordingTable &table)
{
    const QPaintDevice *device = painter.device();
    paintReportSheet(painter, QRectF(0, 0, device->width(), device->height()), report, table);
}

} // namespace

void paintReportSheet(QPainter &painter, const QRectF &page, const RecordingReport &report,
                      const RecordingTable &table)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const PageScale s(painter, page);

    qreal y = paintTitle(painter, s, page);
    y = paintDetails(painter, s, QRectF(page.left(), y, page.width(), 0), reportDetails(report));
    paintReportPlot(painter, s, QRectF(page.left(), y + s(10), page.width(), s(plotHeight)),
                    table, report.runs, report.temperatureScale);
    y += s(10 + plotHeight + 8);

    const QFont footerFont = s.font(8);
    const qreal footerHeight = s.metrics(footerFont).height();
    const qreal footerTop = page.bottom() - footerHeight;
    const qreal handLinesHeight = s(78);
    const qreal handLinesTop = footerTop - s(20) - handLinesHeight;

    const qreal rowHeight = s.metrics(s.font(tablePoints)).height() * 1.45;
    const qreal headingHeight = s.metrics(s.font(11, true)).height() * 1.3;
    // Two headings, the table's heading row and a gap between the lists.
    const qreal fixed = 2 * headingHeight + rowHeight + s(10);
    const qsizetype lines = qsizetype((handLinesTop - s(6) - y - fixed) / rowHeight);
    const auto [runsShown, exceedancesShown] =
        shownRows(lines, std::max<size_t>(report.runs.size(), 1),
                  std::max<size_t>(report.exceedances.size(), 1));

    y = paintHeading(painter, s, page.left(), y, page.width(), QStringLiteral("Engine runs"));
    if (report.runs.empty()) {
        drawPageText(painter, s.font(exceedancePoints, false, true), quiet,
                     QRectF(page.left(), y, page.width(), rowHeight), QStringLiteral("None"));
        y += rowHeight;
    } else {
        y = paintRuns(painter, s, QRectF(page.left(), y, page.width(), 0), report,
                      std::min(runsShown, report.runs.size()), rowHeight);
    }
    y = paintHeading(painter, s, page.left(), y + s(10), page.width(),
                     QStringLiteral("Exceedances"));
    paintExceedances(painter, s, QRectF(page.left(), y, page.width(), 0), report,
                     std::min(exceedancesShown, report.exceedances.size()), rowHeight);

    paintHandLines(painter, s, QRectF(page.left(), handLinesTop, page.width(), handLinesHeight));
    drawPageRule(painter, ruleGrey, s(0.5), {page.left(), footerTop - s(4)},
                 {page.right(), footerTop - s(4)});
    drawPageText(painter, footerFont, quiet,
                 QRectF(page.left(), footerTop, page.width(), footerHeight),
                 QStringLiteral("%1, printed %2")
                     .arg(report.fileName, reportTimeText(QDateTime::currentDateTime())));
    painter.restore();
}

namespace {

OnePage reportPage(const RecordingReport &report, const RecordingTable &table)
{
    return {QStringLiteral("%1 - %2").arg(sheetTitle, report.fileName),
            QStringLiteral("torvane-console"),
            [&report, &table](QPainter &painter) { paintOnePage(painter, report, table); }};
}

} // namespace

QString writeReportPdf(const RecordingReport &report, const RecordingTable &table,
                       const QString &path)
{
    return writeOnePagePdf(path, reportPage(report, table));
}

void printReport(QWidget *parent, const RecordingReport &report, const RecordingTable &table)
{
    printOnePage(parent, QStringLiteral("Print recording report"), reportPage(report, table));
}
