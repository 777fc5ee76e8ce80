// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/transfer_texts.h"
#include "support/link_fixture.h"

#include <QSignalSpy>
#include <QtTest>

Q_DECLARE_METATYPE(std::vector<SettingCheck>)
Q_DECLARE_METATYPE(TransferRefusal)

namespace {

using Outcome = SettingCheck::Outcome;

// Pump ticks until the transfer has said how it ended, answering each
// question with `answers` (letter to reply line; no entry, no answer).
std::vector<SettingCheck> runTransfer(LinkFixture &f, const QHash<char, QByteArray> &answers,
                                      QByteArray &sent)
{
    QSignalSpy given(&f.link, &UnitLink::settingsGiven);
    const qsizetype before = f.port->writes.size();
    for (int tick = 0; tick < 500 && given.isEmpty(); ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
        const QByteArray last = f.port->writes.isEmpty() ? QByteArray() : f.port->writes.last();
        if (f.port->writes.size() > before && last.endsWith('\r') && last.size() == 3
            && last.startsWith('/') && answers.contains(last[1]))
            f.receive(answers.value(last[1]));
    }
    for (qsizetype i = before; i < f.port->writes.size(); ++i)
        sent += f.port->writes[i];
    return given.isEmpty() ? std::vector<SettingCheck>{}
                           : given.first().first().value<std::vector<SettingCheck>>();
}

} // namespace

class TestSettingsTransfer : public QObject {
    Q_OBJECT
private slots:
    void readOutCompleteness();
    void changesGoOutWholeThenAreChecked();
    void pacedCommandsAreNeverCutShort();
    void refusals_data();
    void refusals();
    void silenceEndsTheTransfer();
    void reportOutsideRangeIsNotTaken();
    void engineStartingStopsTheRest();
};

void TestSettingsTransfer::readOutCompleteness()
{
    LinkFixture whole;
    QSignalSpy readOut(&whole.link, &UnitLink::settingsReadOut);
    connectAndReadOut(whole);
    QVERIFY(whole.link.settingsRead());
    QCOMPARE(readOut.size(), 1);

    LinkFixture partial;
    connectAndReadOut(partial, 0x21, {"/m\r"});
    QCOMPARE(partial.link.phase(), LinkPhase::Streaming);
    QVERIFY(!partial.link.settingsRead());

    whole.port->vanish();
    QVERIFY(!whole.link.settingsRead());
}

// Three changes in the window's order, each whole, then one question for
// each; the unit takes two and keeps its own value for the third.
void TestSettingsTransfer::changesGoOutWholeThenAreChecked()
{
    LinkFixture f;
    connectAndReadOut(f);
    QSignalSpy stored(&f.link, &UnitLink::storeStateChanged);
    const TransferRefusal refusal = f.link.giveSettings(
        {{Setting::StartDelay, 4}, {Setting::MaxRpm, 12}, {Setting::MaxAdvance, 25}});
    QCOMPARE(refusal, TransferRefusal::None);

    QByteArray sent;
    const std::vector<SettingCheck> checks =
        runTransfer(f, {{'d', "d04\r"}, {'m', "m0E\r"}, {'n', "n19\r"}}, sent);
    // The refused value goes back as the read-out's echo does.
    QCOMPARE(sent, QByteArray("/D4\r/M12\r/N25\r/d\r/m\r/M14\r/n\r"));
    QCOMPARE(checks.size(), size_t(3));
    QCOMPARE(checks[0].outcome, Outcome::Taken);
    QCOMPARE(checks[1].outcome, Outcome::Refused);
    QCOMPARE(checks[1].reported, std::optional<int>(14));
    QCOMPARE(checks[2].outcome, Outcome::Taken);
    QVERIFY(f.link.state().unsavedChanges);
    QCOMPARE(stored.first().first().toBool(), true);
}

// A revision that takes one character at a time: every command still
// arrives whole, even with the poll cycle ticking in between; an unanswered
// question is asked twice, a negative shift cannot be asked.
void TestSettingsTransfer::pacedCommandsAreNeverCutShort()
{
    LinkFixture f;
    connectAndReadOut(f, 0x20);
    f.link.giveSettings({{Setting::AdvanceShift, -3}, {Setting::Led, 2}});
    QSignalSpy given(&f.link, &UnitLink::settingsGiven);
    QByteArray sent;
    for (int tick = 0; tick < 200 && given.isEmpty(); ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        if (tick % 5 == 0)
            f.link.pollNext();
        f.link.transmitNext();
    }
    for (const QByteArray &w : f.port->writes)
        sent += w;
    QVERIFY2(sent.contains("/C-3\r/L2\r"), sent.constData());
    QCOMPARE(sent.count("/l\r"), 1 + 2); // the read-out's own, then two rounds
    QCOMPARE(sent.count("/c\r"), 1); // the read-out's own
    QCOMPARE(given.size(), 1);
    const auto checks = given.first().first().value<std::vector<SettingCheck>>();
    QCOMPARE(checks[0].outcome, Outcome::NotReadable);
    QCOMPARE(checks[1].outcome, Outcome::NoAnswer);
}

void TestSettingsTransfer::refusals_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<TransferRefusal>("refusal");
    QTest::newRow("closed") << QByteArray("closed") << TransferRefusal::NotConnected;
    QTest::newRow("not read out") << QByteArray("no max rpm") << TransferRefusal::NotReadOut;
    QTest::newRow("engine running") << QByteArray("running") << TransferRefusal::EngineRunning;
    QTest::newRow("another transfer") << QByteArray("busy") << TransferRefusal::Busy;
    QTest::newRow("unit silent") << QByteArray("silent") << TransferRefusal::NotConnected;
    QTest::newRow("read again after a silence") << QByteArray("reread") << TransferRefusal::NotReadOut;
}

void TestSettingsTransfer::refusals()
{
    QFETCH(QByteArray, before);
    QFETCH(TransferRefusal, refusal);
    LinkFixture f;
    if (before != "closed")
        connectAndReadOut(f, 0x21, before == "no max rpm" ? QByteArrayList{"/m\r"} : QByteArrayList{});
    if (before == "running")
        f.receive("=0A50120000962DC864\r");
    if (before == "busy")
        f.link.giveSettings({{Setting::Led, 2}});
    if (before == "silent" || before == "reread") {
        f.receive("/I1\r");
        f.link.checkSilence();
        f.advance(std::chrono::seconds(3));
        f.link.checkSilence();
    }
    if (before == "reread")
        f.receive("p40\r");
    const qsizetype writes = f.port->writes.size();
    const QByteArray queued = f.link.queued();

    QCOMPARE(f.link.giveSettings({{Setting::StartDelay, 5}}), refusal);
    f.drainQueue();
    QCOMPARE(f.port->writes.mid(writes).join().count("/D5"), 0);
    QVERIFY(f.link.state().setting(Setting::StartDelay).position != 5);
    QCOMPARE(f.link.queued().isEmpty(), queued.isEmpty());
}

// The unit falls silent mid-transfer: whatever it had not confirmed is
// reported so, sent or not.
void TestSettingsTransfer::silenceEndsTheTransfer()
{
    LinkFixture f;
    connectAndReadOut(f);
    f.receive("/I1\r");
    f.link.checkSilence();
    f.link.giveSettings({{Setting::StartDelay, 4}, {Setting::MaxRpm, 12}});
    QSignalSpy given(&f.link, &UnitLink::settingsGiven);
    f.link.transmitNext();
    f.advance(std::chrono::seconds(3));
    f.link.checkSilence();
    QCOMPARE(given.size(), 1);
    const auto checks = given.first().first().value<std::vector<SettingCheck>>();
    QCOMPARE(checks[0].outcome, Outcome::UnitSilent);
    QCOMPARE(checks[1].outcome, Outcome::UnitSilent);
    QCOMPARE(outcomeText(checks[0]), QStringLiteral("NOT CONFIRMED: the unit fell silent"));
    QVERIFY(!allTaken(checks));
}

// A report beyond the setting's range is never the value that was given,
// even where limiting it for the box would make it look so.
void TestSettingsTransfer::reportOutsideRangeIsNotTaken()
{
    LinkFixture f;
    connectAndReadOut(f);
    f.link.giveSettings({{Setting::MaxRpm, 16}});
    QByteArray sent;
    const std::vector<SettingCheck> checks = runTransfer(f, {{'m', "mFF\r"}}, sent);
    QCOMPARE(checks.size(), size_t(1));
    QCOMPARE(checks[0].outcome, Outcome::Refused);
    QCOMPARE(checks[0].reported, std::optional<int>(255));
}

void TestSettingsTransfer::engineStartingStopsTheRest()
{
    LinkFixture f;
    connectAndReadOut(f);
    f.link.giveSettings({{Setting::StartDelay, 4}, {Setting::MaxRpm, 12}});
    QSignalSpy given(&f.link, &UnitLink::settingsGiven);
    f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
    f.link.transmitNext();
    f.receive("=0A50120000962DC864\r");
    for (int tick = 0; tick < 20; ++tick) {
        f.advance(std::chrono::milliseconds(UnitLink::pumpMs));
        f.link.transmitNext();
    }
    QVERIFY(!f.port->writes.join().contains("/M12"));
    QCOMPARE(given.size(), 1);
    const auto checks = given.first().first().value<std::vector<SettingCheck>>();
    QCOMPARE(checks[1].outcome, Outcome::NotSent);
}

QTEST_GUILESS_MAIN(TestSettingsTransfer)
#include "test_settings_transfer.moc"
