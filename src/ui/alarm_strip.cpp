// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarm_strip.h"

#include "access/screen_reader_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringList>
#include <algorithm>

namespace {

constexpr int margin = 2;

QColor background(LimitLevel level, bool lit)
{
    const QColor colour = level == LimitLevel::Alarm ? QColor(200, 0, 0) : QColor(255, 176, 0);
    return lit ? colour : colour.lighter(160);
}

QColor foreground(LimitLevel level, bool lit)
{
    return level == LimitLevel::Alarm && lit ? Qt::white : Qt::black;
}

} // namespace

AlarmStrip::AlarmStrip(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Click, or press Escape, to acknowledge"));
    roomHold.setSingleShot(true);
    roomHold.setInterval(roomHeldMs);
    connect(&roomHold, &QTimer::timeout, this, &AlarmStrip::releaseUnusedRoom);
}

int AlarmStrip::heightFor(std::size_t lineCount) const
{
    return int(lineCount) * lineHeight + 2 * margin;
}

void AlarmStrip::showLines(const std::vector<AlarmLine> &lines, bool lit)
{
    if (lines == current && lit == isLit)
        return;
    const bool sameExceedances =
        std::equal(lines.begin(), lines.end(), current.begin(), current.end(),
                   [](const AlarmLine &a, const AlarmLine &b) { return a.tellsOfSameExceedance(b); });
    const bool sameTexts =
        std::equal(lines.begin(), lines.end(), current.begin(), current.end(),
                   [](const AlarmLine &a, const AlarmLine &b) { return a.text == b.text; });
    current = lines;
    isLit = lit;
    if (!sameTexts)
        tellScreenReaders(sameExceedances);
    update();
    fitRoom();
}

// The hold runs from the last moment the room was full.
void AlarmStrip::fitRoom()
{
    if (current.size() >= roomForLines) {
        roomHold.stop();
        if (current.size() > roomForLines) {
            roomForLines = current.size();
            emit roomChanged();
        }
    } else if (!roomHold.isActive()) {
        roomHold.start();
    }
}

void AlarmStrip::releaseUnusedRoom()
{
    roomHold.stop();
    if (roomForLines == current.size())
        return;
    roomForLines = current.size();
    emit roomChanged();
}

// An exceedance that begins or ends is announced; the figures and times of
// those under way change several times a second, and are only described.
void AlarmStrip::tellScreenReaders(bool sameExceedances)
{
    QStringList words;
    for (const AlarmLine &line : current)
        words << line.text;
    const QString spoken = words.join(QLatin1Char('\n'));
    if (sameExceedances)
        describeForScreenReaders(*this, spoken);
    else
        announceToScreenReaders(*this, spoken);
}

void AlarmStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
    // The lines are redrawn with every flash; shaping Latin text changes
    // nothing on screen and was a third of the cost.
    bold.setStyleStrategy(QFont::PreferNoShaping);
    painter.setFont(bold);
    for (std::size_t i = 0; i < current.size(); ++i) {
        const AlarmLine &line = current[i];
        const QRect row(0, margin + int(i) * lineHeight, width(), lineHeight - 1);
        painter.fillRect(row, background(line.level, isLit));
        painter.setPen(foreground(line.level, isLit));
        painter.drawText(row.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         line.text);
    }
}

void AlarmStrip::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}
