// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/port_tooltips.h"

#include "link/serial_port.h"
#include "ui/color_button.h"
#include "core/unit_link.h"
#include "ui/console_window.h"

#include <QEvent>
#include <QHash>

namespace {

class PortTooltips : public QObject {
public:
    explicit PortTooltips(ConsoleWindow &window) : QObject(&window), window(window)
    {
        int16_t port = 1;
        for (ColorButton *button : window.portButtons) {
            ports.insert(button, port++);
            button->installEventFilter(this);
        }
    }

    // Sets the text and lets the button show it as usual.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip && ports.contains(watched))
            refresh(static_cast<QPushButton *>(watched), ports.value(watched));
        return false;
    }

private:
    void refresh(QPushButton *button, int16_t port)
    {
        const SerialPort &serial = window.unitLink().port();
        const QString device = serial.portDescription(port);
        QString text = button->text() + QStringLiteral(": ")
            + (device.isEmpty() ? QStringLiteral("no serial port") : device);
        const QString failure = serial.lastOpenFailure();
        if (!failure.isEmpty() && serial.portNumber() == port && !serial.isOpen())
            text += QStringLiteral("\nCould not open: ") + failure;
        button->setToolTip(text);
    }

    ConsoleWindow &window;
    QHash<const QObject *, int16_t> ports;
};

} // namespace

void installPortTooltips(ConsoleWindow &window)
{
    new PortTooltips(window); // owned by the window
}
