// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QBrush>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>

// A bar instrument with five pointers, one bar each. The window works through
// a "current pointer": select it, then read or write its value. Colours are
// set by naming a pointer, then writing a colour.
class LinearGauge : public QWidget {
    Q_OBJECT
public:
    static constexpr int pointerCount = 5;

    explicit LinearGauge(QWidget *parent = nullptr);

    void selectPointer(int16_t index);
    int16_t selectedPointer() const { return selected; }
    double selectedValue() const;
    void setSelectedValue(double value);

    // Colouring has a selection of its own.
    void selectPointerToColour(int16_t index);
    void colourSelectedPointer(uint32_t packedColor);

    // Writes between beginBatch() and endBatch() repaint once, at the end,
    // and only the bars that then look different from before the batch: an
    // animation step that goes out and back within a tick costs nothing.
    void beginBatch();
    void endBatch();

    // Read-back by index, for drawing and for tests.
    double pointerValueAt(int index) const;
    uint32_t pointerColorAt(int index) const;

    // Static look: gauge caption, each pointer's caption, scale and legend.
    void setCaption(const QString &caption);
    void setPointerCaption(int index, const QString &caption);
    void setPointerScale(int index, double minimum, double maximum);
    void setPointerLegend(int index, const QString &legend);
    QString caption() const { return captionText; }
    QString pointerCaption(int index) const;
    double pointerScaleMinimum(int index) const;
    double pointerScaleMaximum(int index) const;
    QString pointerLegend(int index) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Bar {
        double value = 0.0;
        uint32_t color = 33023;
        QString caption;
        QString legend;
        double minimum = 0.0;
        double maximum = 100.0;
    };

    static bool validIndex(int index) { return index >= 0 && index < pointerCount; }
    QRect barRect(int index) const;
    int fillPixels(int index, double value, qreal dpr) const; // bar length in device pixels
    QRectF fillRect(int index, double value, qreal dpr) const;
    void invalidateBackground();
    void ensureBackground();
    void renderBackground();

    struct Shade {
        uint32_t color = 0;
        double top = 0.0;
        double bottom = 0.0;
        QBrush brush;
        QColor edge;
    };
    const Shade &shadeOf(int index, const QRectF &fill);

    void repaintBar(int index, double oldValue, uint32_t oldColor);
    QRect movedEnd(int index, double oldValue, qreal dpr) const;

    std::array<Bar, pointerCount> bars;
    int batchDepth = 0;
    std::array<double, pointerCount> batchStartValue{};
    std::array<uint32_t, pointerCount> batchStartColor{};
    int16_t selected = 0;   // the current pointer
    int16_t colorNamed = 0; // the pointer the next colour goes to
    QString captionText;
    mutable std::array<QRect, pointerCount> barRects;
    mutable QSize barRectsSize; // the size barRects were worked out for
    std::array<Shade, pointerCount> shades;
    QPixmap background;
    QSize backgroundSize; // logical size the background was rendered for
};
