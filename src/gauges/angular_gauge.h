// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QWidget>
#include <optional>
#include <cstdint>
#include <memory>

class DialNeedle;
class NeedleFrameCache;
class QPainter;
struct DialGeometry;

// A round dial with one needle. The window writes the needle value and reads back
// exactly what it wrote; the drawing pins values outside the scale to its ends.
class AngularGauge : public QWidget {
    Q_OBJECT
public:
    explicit AngularGauge(QWidget *parent = nullptr);
    ~AngularGauge() override;

    double needleValue() const { return shownValue; }
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

    // Marks the scale red from `from` to its top, when `from` is on the scale.
    void setRedLine(std::optional<double> from);
    std::optional<double> redLine() const { return redLineFrom; }

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

    double shownValue = 0.0;
    double minimum = 0.0;
    double maximum = 100.0;
    bool fullCircle = false;
    QString captionText;
    QString subCaptionText;
    std::optional<double> redLineFrom;
    QPixmap background;   // the dial without its needle
    QSize backgroundSize; // logical size the background was rendered for
    std::unique_ptr<DialNeedle> needle;
    std::unique_ptr<NeedleFrameCache> needleFrames;
    QList<QPoint> faceRows; // per row: the columns the face widget covers
    FaceWidget *faceWidget = nullptr;

    friend class TestGauges;
    bool directNeedle = false; // draw as plainly as can be, for tests to compare with
};
