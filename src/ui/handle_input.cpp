#include "protocol/line_dispatch.h"
#include "ui/dashform.h"

// Decodes the first line in the buffer and discards the whole buffer: a
// second line that arrived in the same batch is lost, as the unit expects.
void DashForm::HandleInput(QByteArray &rBuff)
{
    switch (classifyLine(rBuff)) {
    case LineKind::Telemetry:
        applyTelemetry(rBuff);
        break;
    case LineKind::Acknowledgement:
        applyAcknowledgement(rBuff);
        break;
    case LineKind::Reply:
        applyReply(rBuff);
        break;
    case LineKind::Ignored:
        break;
    }
    rBuff.clear();
}
