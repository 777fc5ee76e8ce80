// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/arrival_waiter.h"
#include "core/command_queue.h"
#include "core/line_framer.h"
#include "core/read_out.h"
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
// framing of received lines, the start-up handshake and its retry, the poll
// cycle that reads the unit's values, and the watch for a unit that falls
// silent. Every command goes through one CommandQueue, and one ReadOut knows
// how far the reading of the unit's values has come.
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
    // The bytes still to go out: the rest of the command being sent and
    // the commands waiting.
    QByteArray queued() const { return outgoing.pendingText(); }
    // Every setting was reported by the last read-out, and the unit has not
    // fallen silent or been lost since: the settings can be saved or compared.
    bool settingsRead() const { return readOut.settingsRead(); }
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
    void checkWiring();
    void retryAdapter() { adapterWait.retry(); }

    // After a lost connection, open the same adapter again as soon as it is
    // back (on by default).
    void setReconnecting(bool on);
    // The adapter a lost connection waits for; empty when none.
    const QString &awaitedAdapter() const { return adapterAwaited; }

signals:
    void settingChanged(Setting setting);
    void figuresChanged(const FigureValues &figures);
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
    void receive(const QByteArray &bytes);
    void handleLine(const DecodedLine &line);
    void applyTelemetry(const TelemetryRecord &record);
    void applyAcknowledgement(const Acknowledgement &ack);
    void applyReply(const ReplyRecord &reply);
    void applySettingReport(Setting setting, const ReplyRecord &reply, bool echoBack);
    void recoverFromSilence(const DecodedLine &line);

    // Connection.
    void armHandshake(const std::vector<OutgoingCommand> &commands);
    void armStartupHandshake();
    void stopHandshake();
    void identified();
    void startReadOut(ReadOut::Reason reason);
    void finishReadOut();
    void requestStream();
    void portLost();
    void unitFellSilent();
    void forgetUnit();
    void beginConnection();
    void waitForAdapter();
    void stopWaitingForAdapter();
    bool reopenAwaitedAdapter();

    // Sending.
    enum class ChangedBy { User, ReadOutEcho };
    void sendSetting(Setting setting, ChangedBy by);
    void feedTransfer();
    void askAgain();
    bool awaitingAnswers() const;
    void checkTransferredSetting(Setting setting, int reported);
    void abandonTransfer();
    void endTransferUnitSilent();
    void finishTransfer();

    // State changes that are announced.
    void setPhase(LinkPhase phase);
    void setStatus(const QString &text);
    void setStatusWithPort(const QString &prefix);
    void setUnsaved(bool unsaved);
    void setStreamOn(bool on);
    void setEngineRunning(bool running);
    void updateEngineRunning();
    // Those `reported` has; the others keep their values.
    void updateFigures(const FigureValues &reported);
    bool identifiedPhase() const;

    SerialPort *serial;
    LineFramer framer;
    UnitState unit;
    LinkPhase currentPhase = LinkPhase::Closed;
    QString statusText;
    // The unit streams telemetry, or was asked to.
    bool streamOn = false;
    // The user (or a loaded file) changed a setting the unit was not told to
    // store; the echo of a read-out is no such change.
    bool userChangeUnstored = false;
    ReadOut readOut;

    struct Transfer {
        std::vector<SettingCheck> checks;
        size_t nextToSend = 0;
        int round = 0;
        std::deque<OutgoingCommand> questions;
        std::chrono::steady_clock::time_point answerDeadline;
    };
    std::optional<Transfer> transfer;

    CommandQueue outgoing;
    // Repeated by the retry while the unit has not answered them.
    std::vector<OutgoingCommand> handshakeCommands;

    // When a line was last heard while the stream was on; empty while it is
    // off, so the wait is counted from the stream coming on.
    std::optional<std::chrono::steady_clock::time_point> lastHeard;

    QTimer pollTimer;
    QTimer pumpTimer;
    QTimer handshakeRetryTimer;
    ArrivalWaiter adapterWait;
    bool reconnecting = true;
    QString adapterAwaited;

    WiringDiagnosis wiring;
    WiringHint currentWiringHint = WiringHint::None;
};
