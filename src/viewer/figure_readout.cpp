// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/figure_readout.h"

#include "access/screen_reader_text.h"
#include "viewer/value_text.h"
#include "viewer/viewer_look.h"

#include <QGridLayout>
#include <QLabel>

namespace {

QLabel *caption(const QString &text, QWidget *parent, Qt::Alignment align = Qt::AlignLeft)
{
    auto *label = new QLabel(text, parent);
    label->setFont(ViewerLook::font(8.25, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ViewerLook::navy);
    label->setPalette(palette);
    label->setAlignment(align | Qt::AlignVCenter);
    return label;
}

// A yellow box like the window's setting boxes, wide enough for "-0000.00".
QLabel *valueBox(const QString &objectName, QWidget *parent)
{
    auto *box = new QLabel(parent);
    box->setObjectName(objectName);
    box->setFont(ViewerLook::font(9.75, true));
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, ViewerLook::yellow);
    palette.setColor(QPalette::WindowText, ViewerLook::black);
    box->setPalette(palette);
    box->setAlignment(Qt::AlignCenter);
    box->setFrameShape(QFrame::Box);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("-0000.00")) + 8);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return box;
}

// A box's name says what it holds; its text is read as its description.
void showText(QLabel &box, const QString &text)
{
    box.setText(text);
    describeForScreenReaders(box, text);
}

} // namespace

FigureReadout::FigureReadout(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("cursorReadout"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);

    grid->addWidget(caption(QStringLiteral("Cursor"), this), 0, 0);
    timeBox = valueBox(QStringLiteral("cursorTime"), this);
    timeBox->setAccessibleName(QStringLiteral("Time at cursor"));
    grid->addWidget(timeBox, 0, 1, 1, columnCount);
    overlayTimeCaption = caption(QStringLiteral("Second"), this);
    grid->addWidget(overlayTimeCaption, 1, 0);
    overlayTimeBox = valueBox(QStringLiteral("overlayCursorTime"), this);
    overlayTimeBox->setAccessibleName(QStringLiteral("Time at cursor in the second recording"));
    grid->addWidget(overlayTimeBox, 1, 1, 1, columnCount);

    const char *const headings[columnCount] = {"At cursor", "Second", "Difference",
                                               "Lowest",    "Highest", "Mean"};
    // For screen readers, after the figure's name: "Engine speed at cursor".
    const char *const spokenColumns[columnCount] = {
        "at cursor",          "in the second recording at cursor",
        "difference, second minus first", "lowest in view",
        "highest in view",    "mean in view"};
    const char *const prefixes[columnCount] = {"cursor_", "overlay_", "difference_",
                                               "lowest_", "highest_", "mean_"};
    grid->addWidget(caption(QStringLiteral("In view:"), this, Qt::AlignRight), 2, Lowest + 1, 1,
                    3, Qt::AlignCenter);
    for (int column = 0; column < columnCount; ++column) {
        QLabel *heading = caption(QLatin1String(headings[column]), this, Qt::AlignCenter);
        grid->addWidget(heading, 3, column + 1);
        if (column == OverlayAtCursor || column == Difference)
            overlayHeadings[column - OverlayAtCursor] = heading;
    }
    for (int f = 0; f < figureCount; ++f) {
        const FigureInfo &info = figureInfo(Figure(f));
        figureCaptions[f] = caption(figureCaption(Figure(f), temperatureScale), this);
        grid->addWidget(figureCaptions[f], f + 4, 0);
        for (int column = 0; column < columnCount; ++column) {
            const QString name = QLatin1String(prefixes[column]) + QLatin1String(info.column);
            boxes[column][f] = valueBox(name, this);
            boxes[column][f]->setAccessibleName(QLatin1String(info.name) + QLatin1Char(' ')
                                                + QLatin1String(spokenColumns[column]));
            grid->addWidget(boxes[column][f], f + 4, column + 1);
        }
    }
    setOverlayShown(false);
}

void FigureReadout::setTemperatureScale(TemperatureScale scale)
{
    temperatureScale = scale;
    for (int f = 0; f < figureCount; ++f)
        figureCaptions[f]->setText(figureCaption(Figure(f), scale));
}

void FigureReadout::showCursor(const QString &time, const Values &values)
{
    showText(*timeBox, time);
    fill(AtCursor, values, figureText);
}

void FigureReadout::showInView(const InView &inView)
{
    fill(Lowest, inView.lowest, figureText);
    fill(Highest, inView.highest, figureText);
    fill(Mean, inView.means, meanText);
}

void FigureReadout::setOverlayShown(bool shown)
{
    for (QLabel *label : {overlayTimeCaption, overlayTimeBox, overlayHeadings[0],
                          overlayHeadings[1]})
        label->setVisible(shown);
    for (const Column column : {OverlayAtCursor, Difference})
        for (QLabel *box : boxes[column]) {
            box->setVisible(shown);
            showText(*box, QString());
        }
    showText(*overlayTimeBox, QString());
}

void FigureReadout::showOverlayCursor(const QString &time, const Values &values,
                                      const Values &differences)
{
    showText(*overlayTimeBox, time);
    fill(OverlayAtCursor, values, figureText);
    fill(Difference, differences, differenceText);
}

void FigureReadout::fill(Column column, const Values &values, QString (*text)(double))
{
    for (int f = 0; f < figureCount; ++f) {
        if (!values[f]) {
            showText(*boxes[column][f], QString());
            continue;
        }
        const double shown = column == Difference
                                 ? shownFigureDifference(Figure(f), *values[f], temperatureScale)
                                 : shownFigureValue(Figure(f), *values[f], temperatureScale);
        showText(*boxes[column][f], text(shown));
    }
}
