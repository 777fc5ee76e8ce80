#include "protocol/line_dispatch.h"
#include "ui/dashform.h"

// Decodes one line, whose first character selects the decoder, and empties
// the buffer. Any line the console understands shows the unit is alive.
void DashForm::HandleInput(QByteArray &rBuff)
{
    const LineKind kind = classifyLine(rBuff);
    if (kind != LineKind::Ignored && lastHeard)
        lastHeard = clock();
    switch (kind) {
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
    emit lineHandled(rBuff);
    rBuff.clear();
}
