#pragma once

#include <QList>
#include <QMap>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

class DialNeedle;
class NeedleFrameCache;
class QPainter;
struct DialGeometry;

// A round dial with one needle. The window writes NeedleValue and reads back
// exactly what it wrote; the drawing pins values outside the scale to its ends.
class AngularGauge : public QWidget {
    Q_OBJECT
public:
    explicit AngularGauge(QWidget *parent = nullptr);
    ~AngularGauge() override;

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
    class FaceWidget;
    double angleFor(double value) const; // degrees clockwise from the top, pinned
    QRegion needleStep(double from, double to);
    void paintDial(QWidget *target, const QPaintEvent &event);
    bool paintNeedleFrame(QPainter &p, const DialGeometry &g, double angle, const QRegion &region);
    void placeFaceWidget();
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
    QPixmap background;   // the dial without its needle
    QSize backgroundSize; // logical size the background was rendered for
    std::unique_ptr<DialNeedle> needle;
    std::unique_ptr<NeedleFrameCache> needleFrames;
    QList<QPoint> faceRows; // per row: the columns the face widget covers
    FaceWidget *faceWidget = nullptr;

    friend class TestGauges;
    bool directNeedle = false; // draw as plainly as can be, for tests to compare with
};
