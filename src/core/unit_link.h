// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/line_framer.h"
#include "core/settings_transfer.h"
#include "core/unit_state.h"
#include "core/wiring_diagnosis.h"
#include "protocol/decoded_line.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class SerialPort;

// The conversation with one ignition unit, without a window: the port, the
// framing of received lines, the command queue and its transmit pump, the
// start-up handshake and its retry, the poll cycle that reads the unit's
// values, and the watch for a unit that falls silent.
//
// Everything learnt is kept in a typed UnitState and announced by signals; a
// window draws from them and forwards the user's actions to the slots below.
// The timers run on their own; tests call the tick methods instead and
// replace `clock`.
class UnitLink : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr int pollMs = 300;
    static constexpr int pumpMs = 60;
    static constexpr int handshakeRetryMs = 500;
    // A replugged adapter often appears before it can be opened, and
    // ModemManager may hold it for a few seconds.
    static constexpr int adapterRetryMs = 500;
    // Older units need this long after some commands before the next.
    static constexpr std::chrono::milliseconds commandGap{250};
    // While the link is up the unit sends several lines a second (telemetry,
    // or the answers to the poll cycle's "/p"), so this much quiet means it
    // lost power or its wiring while the adapter stayed plugged in.
    static constexpr std::chrono::seconds silenceLimit{3};

    // Takes ownership of the port.
    explicit UnitLink(SerialPort *port, QObject *parent = nullptr);
    ~UnitLink() override;

    const UnitState &state() const { return unit; }
    LinkPhase phase() const { return currentPhase; }
    QString status() const { return statusText; }
    SerialPort &port() const { return *serial; }
    // The command waiting for the pump; a new command replaces it.
    const QByteArray &queued() const { return queue; }
    bool retryingHandshake() const { return handshakeRetryTimer.isActive(); }
    bool polling() const { return pollTimer.isActive(); }
    // What is probably wrong with the cable while the unit does not answer.
    WiringHint wiringHint() const { return currentWiringHint; }

    Clock clock = std::chrono::steady_clock::now;

    // The user's actions.
    // Closes any open port and opens `portNumber`. COM4 lets a command still
    // queued go out first: the retry queues the start-up commands once the
    // queue is empty.
    void openPort(int16_t portNumber);
    void closePort();
    // Back to the state before any connection.
    void reset();
    void editSetting(Setting setting, int position);
    void storeSettings();
    void selectAdvanceMode(AdvanceMode mode);
    // Trims the advance by one step, down (-1) or up (+1), in manual mode.
    void trimAdvance(int direction);
    // Gives the unit each setting as an editor move would, one whole command
    // after another, then asks for each again; settingsGiven tells the
    // outcome. Nothing is sent when refused.
    TransferRefusal giveSettings(const std::vector<SettingChange> &changes);
    TransferRefusal transferRefusal() const;

    // Timer ticks; public so tests can drive them.
    void transmitNext();
    void pollNext();
    void retryHandshake();
    void checkSilence();
    void retryAdapter();
    void checkWiring();

    // After a lost connection, open the same adapter again as soon as it is
    // back (on by default).
    void setReconnecting(bool on);
    // The adapter a lost connection waits for; empty when none.
    const QString &awaitedAdapter() const { return adapterAwaited; }

signals:
    void settingChanged(Setting setting);
    void figuresChanged(const EngineFigures &figures);
    void propellerAngleChanged(int16_t degrees);
    void engineRunningChanged(bool running);
    // Firmware revision, temperatures, the red line or shift availability.
    void readingsChanged();
    void storeStateChanged(bool unsavedChanges);
    void advanceModeSelected(AdvanceMode mode);
    void phaseChanged(LinkPhase phase);
    void statusChanged(const QString &text);
    // The unit answered the start-up commands: a connection begins.
    void unitIdentified();
    // Every setting was reported by the read-out that just ended.
    void settingsReadOut();
    // The unit acknowledged STORE CONFIG.
    void settingsStored();
    void settingsGiven(const std::vector<SettingCheck> &checks);
    // The link starts or stops waiting for a lost adapter (empty: stopped).
    void adapterAwaitedChanged(const QString &identity);
    void wiringHintChanged(WiringHint hint);
    // Every complete line received from the unit, decoded.
    void lineDecoded(const DecodedLine &line);

private:
    // Receiving.
    void readPort();
    void handleLine(const DecodedLine &line);
    void applyTelemetry(const TelemetryRecord &record);
    void applyAcknowledgement(const Acknowledgement &ack);
    void applyReply(const ReplyRecord &reply);
    void applySettingReport(Setting setting, const ReplyRecord &reply, bool echoBack);
    void recoverFromSilence(const DecodedLine &line);

    // Connection.
    void armHandshake(const QByteArray &commands);
    void armStartupHandshake();
    void stopHandshake();
    void identified();
    void requestStream();
    void portLost();
    void unitFellSilent();
    void forgetUnit();
    void forgetSettingsRead();
    void beginConnection();
    void waitForAdapter();
    void stopWaitingForAdapter();

    // Sending.
    void sendSetting(Setting setting);
    void finishGap();
    void sendFirstCharacter();
    void feedTransfer();
    void askAgain();
    bool awaitingAnswers() const;
    void checkTransferredSetting(Setting setting, int reported);
    void abandonTransfer();
    void finishTransfer();

    // State changes that are announced.
    void setPhase(LinkPhase phase);
    void setStatus(const QString &text);
    void setStatusWithPort(const QString &prefix);
    void setUnsaved(bool unsaved);
    void setStreamOn(bool on);
    void setEngineRunning(bool running);
    void updateEngineRunning();
    void setFigures(const EngineFigures &figures);
    void setFigure(int16_t EngineFigures::*figure, int16_t value);
    void clearAsks(PolledValue value);
    void resetAsks();
    bool identifiedPhase() const;

    SerialPort *serial;
    LineFramer framer;
    UnitState unit;
    LinkPhase currentPhase = LinkPhase::Closed;
    QString statusText;
    // The unit streams telemetry, or was asked to.
    bool streamOn = false;
    // A read-out after a silence: the unit may still hold an unsaved change,
    // so its end leaves STORE CONFIG as it is.
    bool rereadAfterSilence = false;

    // Settings reported since the read-out began.
    std::array<bool, settingCount> reportedInReadOut{};

    struct Transfer {
        std::vector<SettingCheck> checks;
        size_t nextToSend = 0;
        int round = 0;
        std::deque<QByteArray> questions;
        std::chrono::steady_clock::time_point answerDeadline;
    };
    std::optional<Transfer> transfer;

    QByteArray queue;
    // Repeated by the retry while the unit has not answered them.
    QByteArray handshakeCommands;
    // The queue as it stood when a gap began; only the gap marker it held is
    // dropped, never the first character of a command queued meanwhile.
    std::optional<QByteArray> queueAtGap;
    std::chrono::steady_clock::time_point gapEnd;

    // When a line was last heard while the stream was on; empty while it is
    // off, so the wait is counted from the stream coming on.
    std::optional<std::chrono::steady_clock::time_point> lastHeard;

    QTimer pollTimer;
    QTimer pumpTimer;
    QTimer handshakeRetryTimer;
    QTimer gapTimer;
    QTimer adapterTimer;
    bool reconnecting = true;
    QString adapterAwaited;

    WiringDiagnosis wiring;
    WiringHint currentWiringHint = WiringHint::None;
};
