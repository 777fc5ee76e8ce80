// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/console_window.h"

#include "access/screen_reader_text.h"
#include "core/unit_link.h"
#include "gauges/angular_gauge.h"
#include "gauges/gauge_animation.h"
#include "gauges/linear_gauge.h"
#include "gauges/packed_color.h"
#include "ui/alarm_strip.h"
#include "ui/color_button.h"
#include "ui/console_focus_order.h"
#include "ui/port_tooltips.h"
#include "ui/wiring_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

ConsoleWindow::ConsoleWindow(UnitLink &link, QWidget *parent) : QWidget(parent), link(link)
{
    buildControls();
    animation = new GaugeAnimation(*engineBars, *propellerDial, this);
    connectControls();
    followLink();
    installPortTooltips(*this);
    orderConsoleFocus(*this);
    statusBox->setText(link.status());
}

ConsoleWindow::~ConsoleWindow()
{
    if (wiringWindow)
        wiringWindow->deleteLater();
}

void ConsoleWindow::connectControls()
{
    for (int i = 0; i < portCount; ++i)
        connect(portButtons[i], &QPushButton::clicked, this, [this, i] { clickPort(i + 1); });
    connect(resetButton, &QPushButton::clicked, this, &ConsoleWindow::reset);
    connect(wiringButton, &QPushButton::clicked, this, &ConsoleWindow::showWiring);
    connect(alarmStrip, &AlarmStrip::roomChanged, this, &ConsoleWindow::fitBottomStrips);
    connect(storeButton, &QPushButton::clicked, &link, &UnitLink::storeSettings);
    connect(autoAdvanceButton, &QPushButton::clicked, this,
            [this] { link.selectAdvanceMode(AdvanceMode::Automatic); });
    connect(manualAdvanceButton, &QPushButton::clicked, this,
            [this] { link.selectAdvanceMode(AdvanceMode::Manual); });
    connect(retardButton, &QPushButton::clicked, this, [this] { link.trimAdvance(-1); });
    connect(advanceButton, &QPushButton::clicked, this, [this] { link.trimAdvance(+1); });
    // The tables editor is not offered yet; its button does nothing.

    // valueChanged fires only for a real change, whoever moved the editor:
    // the link ignores a position it already holds.
    for (int i = 0; i < settingCount; ++i)
        connect(settingRows[i].editor, &QScrollBar::valueChanged, this,
                [this, i](int position) { link.editSetting(Setting(i), position); });
}

void ConsoleWindow::followLink()
{
    connect(&link, &UnitLink::statusChanged, statusBox, &QLineEdit::setText);
    connect(&link, &UnitLink::settingChanged, this, &ConsoleWindow::showSetting);
    connect(&link, &UnitLink::readingsChanged, this, &ConsoleWindow::showReadings);
    connect(&link, &UnitLink::storeStateChanged, this, &ConsoleWindow::showStoreState);
    connect(&link, &UnitLink::advanceModeSelected, this, &ConsoleWindow::showAdvanceMode);
    connect(&link, &UnitLink::phaseChanged, this, &ConsoleWindow::showPhase);
    connect(&link, &UnitLink::adapterAwaitedChanged, this, &ConsoleWindow::updateStatusToolTip);
    connect(&link, &UnitLink::wiringHintChanged, this, &ConsoleWindow::showWiringHint);
    connect(&link, &UnitLink::figuresChanged, this, &ConsoleWindow::aimGauges);
    connect(&link, &UnitLink::propellerAngleChanged, this, &ConsoleWindow::aimGauges);
    connect(&link, &UnitLink::engineRunningChanged, propellerDial,
            [this](bool running) { propellerDial->setVisible(!running); });
    // Started with the link's poll and pump timers, so that they share
    // wake-ups.
    connect(&link, &UnitLink::unitIdentified, this, [this] {
        setPortButtonsVisible(false);
        animation->restart();
    });
}

void ConsoleWindow::clickPort(int portNumber)
{
    link.openPort(int16_t(portNumber));
}

void ConsoleWindow::reset()
{
    link.reset();
    setPortButtonsVisible(true);
    resetButton->hide();
    animation->stop();
}

// One wiring window at most; it does not block the main window.
void ConsoleWindow::showWiring()
{
    if (!wiringWindow)
        wiringWindow = new WiringWindow();
    wiringWindow->setVisible(true);
    wiringWindow->raise();
    wiringWindow->activateWindow();
}

void ConsoleWindow::showSetting(Setting setting)
{
    const SettingState &state = link.state().setting(setting);
    const SettingRow &row = settingRows[int(setting)];
    row.box->setText(state.shown);
    row.editor->setValue(state.position);
    if (state.reported)
        row.editor->show();
}

void ConsoleWindow::showReadings()
{
    const UnitState &unit = link.state();
    firmwareBox->setText(unit.firmwareText);
    showTemperatures();
    settingRows[int(Setting::AdvanceShift)].box->setEnabled(unit.advanceShiftAvailable);
    if (unit.maxRpmUnits)
        rpmDial->setRedLine(*unit.maxRpmUnits * 256.0);
}

void ConsoleWindow::showStoreState(bool unsavedChanges)
{
    storeButton->setBackColor(unsavedChanges ? PackedColor::green : PackedColor::darkGrey);
}

// Colours change at once, before any acknowledgement.
void ConsoleWindow::showAdvanceMode(AdvanceMode mode)
{
    const bool manual = mode == AdvanceMode::Manual;
    const uint32_t trim = manual ? PackedColor::red : PackedColor::darkGrey;
    autoAdvanceButton->setBackColor(manual ? PackedColor::darkGrey : PackedColor::green);
    manualAdvanceButton->setBackColor(manual ? PackedColor::green : PackedColor::darkGrey);
    retardButton->setBackColor(trim);
    advanceButton->setBackColor(trim);
}

// A lost device leaves the port buttons and the wiring help to hand.
void ConsoleWindow::showPhase(LinkPhase phase)
{
    if (phase == LinkPhase::Lost)
        setPortButtonsVisible(true);
}

// The hint lies below the bottom band, where it covers nothing.
void ConsoleWindow::showWiringHint(WiringHint hint)
{
    const QString text = wiringHintText(hint);
    wiringHintStrip->setText(text);
    wiringHintStrip->setVisible(!text.isEmpty());
    announceToScreenReaders(*wiringHintStrip, text);
    fitBottomStrips();
    updateStatusToolTip();
}

void ConsoleWindow::showAlarms(const std::vector<AlarmLine> &lines, bool lit)
{
    alarmStrip->showLines(lines, lit);
}

// The strips stack below the bottom band, each only while it has something
// to say; the window is as tall as they need.
void ConsoleWindow::fitBottomStrips()
{
    int bottom = formSize.height();
    int top = wiringHintStrip->y();
    if (!wiringHintText(link.wiringHint()).isEmpty()) {
        bottom = wiringHintStrip->geometry().bottom() + 1 + hintMargin;
        top = bottom;
    }
    const std::size_t alarmLines = alarmStrip->room();
    alarmStrip->setVisible(alarmLines > 0);
    if (alarmLines > 0) {
        alarmStrip->setGeometry(alarmStrip->x(), top, alarmStrip->width(),
                                alarmStrip->heightFor(alarmLines));
        bottom = std::max(bottom, alarmStrip->geometry().bottom() + 1 + hintMargin);
    }
    setFixedSize(formSize.width(), bottom);
}

// A lost adapter and a suspected wiring fault never coincide: one waits for
// the port, the other listens on it.
void ConsoleWindow::updateStatusToolTip()
{
    QString tip = wiringHintText(link.wiringHint());
    if (!link.awaitedAdapter().isEmpty())
        tip = QStringLiteral("Waiting for the same adapter (%1) to come back, to connect again "
                             "by itself. A click on a port button stops waiting.")
                  .arg(link.awaitedAdapter());
    statusBox->setToolTip(tip);
}

void ConsoleWindow::setPortButtonsVisible(bool visible)
{
    for (ColorButton *button : portButtons)
        button->setVisible(visible);
    wiringButton->setVisible(visible);
}

void ConsoleWindow::aimGauges()
{
    animation->setTargets(link.state().figures);
}

// Closing the window sends nothing to the unit and leaves the wiring window
// open; it only releases the port.
void ConsoleWindow::closeEvent(QCloseEvent *event)
{
    link.closePort();
    event->accept();
}
