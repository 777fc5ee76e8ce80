#include "gauges/angular_gauge.h"
#include "protocol/telemetry.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"

#include <QLineEdit>
#include <QTimer>

void DashForm::applyTelemetry(QByteArrayView rBuff)
{
    const std::optional<TelemetryRecord> record = decodeTelemetry(rBuff);
    if (!record)
        return;

    // The first record ends the handshake's retries.
    if (!linkUp) {
        Timer4->stop();
        handshakeCommands.clear();
        linkUp = true;
    }
    engineRpm = record->engineRpm;
    advanceSteps = record->advanceSteps;
    advanceDegrees = record->advanceDegrees;
    busVolts = record->busVolts;
    setTag(voltsdial, QStringLiteral("0"));
    if (tempdata->text() != record->temperatureText)
        tempdata->setText(record->temperatureText);
    setTag(tempdata, QStringLiteral("0"));
    pair12Value = record->pair12Value;
    pair34Value = record->pair34Value;
}
