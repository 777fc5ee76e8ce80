// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QRgb>

class DialNeedle;
class QPainter;
class QPixmap;
class QRect;
class QRegion;
struct DialGeometry;

// Over the opaque face, the needle's pixels depend on its angle alone, not on
// what lies below the dial, and drawing them costs some 700,000 instructions.
// So each angle's frame (face and needle within the needle's bounds) is drawn
// once and kept as the pixels that differ from the face, one run per row:
// under 10 kB an angle rather than 45.
class NeedleFrameCache {
public:
    struct Frame {
        QList<QPoint> runs;  // per row: first and last column unlike the face
        QList<QRgb> pixels;  // those columns, row after row
        QList<int> starts;   // per row: where its columns begin in pixels
    };

    // Drops the kept frames, which were drawn over another face.
    void clear() { frames.clear(); }

    // Drops the kept frames and finds where the new face is opaque; a null
    // face has no opaque rows.
    void setFace(const QImage &face);

    // The kept frame for `angle` over `area` (the needle's bounds), drawn now
    // if it is not kept yet. Null if the cache cannot hold it.
    const Frame *frame(const QImage &face, const QRect &area, const DialGeometry &g, double angle,
                       DialNeedle &needle);

    // Paints each rectangle of `region` as the face (`background`, the dial
    // without its needle) with the needle's kept pixels on it. False where a
    // copy would not give the same pixels as drawing straight onto the
    // window: off whole pixels, past the opaque face, or onto a device of
    // another pixel format.
    bool paint(QPainter &p, const QPixmap &background, const QRegion &region, const DialGeometry &g, double angle,
               DialNeedle &needle);

private:
    void copy(QPainter &p, const Frame &frame, const QRect &area, const QImage &face, const QRect &rect);

    // By angle, in kB: room for a dial's 360 whole degrees.
    QCache<quint64, Frame> frames{8192};
    QList<QPoint> opaqueRows; // per face row: opaque columns, first to last
    QImage frameImage;        // scratch, reused from frame to frame
};
