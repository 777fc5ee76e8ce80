// SPDX-License-Identifier: GPL-3.0-or-later
#include "gauges/needle_frame_cache.h"

#include "gauges/dial_geometry.h"
#include "gauges/dial_needle.h"
#include "gauges/gauge_drawing.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QRegion>

#include <algorithm>
#include <bit>
#include <cstring>

// Per row of the face, the columns from the centre outwards that are wholly
// opaque; none for a row whose centre is not.
void NeedleFrameCache::setFace(const QImage &face)
{
    frames.clear();
    opaqueRows.clear();
    if (face.format() != QImage::Format_ARGB32_Premultiplied)
        return;
    const int middle = face.width() / 2;
    opaqueRows.reserve(face.height());
    for (int y = 0; y < face.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(face.constScanLine(y));
        int left = middle;
        int right = middle - 1;
        if (qAlpha(line[middle]) == 255) {
            right = middle;
            while (left > 0 && qAlpha(line[left - 1]) == 255)
                --left;
            while (right + 1 < face.width() && qAlpha(line[right + 1]) == 255)
                ++right;
        }
        opaqueRows.append(QPoint(left, right));
    }
}

bool NeedleFrameCache::paint(QPainter &p, const QPixmap &background, const QRegion &region, const DialGeometry &g,
                             double angle, DialNeedle &needle)
{
    constexpr int mostAreas = 32; // a needle step's bands; more is a repaint of the whole face
    if (region.isEmpty() || region.rectCount() > mostAreas || background.isNull()
        || background.devicePixelRatio() != 1.0 || !wholePixelOffset(p))
        return false;
    const QPaintDevice *device = p.paintEngine() ? p.paintEngine()->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return false;
    const QImage::Format format = static_cast<const QImage *>(device)->format();
    if (format != QImage::Format_RGB32 && format != QImage::Format_ARGB32_Premultiplied)
        return false;
    const QImage face = background.toImage();
    if (face.format() != QImage::Format_ARGB32_Premultiplied)
        return false;
    for (const QRect &rect : region) {
        if (!rowsHold(opaqueRows, rect))
            return false;
    }
    const QRect area = DialNeedle::bounds(g, angle);
    const Frame *kept = frame(face, area, g, angle, needle);
    if (!kept)
        return false;
    for (const QRect &rect : region)
        copy(p, *kept, area, face, rect);
    return true;
}

// One rectangle of the face, with the kept needle pixels that fall in it.
void NeedleFrameCache::copy(QPainter &p, const Frame &frame, const QRect &area, const QImage &face,
                            const QRect &rect)
{
    if (frameImage.width() < rect.width() || frameImage.height() < rect.height())
        frameImage = QImage(rect.size().expandedTo(frameImage.size()), QImage::Format_ARGB32_Premultiplied);
    const size_t rowBytes = size_t(rect.width()) * sizeof(QRgb);
    uchar *to = frameImage.bits();
    const uchar *from = face.constBits() + rect.top() * face.bytesPerLine() + rect.left() * sizeof(QRgb);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(to);
        std::memcpy(line, from, rowBytes);
        to += frameImage.bytesPerLine();
        from += face.bytesPerLine();
        if (y < area.top() || y > area.bottom())
            continue;
        const QPoint &run = frame.runs[y - area.top()];
        const int first = std::max(area.left() + run.x(), rect.left());
        const int last = std::min(area.left() + run.y(), rect.right());
        if (first <= last) {
            const QRgb *changed = frame.pixels.constData() + frame.starts[y - area.top()]
                                  + (first - area.left() - run.x());
            std::memcpy(line + (first - rect.left()), changed, size_t(last - first + 1) * sizeof(QRgb));
        }
    }
    // Every pixel is opaque: seen as RGB32, the copy onto the window is a
    // plain copy, not a blend, and gives the same pixels.
    const QImage opaque(frameImage.constBits(), rect.width(), rect.height(), frameImage.bytesPerLine(),
                        QImage::Format_RGB32);
    p.drawImage(rect.topLeft(), opaque);
}

const NeedleFrameCache::Frame *NeedleFrameCache::frame(const QImage &face, const QRect &area,
                                                       const DialGeometry &g, double angle, DialNeedle &needle)
{
    const quint64 key = std::bit_cast<quint64>(angle);
    if (const Frame *kept = frames.object(key))
        return kept;
    QImage drawn(area.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(drawn.scanLine(y - area.top()), face.constScanLine(y) + area.left() * sizeof(QRgb),
                    size_t(area.width()) * sizeof(QRgb));
    {
        QPainter f(&drawn);
        f.translate(-area.topLeft());
        needle.paint(f, g, angle, false);
    }
    auto *made = new Frame;
    made->runs.reserve(area.height());
    made->starts.reserve(area.height());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(drawn.constScanLine(y - area.top()));
        const QRgb *under = reinterpret_cast<const QRgb *>(face.constScanLine(y)) + area.left();
        int first = 0;
        int last = area.width() - 1;
        while (first <= last && line[first] == under[first])
            ++first;
        while (last >= first && line[last] == under[last])
            --last;
        made->runs.append(QPoint(first, last));
        made->starts.append(int(made->pixels.size()));
        for (int x = first; x <= last; ++x)
            made->pixels.append(line[x]);
    }
    const qsizetype bytes = made->pixels.size() * sizeof(QRgb) + made->runs.size() * (sizeof(QPoint) + sizeof(int));
    frames.insert(key, made, bytes / 1024 + 1);
    return frames.object(key);
}
