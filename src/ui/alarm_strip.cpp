// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/alarm_strip.h"

#include "access/screen_reader_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStringList>

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
}

int AlarmStrip::heightFor(std::size_t lineCount) const
{
    return int(lineCount) * lineHeight + 2 * margin;
}

void AlarmStrip::showLines(const std::vector<AlarmLine> &lines, bool lit)
{
    if (lines == current && lit == isLit)
        return;
    current = lines;
    isLit = lit;
    QStringList texts;
    for (const AlarmLine &line : lines)
        texts << line.text;
    announceToScreenReaders(*this, texts.join(QLatin1Char('\n')));
    update();
}

void AlarmStrip::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QFont bold = font();
    bold.setBold(true);
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
