#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// Every control, timer and the window itself carries a free text "Tag"; the
// poll cycle keeps its counters there and the window its connection flag.
// Mostly a dynamic property; the text boxes and dials declare it (TextBox).
inline QString Tag(const QObject *control)
{
    return control->property("Tag").toString();
}

inline void setTag(QObject *control, const QString &text)
{
    control->setProperty("Tag", text);
}
