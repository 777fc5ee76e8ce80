// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/first_frame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class FirstFrameWatcher : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            // Let the painted frame reach the screen before quitting.
            QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
        }
        return false;
    }
};

} // namespace

void quitAfterFirstFrame(QWidget *window)
{
    window->installEventFilter(new FirstFrameWatcher(window));
}
