// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_accessible_names.h"

#include "access/screen_reader_text.h"
#include "settings/setting_names.h"
#include "ui/console_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

namespace {

// The setting rows are named from their settings below.
constexpr SpokenName spokenNames[] = {
    // Its description is the title's markers in words ("Recording").
    {"dashform", "Torvane Data Link"},
    {"Logo", "Torvane Electronic Ignition logo"},
    {"Label16", "Torvane interactive configuration"},
    {"Label14", "For Torvane series 410 and 420 ignitions"},
    {"Label1", "Console release 04"},
    {"Label2", "Status heading"},
    // Its text is its value; its tooltip, the wiring hint or the adapter
    // awaited, stays its description.
    {"statusbox", "Status"},
    {"com1", "Connect to COM1", "Opens serial port COM1 and starts talking to the unit"},
    {"com2", "Connect to COM2", "Opens serial port COM2 and starts talking to the unit"},
    {"com3", "Connect to COM3", "Opens serial port COM3 and starts talking to the unit"},
    {"com4", "Connect to COM4", "Opens serial port COM4 and starts talking to the unit"},
    {"Command5", "Reset", "Closes the port and goes back to how the console started"},
    // The gauges' descriptions are their readings, set as the figures arrive.
    {"LGauge1", "Engine gauges"},
    {"AGauge2", "Propeller angle gauge"},
    {"rpmdial", "Engine speed gauge", "Not shown: it stands outside the window"},
    {"voltsdial", "Bus volts gauge", "Not shown: it stands outside the window"},
    {"storebutton", "Store settings in the unit",
     "Writes the changed settings into the unit's memory"},
    {"Label10", "Firmware revision heading"},
    {"revdata", "Firmware revision", "The unit's firmware revision, 0 until it answers"},
    // "Label8" and "Label5" name the temperature unit shown: their captions
    // are read as they are.
    {"Label4", "Current temperature heading"},
    {"tempdata", "Unit temperature"},
    {"Label3", "Highest temperature heading"},
    {"maxtempdata", "Highest unit temperature", "The highest temperature the unit has recorded"},
    {"Command4", "Show how to wire the cable",
     "Opens a picture of the serial cable between the unit and the PC"},
    {"advset", "Advance tables", "Not offered yet"},
    {"Command2", "Automatic advance", "The unit sets the advance itself"},
    {"Command3", "Manual advance", "The advance is trimmed by hand with the two buttons beside"},
    {"Command6", "Less advance", "Trims the advance one step down, in manual advance"},
    {"Command7", "More advance", "Trims the advance one step up, in manual advance"},
    // Their descriptions carry what they say, set as it changes.
    {"wiringhint", "Wiring hint"},
    {"alarmstrip", "Engine alarms"},
};

// Each row of the configuration column, by Setting.
constexpr const char *settingWords[settingCount] = {
    "Start delay",   "LED display", "Tachometer pulses per revolution",
    "Advance shift", "Maximum RPM", "Maximum advance",
};

void nameSettingRow(const ConsoleWindow::SettingRow &row, Setting setting)
{
    const QString words = QLatin1String(settingWords[int(setting)]);
    row.caption->setAccessibleName(words);
    row.box->setAccessibleName(words + QStringLiteral(" setting"));
    row.box->setAccessibleDescription(settingMeaning(setting));
    row.editor->setAccessibleName(words + QStringLiteral(" editor"));
    row.editor->setAccessibleDescription(
        QStringLiteral("Each step is sent to the unit at once; Store settings keeps it"));
}

} // namespace

void nameConsoleControls(ConsoleWindow &window)
{
    nameForScreenReaders(window, spokenNames);
    for (int i = 0; i < settingCount; ++i)
        nameSettingRow(window.settingRows[i], Setting(i));
}
