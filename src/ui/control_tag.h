#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Every control, timer and the window itself carries a free text "Tag"; the
// poll cycle keeps its counters there and the window its connection flag.
// Mostly a dynamic property. The text boxes and dials, whose Tags the poll
// cycle reads on every tick and telemetry clears with every line, keep it
// here and declare it as a property over this member: writing a property
// looked up by name cost as much as decoding the line.
struct TagHolder {
    QString tag;
};

inline QString Tag(const QObject *control)
{
    if (const auto *holder = dynamic_cast<const TagHolder *>(control))
        return holder->tag;
    return control->property("Tag").toString();
}

inline void setTag(QObject *control, const QString &text)
{
    if (auto *holder = dynamic_cast<TagHolder *>(control))
        holder->tag = text;
    else
        control->setProperty("Tag", text);
}
