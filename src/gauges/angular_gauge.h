#pragma once

#include <QCache>
#include <QImage>
#include <QList>
#include <QMap>
#include <QPoint>
#include <QPixmap>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>

class QPainter;

// A round dial with one needle. The window writes NeedleValue and reads back
// exactly what it wrote; the drawing pins values outside the scale to its ends.
class AngularGauge : public QWidget {
    Q_OBJECT
public:
    explicit AngularGauge(QWidget *parent = nullptr);

    double NeedleValue() const { return needleValue; }
    void setNeedleValue(double value);

    // Scale: a 270-degree arc from minimum to maximum, or a full circle
    // (0 at the top, clockwise) for angles.
    void setScale(double minimum, double maximum, bool fullCircle = false);
    double scaleMinimum() const { return minimum; }
    double scaleMaximum() const { return maximum; }
    bool isFullCircle() const { return fullCircle; }

    // Caption drawn inside the dial, and an optional second line below it.
    void setCaptions(const QString &caption, const QString &subCaption = {});
    QString caption() const { return captionText; }
    QString subCaption() const { return subCaptionText; }

    // Two further settings the window may write by number; the dial keeps them
    // and marks the red line at dispatch property 59 when it is in range.
    void setDispatchProperty(int dispatchId, int16_t value);
    int16_t dispatchProperty(int dispatchId) const { return dispatchProperties.value(dispatchId, 0); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Geometry {
        QPointF center;
        double radius = 0.0;     // outer edge of the rim
        double faceRadius = 0.0; // dark face inside the rim
        double majorLength = 0.0;
    };

    struct NeedleShape {
        double tip;
        double tail;
        double halfWidth;
        double hub;
    };

    Geometry dialGeometry() const;
    static NeedleShape needleShape(const Geometry &g);
    static void needleBlade(const NeedleShape &shape, QPointF (&blade)[5]);
    QRect needleBounds(double angle) const;
    QRegion needleStep(double from, double to);
    struct NeedleFrame;
    class Face;
    void paintDial(QWidget *target, const QPaintEvent &event);
    void placeFace();
    bool paintNeedleFrame(QPainter &p, const Geometry &g, double angle, const QRegion &region);
    void copyFrame(QPainter &p, const NeedleFrame &frame, const QRect &area, const QImage &face, const QRect &rect);
    const NeedleFrame *needleFrame(const Geometry &g, double angle, const QImage &face, const QRect &area);
    void findOpaqueRows();
    void paintNeedle(QPainter &p, const Geometry &g, double angle);
    void paintShadow(QPainter &p, const Geometry &g, double angle, const QPointF (&blade)[5]);
    double angleFor(double value) const; // degrees clockwise from the top, pinned
    void invalidateBackground();
    void ensureBackground();
    void renderBackground();

    double needleValue = 0.0;
    double minimum = 0.0;
    double maximum = 100.0;
    bool fullCircle = false;
    QString captionText;
    QString subCaptionText;
    QMap<int, int16_t> dispatchProperties;
    QPixmap background;
    QSize backgroundSize; // logical size the background was rendered for
    struct NeedleFrame {
        QList<QPoint> runs;  // per row: first and last column unlike the face
        QList<QRgb> pixels;  // those columns, row after row
        QList<int> starts;   // per row: where its columns begin in pixels
    };
    // Kept needle frames by angle, in kB: room for a dial's 360 whole degrees.
    QCache<quint64, NeedleFrame> needleFrames{8192};
    QList<QPoint> opaqueRows; // per background row: opaque columns, first to last
    QList<QPoint> faceRows;   // per row: the columns the face widget covers
    Face *face = nullptr;
    QImage frameImage;  // scratch, reused from frame to frame
    QImage shadowImage; // scratch, reused from frame to frame

    friend class TestGauges;
    bool directNeedle = false; // draw as plainly as can be, for tests to compare with
};
