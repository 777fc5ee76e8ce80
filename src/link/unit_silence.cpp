#include "link/serial_port.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include <QLineEdit>

namespace {

// While the link is up the unit sends several lines a second (telemetry, or
// the answers to the poll cycle's "/p"), so this much quiet means it lost
// power or its wiring while the adapter stayed plugged in.
constexpr auto silenceLimit = std::chrono::seconds(3);

} // namespace

void DashForm::checkUnitSilence()
{
    if (!linkUp || !MSComm1->PortOpen()) {
        lastHeard.reset();
        return;
    }
    const auto now = clock();
    if (!lastHeard)
        lastHeard = now;
    else if (now - *lastHeard >= silenceLimit)
        unitFellSilent();
}

// The port stays open and the poll cycle keeps running, so the unit is read
// afresh and asked to stream again as soon as it answers, as after a new
// connection; one that rebooted shows what it really holds.
void DashForm::unitFellSilent()
{
    statusbox->setText(QStringLiteral("No data from unit - Port ")
                       + QString::number(MSComm1->CommPort()));
    forgetUnit();
    resumingAfterSilence = true;
    // Still waiting for the unit to identify itself: its "u" reply is what
    // starts the poll cycle, so ask for it again.
    if (Tag(this) == QStringLiteral("1"))
        armStartupRetry();
}
