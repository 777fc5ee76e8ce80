// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <functional>

class QPaintDevice;
class QPainter;
class QWidget;

// The printed pages' colours: navy headings, black values, grey notes and
// rules, faintly shaded rows.
namespace PageInk {
inline const QColor navy(0, 0, 128);
inline const QColor ink(0, 0, 0);
inline const QColor quiet(0x55, 0x55, 0x55);
inline const QColor ruleGrey(0xa0, 0xa4, 0xb4);
inline const QColor rowShade(0xee, 0xf0, 0xf7);
} // namespace PageInk

// What the printed pages share: a page laid out in points on a design page
// and scaled to the device's, the fonts, the page size and margins.
class PageScale {
public:
    // A4 and Letter with the margins below are both at least this big.
    static constexpr qreal designWidth = 480;
    static constexpr qreal designHeight = 700;

    PageScale(const QPainter &painter, const QRectF &page);

    qreal operator()(qreal points) const { return points * factor; }
    QFont font(qreal points, bool bold = false, bool italic = false) const;
    QFontMetricsF metrics(const QFont &font) const { return QFontMetricsF(font, device); }

private:
    QPaintDevice *device;
    qreal factor;
};

// One line of text in `box`, cut short with "..." if it does not fit.
void drawPageText(QPainter &painter, const QFont &font, const QColor &colour, const QRectF &box,
                  const QString &text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter);
void drawPageRule(QPainter &painter, const QColor &colour, qreal width, QPointF from, QPointF to);

// A4, or Letter where the locale measures in inches.
QPageSize localPageSize();
// Millimetres; the wider left margin leaves room to punch the page for a
// logbook binder.
inline const QMarginsF printedPageMargins(25, 15, 15, 15);

// What a printed page is called and how it is drawn.
struct OnePage {
    QString title;   // the PDF's title, the print job's name
    QString creator; // the program that made it
    std::function<void(QPainter &)> paint;
};
// Written whole or not at all: a half-written page is worse than none. What
// went wrong, naming the file, or nothing.
QString writeOnePagePdf(const QString &path, const OnePage &page);
// Asks for a printer (`dialogTitle`) and prints the page; a printer that does
// not start is said in a message box.
void printOnePage(QWidget *parent, const QString &dialogTitle, const OnePage &page);
