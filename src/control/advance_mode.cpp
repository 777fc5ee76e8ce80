#include "ui/color_button.h"
#include "ui/dashform.h"
#include "ui/packed_color.h"

// The mode is the console's own record of the last mode command; the unit
// never reports it. Colours change at once, before any acknowledgement.

void DashForm::Command3_Click()
{
    manualMode = true;
    Command3->setBackColor(PackedColor::green);
    Command2->setBackColor(PackedColor::darkGrey);
    Command6->setBackColor(PackedColor::red);
    Command7->setBackColor(PackedColor::red);
    txQueue = QByteArrayLiteral("/SM\r");
}

void DashForm::Command2_Click()
{
    manualMode = false;
    Command2->setBackColor(PackedColor::green);
    Command3->setBackColor(PackedColor::darkGrey);
    Command6->setBackColor(PackedColor::darkGrey);
    Command7->setBackColor(PackedColor::darkGrey);
    txQueue = QByteArrayLiteral("/SA\r");
}

void DashForm::Command6_Click()
{
    if (manualMode)
        txQueue = QByteArrayLiteral("/S-\r");
}

// Trimming up stops at the unit's maximum advance, as last reported.
void DashForm::Command7_Click()
{
    if (advanceSteps < maxAdvanceSteps && manualMode)
        txQueue = QByteArrayLiteral("/S+\r");
}
