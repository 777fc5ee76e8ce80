#include "ui/color_button.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

#include <QScrollBar>

// A moved scroll bar sends its raw value at once, replacing whatever was
// still queued, and marks the configuration as changed but not stored.
void DashForm::sendSetting(const char *prefix, const QScrollBar *bar)
{
    txQueue = QByteArray(prefix) + QByteArray::number(bar->value()) + '\r';
    storebutton->setBackColor(PackedColor::green);
}

void DashForm::maxadvancescroll_Change() { sendSetting("/N", maxadvancescroll); }
void DashForm::maxrpmscroll_Change() { sendSetting("/M", maxrpmscroll); }
void DashForm::conshiftscroll_Change() { sendSetting("/C", conshiftscroll); }
void DashForm::pprscroll_Change() { sendSetting("/T", pprscroll); }
void DashForm::ledscroll_Change() { sendSetting("/L", ledscroll); }
void DashForm::cyclescroll_Change() { sendSetting("/D", cyclescroll); }

// The button turns dark grey only when the unit acknowledges the store.
void DashForm::storebutton_Click()
{
    txQueue = QByteArrayLiteral("/W\r");
}
