// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/unit_state.h"
#include "core/wiring_diagnosis.h"
#include "protocol/temperature_scale.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

class AlarmStrip;
struct AlarmLine;
class AngularGauge;
class ColorButton;
class GaugeAnimation;
class LinearGauge;
class QLabel;
class QLineEdit;
class QScrollBar;
class UnitLink;
class WiringWindow;

// The main window. It draws what the unit link announces and forwards the
// user's clicks and editor moves to it; it keeps no state of the unit.
class ConsoleWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int portCount = 4;
    // Room below the wiring hint.
    static constexpr int hintMargin = 8;

    // One row of the configuration column.
    struct SettingRow {
        QLabel *caption = nullptr;
        QLineEdit *box = nullptr;
        QScrollBar *editor = nullptr;
    };

    explicit ConsoleWindow(UnitLink &link, QWidget *parent = nullptr);
    ~ConsoleWindow() override;

    UnitLink &unitLink() const { return link; }
    GaugeAnimation &gaugeAnimation() const { return *animation; }

    // What the port button `portNumber` (1 to 4) does when clicked.
    void clickPort(int portNumber);
    // The RESET button: back to the state before any connection.
    void reset();
    void showWiring();
    // Shows the exceedances in the alarm strip; the window is as tall as the
    // strip's room.
    void showAlarms(const std::vector<AlarmLine> &lines, bool lit);
    // The temperature boxes and their captions (console_temperatures.cpp).
    void setTemperatureScale(TemperatureScale scale);
    TemperatureScale temperatureScale() const { return shownScale; }

    // Header band.
    QLabel *logo = nullptr;
    QLabel *titleLabel = nullptr;
    QLabel *seriesLabel = nullptr;
    QLabel *releaseLabel = nullptr;
    QLabel *statusCaption = nullptr;
    QLineEdit *statusBox = nullptr;
    std::array<ColorButton *, portCount> portButtons{};
    ColorButton *resetButton = nullptr;

    // Gauge area. The RPM and volts dials stand below the client area.
    LinearGauge *engineBars = nullptr;
    AngularGauge *propellerDial = nullptr;
    AngularGauge *rpmDial = nullptr;
    AngularGauge *voltsDial = nullptr;

    // Configuration column, indexed by Setting.
    std::array<SettingRow, settingCount> settingRows{};
    ColorButton *storeButton = nullptr;

    // Bottom band.
    QLabel *firmwareCaption = nullptr;
    QLineEdit *firmwareBox = nullptr;
    QLabel *temperatureCaption = nullptr;
    QLabel *currentCaption = nullptr;
    QLineEdit *temperatureBox = nullptr;
    QLabel *maxTemperatureUnitCaption = nullptr;
    QLabel *maxTemperatureCaption = nullptr;
    QLineEdit *maxTemperatureBox = nullptr;
    ColorButton *wiringButton = nullptr;
    ColorButton *tablesButton = nullptr;
    ColorButton *autoAdvanceButton = nullptr;
    ColorButton *manualAdvanceButton = nullptr;
    ColorButton *retardButton = nullptr;
    ColorButton *advanceButton = nullptr;

    // Below everything, shown only while a wiring fault is suspected; the
    // window grows to make room for it.
    QLabel *wiringHintStrip = nullptr;
    // Below that, one line per exceedance of an engine limit while any lasts.
    AlarmStrip *alarmStrip = nullptr;

    // The wiring picture window, while it exists.
    QPointer<WiringWindow> wiringWindow;

signals:
    void temperatureScaleChanged(TemperatureScale scale);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectControls();
    void followLink();
    void showSetting(Setting setting);
    void showReadings();
    void showTemperatures();
    void showStoreState(bool unsavedChanges);
    void showAdvanceMode(AdvanceMode mode);
    void showPhase(LinkPhase phase);
    void showWiringHint(WiringHint hint);
    void updateStatusToolTip();
    void fitBottomStrips();
    void aimGauges();
    void setPortButtonsVisible(bool visible);

    UnitLink &link;
    GaugeAnimation *animation = nullptr;
    TemperatureScale shownScale = TemperatureScale::Celsius;
    // The window without the wiring hint and the alarm strip.
    QSize formSize;
};
