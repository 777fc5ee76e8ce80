// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/printed_page.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

#include <QLocale>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>

PageScale::PageScale(const QPainter &painter, const QRectF &page)
    : device(painter.device()),
      factor(std::min(page.width() / designWidth, page.height() / designHeight))
{
}

QFont PageScale::font(qreal points, bool bold, bool italic) const
{
    QFont f(QStringLiteral("Liberation Sans"));
    // Qt turns point sizes into pixels at the device's own resolution.
    f.setPointSizeF(std::max(0.1, points * factor * 72.0 / device->logicalDpiY()));
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void drawPageText(QPainter &painter, const QFont &font, const QColor &colour, const QRectF &box,
                  const QString &text, Qt::Alignment align)
{
    painter.setFont(font);
    painter.setPen(colour);
    const QFontMetricsF metrics(font, painter.device());
    // Column edges are sums of measured widths; their rounding must not cut
    // short a text the column was made to hold.
    const QString fitted =
        metrics.elidedText(text, Qt::ElideRight, box.width() + metrics.height() / 100);
    painter.drawText(box, int(align) | Qt::TextSingleLine, fitted);
}

void drawPageRule(QPainter &painter, const QColor &colour, qreal width, QPointF from, QPointF to)
{
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
}

QPageSize localPageSize()
{
    return QPageSize(QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                               : QPageSize::A4);
}

QString writeOnePagePdf(const QString &path, const OnePage &page)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1: %2").arg(shown, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(localPageSize());
        writer.setPageMargins(printedPageMargins, QPageLayout::Millimeter);
        writer.setTitle(page.title);
        writer.setCreator(page.creator);
        QPainter painter;
        if (!painter.begin(&writer))
            return QStringLiteral("%1: the PDF could not be started").arg(shown);
        page.paint(painter);
        if (!painter.end())
            return QStringLiteral("%1: the PDF could not be finished").arg(shown);
    }
    if (!file.commit())
        return QStringLiteral("%1: %2").arg(shown, file.errorString());
    if (!QFileInfo::exists(path))
        return QStringLiteral("%1: the file is not there after writing").arg(shown);
    return {};
}

void printOnePage(QWidget *parent, const QString &dialogTitle, const OnePage &page)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(localPageSize());
    printer.setPageMargins(printedPageMargins, QPageLayout::Millimeter);
    printer.setDocName(page.title);
    printer.setCreator(page.creator);

    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(dialogTitle);
    // One page: nothing to choose among.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted)
        return;

    QPainter painter;
    if (!painter.begin(&printer)) {
        QMessageBox::warning(parent, dialogTitle, QStringLiteral("The printer could not be started."));
        return;
    }
    page.paint(painter);
    painter.end();
}
