#include "gauges/angular_gauge.h"
#include "link/serial_port.h"
#include "protocol/replies.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/timer_enabled.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

namespace {

void clearCounter(QObject *control)
{
    setTag(control, QStringLiteral("0"));
}

} // namespace

// Moving a scroll bar to a new position runs its change handler right here,
// before the next step: the unit gets its own value echoed back once.
void DashForm::applyReply(QByteArrayView rBuff)
{
    const std::optional<ReplyRecord> reply = decodeReply(rBuff);
    if (!reply)
        return;
    const int16_t n = reply->value;
    const QString &text = reply->text;
    switch (reply->letter) {
    case 'p':
        propAngle = n;
        break;
    case 'c':
        conshiftdata->setText(text);
        clearCounter(conshiftdata);
        conshiftscroll->show();
        break;
    case 'u':
        revdata->setText(text);
        clearCounter(revdata);
        Timer4->stop();
        handshakeCommands.clear();
        if (Tag(this).toInt() == 1) {
            setTag(this, QStringLiteral("0"));
            statusbox->setText(QStringLiteral("Connected Comm Port ")
                               + QString::number(MSComm1->CommPort()));
            for (QWidget *w : {com1, com2, com3, com4, Command4})
                w->hide();
            // Restarted together even if running, so that they share wake-ups.
            startTogether({Timer1, Timer2, Timer3});
        }
        break;
    case 't':
        pprscroll->setValue(n);
        pprdata->setText(text);
        clearCounter(pprdata);
        pprscroll->show();
        break;
    case 'd':
        cycledata->setText(text);
        clearCounter(cycledata);
        cyclescroll->setValue(n);
        cyclescroll->show();
        break;
    case 'l':
        leddata->setText(text);
        clearCounter(leddata);
        ledscroll->show();
        break;
    case 'n':
        maxAdvanceSteps = n;
        maxadvancedata->setText(text);
        clearCounter(maxadvancedata);
        maxadvancescroll->setValue(n);
        maxadvancescroll->show();
        break;
    case 'm':
        maxrpmdata->setText(text);
        clearCounter(maxrpmdata);
        rpmdial->setDispatchProperty(52, 3);
        rpmdial->setDispatchProperty(59, int16_t(n * 256));
        maxrpmscroll->setValue(n);
        maxrpmscroll->show();
        break;
    case 'x':
        engineRpm = n;
        clearCounter(rpmdial);
        break;
    case 'z':
        maxtempdata->setText(text);
        clearCounter(maxtempdata);
        break;
    case 'j':
        conshiftdata->setEnabled(n != 0);
        clearCounter(conshiftdata);
        break;
    case 'w':
        busVolts = n;
        clearCounter(voltsdial);
        break;
    default: // 'b' and 'e' change nothing anybody reads
        break;
    }
}
