#include "ui/port_tooltips.h"

#include "link/serial_port.h"
#include "ui/color_button.h"
#include "ui/dashform.h"

#include <QEvent>
#include <QHash>

namespace {

class PortTooltips : public QObject {
public:
    explicit PortTooltips(DashForm &form) : QObject(&form), form(form)
    {
        int16_t port = 1;
        for (ColorButton *button : {form.com1, form.com2, form.com3, form.com4}) {
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
        const SerialPort &serial = *form.MSComm1;
        const QString device = serial.portDescription(port);
        QString text = button->text() + QStringLiteral(": ")
            + (device.isEmpty() ? QStringLiteral("no serial port") : device);
        const QString failure = serial.lastOpenFailure();
        if (!failure.isEmpty() && serial.CommPort() == port && !serial.PortOpen())
            text += QStringLiteral("\nCould not open: ") + failure;
        button->setToolTip(text);
    }

    DashForm &form;
    QHash<const QObject *, int16_t> ports;
};

} // namespace

void installPortTooltips(DashForm &form)
{
    new PortTooltips(form);   // owned by the form
}
