#pragma once

#include "app/form_state.h"

#include <QByteArrayView>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <optional>

class AnimationRest;
class AngularGauge;
class ColorButton;
class LinearGauge;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;
class Schmatic;
class SerialPort;

// How the transmit pump's pause lets events run once and then waits. Tests
// replace these to stay deterministic; the defaults are the real thing.
struct PauseHooks {
    std::function<void()> yieldOnce;
    std::function<void(std::chrono::steady_clock::time_point finish)> waitUntil;
};

// The main window. It owns every control and the form-level variables, and
// every event procedure of the console is one of its methods; the methods are
// defined in the folder of the part of the system they belong to.
class DashForm : public QWidget, public FormState {
    Q_OBJECT
public:
    // Takes ownership of the serial port.
    explicit DashForm(SerialPort *port, QWidget *parent = nullptr);
    ~DashForm() override;

    // Start-up and shut-down (src/app).
    void Form_Load();
    void Form_Unload();

    // Port buttons and handshake retry (src/link).
    void com1_Click();
    void com2_Click();
    void com3_Click();
    void com4_Click();
    void Timer4_Timer();
    void connectionLost();

    // A unit that stops answering while the link is up (src/link).
    void checkUnitSilence();
    // The clock the silence check reads; tests replace it.
    std::function<std::chrono::steady_clock::time_point()> clock = std::chrono::steady_clock::now;

    // Transmit pump (src/link).
    void Timer3_Timer();
    void Pause(float NbSec);
    PauseHooks pauseHooks;

    // Receive framing and dispatch.
    void MSComm1_OnComm();
    void HandleInput(QByteArray &rBuff);

    // Gauge animation (src/gauges).
    void Timer2_Timer();

    // Poll cycle, editors, advance mode and auxiliary buttons (src/control).
    void Timer1_Timer();
    void maxadvancescroll_Change();
    void maxrpmscroll_Change();
    void conshiftscroll_Change();
    void pprscroll_Change();
    void ledscroll_Change();
    void cyclescroll_Change();
    void storebutton_Click();
    void Command2_Click();
    void Command3_Click();
    void Command6_Click();
    void Command7_Click();
    void Command4_Click();
    void Command5_Click();
    void advset_Click();

    // Header band.
    QLabel *Logo = nullptr;
    QLabel *Label16 = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *statusbox = nullptr;
    ColorButton *com1 = nullptr;
    ColorButton *com2 = nullptr;
    ColorButton *com3 = nullptr;
    ColorButton *com4 = nullptr;
    ColorButton *Command5 = nullptr;

    // Gauge area.
    LinearGauge *LGauge1 = nullptr;
    AngularGauge *AGauge2 = nullptr;
    AngularGauge *rpmdial = nullptr;
    AngularGauge *voltsdial = nullptr;

    // Configuration column.
    QLabel *Label9 = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label12 = nullptr;
    QLabel *Label15 = nullptr;
    QLabel *Label19 = nullptr;
    QLabel *Label20 = nullptr;
    QLineEdit *cycledata = nullptr;
    QLineEdit *leddata = nullptr;
    QLineEdit *pprdata = nullptr;
    QLineEdit *conshiftdata = nullptr;
    QLineEdit *maxrpmdata = nullptr;
    QLineEdit *maxadvancedata = nullptr;
    QScrollBar *cyclescroll = nullptr;
    QScrollBar *ledscroll = nullptr;
    QScrollBar *pprscroll = nullptr;
    QScrollBar *conshiftscroll = nullptr;
    QScrollBar *maxrpmscroll = nullptr;
    QScrollBar *maxadvancescroll = nullptr;
    ColorButton *storebutton = nullptr;

    // Bottom band.
    QLabel *Label10 = nullptr;
    QLineEdit *revdata = nullptr;
    QLabel *Label8 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *tempdata = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *maxtempdata = nullptr;
    ColorButton *Command4 = nullptr;
    ColorButton *advset = nullptr;
    ColorButton *Command2 = nullptr;
    ColorButton *Command3 = nullptr;
    ColorButton *Command6 = nullptr;
    ColorButton *Command7 = nullptr;

    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;
    QTimer *Timer3 = nullptr;
    QTimer *Timer4 = nullptr;
    SerialPort *MSComm1 = nullptr;
    // Runs Timer2's ticks, and slows it while they would change nothing.
    AnimationRest *animationRest = nullptr;

    // The wiring picture window, while it exists.
    QPointer<Schmatic> schmatic;

signals:
    // Every complete line, as HandleInput received it; for traces and
    // measurements, nothing in the window depends on it.
    void lineHandled(const QByteArray &line);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void connectEvents();
    void portButtonClick(int16_t port, bool queueAtOnce);
    void armStartupRetry();
    void forgetUnit();
    void unitFellSilent();
    void resetPollCounters();
    void sendSetting(const char *prefix, const QScrollBar *bar);
    void applyTelemetry(QByteArrayView rBuff);
    void applyAcknowledgement(QByteArrayView rBuff);
    void applyReply(QByteArrayView rBuff);

    // When the last line was heard while the link was up; empty while it is
    // down, so the wait is counted from the link coming up.
    std::optional<std::chrono::steady_clock::time_point> lastHeard;
    // The read-out that follows a silence must not tell the user that an
    // unsaved change was stored.
    bool resumingAfterSilence = false;
};
