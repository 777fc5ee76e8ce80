#include "gauges/angular_gauge.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"
#include "ui/timer_enabled.h"

#include <QLineEdit>
#include <QTimer>
#include <array>

namespace {

struct PolledValue {
    QObject *counter; // the control whose Tag counts the remaining asks
    const char *query;
};

} // namespace

// Asks for one unanswered value per tick, each at most twice; then arms the
// stream request through the retry timer and keeps asking for the propeller
// angle while the engine stands still. Never waits for an answer.
void DashForm::Timer1_Timer()
{
    if (!txQueue.isEmpty() || engineRunning)
        return;

    const std::array<PolledValue, 10> chain{{
        {conshiftdata, "/c\r"},
        {cycledata, "/d\r"},
        {tempdata, "/e\r"},
        {maxtempdata, "/z\r"},
        {voltsdial, "/w\r"},
        {rpmdial, "/x\r"},
        {leddata, "/l\r"},
        {pprdata, "/t\r"},
        {maxrpmdata, "/m\r"},
        {maxadvancedata, "/n\r"},
    }};
    for (const PolledValue &value : chain) {
        const int remaining = Tag(value.counter).toInt();
        if (remaining > 0) {
            txQueue = value.query;
            setTag(value.counter, QString::number(remaining - 1));
            return;
        }
    }

    if (!linkUp) {
        handshakeCommands = QByteArrayLiteral("/I1\r");
        setTimerEnabled(Timer4, true);
        linkUp = true;
        // The read-out echoed each reported value back; nothing awaits
        // storing. After a silence the unit may still hold an unsaved change.
        if (resumingAfterSilence)
            resumingAfterSilence = false;
        else
            storebutton->setBackColor(PackedColor::darkGrey);
    }
    txQueue = QByteArrayLiteral("/p\r");
}
