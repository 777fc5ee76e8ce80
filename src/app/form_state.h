#pragma once

#include <QByteArray>
#include <cstdint>

// The main window's own variables. Everything the console knows while it runs
// lives here or in the window's controls; nothing is stored between runs.
// Strings hold serial-line text, one byte per character.
struct FormState {
    QByteArray rxBuffer;
    QByteArray txQueue;
    QByteArray txChar;
    QByteArray handshakeCommands;
    QByteArray hexField;
    int16_t scratchValue = 0;
    int16_t engineRpm = 0;
    int16_t advanceDegrees = 0;
    int16_t advanceSteps = 0;
    int16_t busVolts = 0;
    int16_t pair12Value = 0;
    int16_t pair34Value = 0;
    int16_t propAngle = 0;
    int16_t maxAdvanceSteps = 0;
    bool manualMode = false;
    bool engineRunning = false;
    bool linkUp = false;
};
