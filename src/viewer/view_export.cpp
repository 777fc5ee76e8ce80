// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/view_export.h"

#include "viewer/viewer_look.h"

#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QWidget>

#include <algorithm>

namespace {

constexpr qint64 copyChunkBytes = 1 << 20;

QString named(const QString &path, const QString &reason)
{
    return QStringLiteral("%1: %2").arg(path, reason);
}

// Copies bytes from..to - 1 of `source` into `target`.
bool copyBytes(QFile &source, qint64 from, qint64 to, QSaveFile &target)
{
    if (!source.seek(from))
        return false;
    for (qint64 left = to - from; left > 0;) {
        const QByteArray chunk = source.read(std::min(left, copyChunkBytes));
        if (chunk.isEmpty() || target.write(chunk) != chunk.size())
            return false;
        left -= chunk.size();
    }
    return true;
}

} // namespace

QString saveWidgetPng(QWidget &widget, const QString &path)
{
    if (!widget.grab().save(path, "PNG"))
        return named(path, QStringLiteral("could not be written"));
    return {};
}

QString saveWidgetPdf(QWidget &widget, const QString &title, const QString &path)
{
    QPdfWriter pdf(path);
    // At the screen's resolution the widget's fonts measure on the page as
    // they did on screen, and its layout holds.
    pdf.setResolution(widget.logicalDpiY());
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    pdf.setTitle(title);
    QPainter painter;
    if (!painter.begin(&pdf))
        return named(path, QStringLiteral("could not be written"));
    const QRect page = painter.viewport();
    painter.setFont(ViewerLook::font(11, true));
    painter.setPen(ViewerLook::navy);
    const int titleHeight = painter.fontMetrics().height() * 2;
    painter.drawText(QRect(0, 0, page.width(), titleHeight), Qt::AlignLeft | Qt::AlignTop, title);
    // The widget keeps its own proportions, scaled to the page's width or height.
    const double scale = std::min(double(page.width()) / widget.width(),
                                  double(page.height() - titleHeight) / widget.height());
    painter.translate(0, titleHeight);
    painter.scale(scale, scale);
    widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    return {};
}

QString saveRowsCsv(const QString &recordingPath, const RecordingTable &table, RowSpan rows,
                    const QString &path)
{
    if (QFileInfo(path).canonicalFilePath() == QFileInfo(recordingPath).canonicalFilePath())
        return named(path, QStringLiteral("is the recording itself"));
    QFile source(recordingPath);
    if (!source.open(QIODevice::ReadOnly))
        return named(recordingPath, source.errorString());
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return named(path, target.errorString());
    const qint64 headerEnd = table.rowOffsets.empty() ? table.endOffset : table.rowOffsets.front();
    const qint64 from = rows.first < table.rows() ? table.rowOffsets[rows.first] : table.endOffset;
    const qint64 to = rows.last < table.rows() ? table.rowOffsets[rows.last] : table.endOffset;
    if (!copyBytes(source, 0, headerEnd, target) || !copyBytes(source, from, to, target))
        return named(path, QStringLiteral("the recording could not be copied: %1")
                               .arg(source.errorString()));
    if (!target.commit())
        return named(path, target.errorString());
    return {};
}
