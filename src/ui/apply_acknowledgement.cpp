#include "gauges/angular_gauge.h"
#include "protocol/acknowledgement.h"
#include "protocol/setting_texts.h"
#include "ui/color_button.h"
#include "ui/control_tag.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

namespace {

QString character(std::optional<char> c)
{
    return c ? QString(QLatin1Char(*c)) : QString();
}

} // namespace

// The C, M and N acknowledgements carry no value: the box shows what the
// scroll bar sent. D and T show the unit's own digit.
void DashForm::applyAcknowledgement(QByteArrayView rBuff)
{
    const std::optional<Acknowledgement> ack = decodeAcknowledgement(rBuff);
    if (!ack)
        return;
    switch (ack->letter) {
    case Acknowledgement::Store:
        storebutton->setBackColor(PackedColor::darkGrey);
        break;
    case Acknowledgement::StartDelay:
        cycledata->setText(character(ack->value));
        break;
    case Acknowledgement::Led:
        leddata->setText(ledText(ack->ledSetting));
        setTag(leddata, QStringLiteral("0"));
        break;
    case Acknowledgement::Ppr:
        pprdata->setText(character(ack->value));
        break;
    case Acknowledgement::Shift:
        conshiftdata->setText(advanceDegreesText(conshiftscroll->value()));
        break;
    case Acknowledgement::MaxRpm:
        maxrpmdata->setText(maxRpmText(maxrpmscroll->value()));
        break;
    case Acknowledgement::MaxAdvance:
        maxadvancedata->setText(advanceDegreesText(maxadvancescroll->value()));
        break;
    case Acknowledgement::Stream:
        Timer4->stop();
        handshakeCommands.clear();
        if (ack->value == '1') {
            statusbox->setText(QStringLiteral("Stream Mode"));
            linkUp = true;
        } else if (ack->value == '0') {
            statusbox->setText(QString());
            linkUp = false;
            // An engine counts as running only while the stream is on; left
            // set, it would keep the poll cycle silent for good.
            if (engineRunning) {
                engineRunning = false;
                AGauge2->show();
            }
        }
        break;
    }
}
