// SPDX-License-Identifier: GPL-3.0-or-later
// The console by keys alone: the order Tab visits the controls in, the
// editors' keys against their arrow buttons, the buttons' keys, the menu keys,
// and a whole session from the port button to a saved settings file.

#include "gauges/packed_color.h"
#include "record/recorder.h"
#include "settings/settings_file.h"
#include "settings/settings_keeper.h"
#include "support/link_fixture.h"
#include "ui/about_action.h"
#include "ui/color_button.h"
#include "ui/keyboard_context_menu.h"
#include "ui/recording_controls.h"
#include "ui/settings_actions.h"
#include "ui/wiring_window.h"

#include "torvane_version.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// The window on top of the link, with the menu the program gives it, shown
// and active before the test begins.
struct KeyboardFixture : WindowFixture {
    QTemporaryDir dir;
    SettingsKeeper keeper{link, dir.filePath(QStringLiteral("backups"))};
    Recorder *recorder = attachRecorder(window, dir.filePath(QStringLiteral("recordings")));

    KeyboardFixture()
    {
        attachSettingsActions(window, keeper);
        attachAboutAction(window);
        attachContextMenuKeys(window);
        window.show();
        window.activateWindow();
    }
    ~KeyboardFixture()
    {
        if (window.wiringWindow)
            window.wiringWindow->close();
    }

    QString focused() const
    {
        const QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }
    // As the user's key arrives: at whatever has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : QApplication::activeWindow(), key, modifiers);
    }
    bool tabTo(const QString &name)
    {
        for (int i = 0; i < 30 && focused() != name; ++i)
            press(Qt::Key_Tab);
        return focused() == name;
    }
    // The names Tab visits from the window itself, once round.
    QStringList tabRound()
    {
        window.setFocus();
        QStringList names;
        for (int i = 0; i < 30; ++i) {
            press(Qt::Key_Tab);
            if (names.contains(focused()))
                break;
            names << focused();
        }
        return names;
    }
    QScrollBar *editor(Setting setting) const { return window.settingRows[int(setting)].editor; }
};

// A click on one of an editor's two arrow buttons: -1 the left, +1 the right.
void clickArrow(QScrollBar *editor, int side)
{
    const int y = editor->height() / 2;
    QTest::mouseClick(editor, Qt::LeftButton, {},
                      side > 0 ? QPoint(editor->width() - 3, y) : QPoint(2, y));
}

// Answers the next modal dialog from inside its own loop, by keys: a file
// dialog gets `fileName` typed over its name and Enter; anything else (a
// refusal) is closed, and the test sees no file.
class DialogAnswer : public QObject {
public:
    explicit DialogAnswer(const QString &fileName) : fileName(fileName)
    {
        connect(&poll, &QTimer::timeout, this, &DialogAnswer::answer);
        poll.start(10);
    }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        poll.stop();
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog)
            return (void)modal->close();
        QWidget *typedInto = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QTest::keyClick(typedInto, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(typedInto, fileName);
        QTest::keyClick(typedInto, Qt::Key_Return);
    }

    QString fileName;
    QTimer poll;
};

// TORVANE_SCREENSHOT_KEYBOARD=base saves the window as base-TAG.png.
void screenshot(QWidget &window, const char *tag)
{
    if (const QString base = qEnvironmentVariable("TORVANE_SCREENSHOT_KEYBOARD"); !base.isEmpty())
        window.grab().save(QStringLiteral("%1-%2.png").arg(base, QLatin1String(tag)));
}

const QStringList portButtons{"com1", "com2", "com3", "com4"};
const QStringList editors{"cyclescroll",    "ledscroll",   "pprscroll",
                          "conshiftscroll", "maxrpmscroll", "maxadvancescroll"};

} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void tabOrder_data();
    void tabOrder();
    void editorKeysMatchArrowButtons_data();
    void editorKeysMatchArrowButtons();
    void menuKeys_data();
    void menuKeys();
    void wholeSessionByKeys();

private:
    QTemporaryDir home;
};

// The settings' save dialog starts in the documents folder: keep it here.
void TestKeyboard::initTestCase()
{
    QVERIFY(home.isValid());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toLocal8Bit());
}

// Hidden controls drop out of the one chain; the display boxes never join it.
void TestKeyboard::tabOrder_data()
{
    QTest::addColumn<bool>("readOut");
    QTest::addColumn<bool>("deviceLost");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("not connected") << false << false
                                   << portButtons + QStringList{"storebutton", "Command4"};
    QTest::newRow("settings read") << true << false << editors + QStringList{"storebutton"};
    QTest::newRow("device lost after the read-out")
        << true << true << portButtons + editors + QStringList{"storebutton", "Command4"};
}

void TestKeyboard::tabOrder()
{
    QFETCH(bool, readOut);
    QFETCH(bool, deviceLost);
    QFETCH(QStringList, names);
    KeyboardFixture f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    if (readOut)
        connectAndReadOut(f);
    if (deviceLost)
        f.port->vanish();
    QCOMPARE(f.tabRound(), names);
    f.press(Qt::Key_Backtab);
    QCOMPARE(f.focused(), names.last());
}

// A key moves an editor as one click on an arrow button does: the same bytes
// on the wire, nothing at the end of the range, and nothing for the keys
// that would jump.
void TestKeyboard::editorKeysMatchArrowButtons_data()
{
    QTest::addColumn<Setting>("setting");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("arrow");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("Right") << Setting::StartDelay << Qt::Key_Right << 1 << +1 << QByteArray("/D3\r");
    QTest::newRow("Up") << Setting::PulsesPerRev << Qt::Key_Up << 1 << +1 << QByteArray("/T2\r");
    QTest::newRow("Page Up") << Setting::MaxRpm << Qt::Key_PageUp << 1 << +1
                             << QByteArray("/M15\r");
    QTest::newRow("Left") << Setting::MaxAdvance << Qt::Key_Left << 1 << -1
                          << QByteArray("/N29\r");
    QTest::newRow("Down below zero") << Setting::AdvanceShift << Qt::Key_Down << 4 << -1
                                     << QByteArray("/C2\r/C1\r/C0\r/C-1\r");
    QTest::newRow("Page Down") << Setting::StartDelay << Qt::Key_PageDown << 1 << -1
                               << QByteArray("/D1\r");
    QTest::newRow("Left past the minimum") << Setting::Led << Qt::Key_Left << 2 << -1
                                           << QByteArray("/L0\r");
    QTest::newRow("Right past the maximum") << Setting::PulsesPerRev << Qt::Key_Right << 3 << +1
                                            << QByteArray("/T2\r");
    QTest::newRow("Home") << Setting::MaxRpm << Qt::Key_Home << 1 << 0 << QByteArray();
    QTest::newRow("End") << Setting::MaxAdvance << Qt::Key_End << 1 << 0 << QByteArray();
}

void TestKeyboard::editorKeysMatchArrowButtons()
{
    QFETCH(Setting, setting);
    QFETCH(Qt::Key, key);
    QFETCH(int, presses);
    QFETCH(int, arrow);

    KeyboardFixture byKey;
    QVERIFY(QTest::qWaitForWindowActive(&byKey.window));
    connectAndReadOut(byKey);
    byKey.editor(setting)->setFocus();
    QByteArray keyed;
    for (int i = 0; i < presses; ++i) {
        byKey.press(key);
        keyed += byKey.drainQueue();
    }
    QTEST(keyed, "sent");

    KeyboardFixture byMouse;
    connectAndReadOut(byMouse);
    QByteArray clicked;
    for (int i = 0; i < presses && arrow != 0; ++i) {
        clickArrow(byMouse.editor(setting), arrow);
        clicked += byMouse.drainQueue();
    }
    QCOMPARE(keyed, clicked);
    QCOMPARE(byKey.editor(setting)->value(), byMouse.editor(setting)->value());
}

// Either key opens the right-click menu where the focus is; it holds every
// action a key reaches, with its key, and About.
void TestKeyboard::menuKeys_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::newRow("Menu") << Qt::Key_Menu << Qt::KeyboardModifiers();
    QTest::newRow("Shift+F10") << Qt::Key_F10 << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestKeyboard::menuKeys()
{
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    KeyboardFixture f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QVERIFY(f.tabTo(QStringLiteral("com3")));
    f.press(key, modifiers);
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QVERIFY(menu);
    const QPoint focusCentre = f.window.portButtons[2]->mapToGlobal(
        f.window.portButtons[2]->rect().center());
    QVERIFY(menu->geometry().adjusted(-1, -1, 1, 1).contains(focusCentre));
    QVERIFY(menu->activeAction());

    QHash<QString, QAction *> byName;
    for (QAction *action : menu->actions())
        byName.insert(action->objectName(), action);
    for (const char *name : {"saveSettingsAction", "loadSettingsAction", "printSettingsAction",
                             "recordAction", "aboutAction"})
        QVERIFY2(byName.contains(QLatin1String(name)), name);
    for (QAction *action : menu->actions())
        QVERIFY(action->shortcut().isEmpty() || action->isShortcutVisibleInContextMenu());
    QAction *record = byName.value(QStringLiteral("recordAction"));
    QVERIFY(record->isCheckable());
    QCOMPARE(record->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));

    menu->setActiveAction(byName.value(QStringLiteral("aboutAction")));
    QTest::keyClick(menu, Qt::Key_Return);
    QVERIFY(!QApplication::activePopupWidget());
    auto *about = f.window.findChild<QMessageBox *>(QStringLiteral("aboutBox"));
    QVERIFY(about);
    for (const char *fact : {TORVANE_VERSION, "GPL-3.0-or-later", TORVANE_DOCDIR, "README"})
        QVERIFY2(about->text().contains(QLatin1String(fact)), fact);
    about->close();
}

// From the wiring picture to a saved settings file, every step a key.
void TestKeyboard::wholeSessionByKeys()
{
    KeyboardFixture f;
    QVERIFY(QTest::qWaitForWindowActive(&f.window));

    // The wiring picture first: CONNECTION INFO goes with the connection.
    // Outside a dialog Qt's push button takes Space only: Enter is the console's own.
    QVERIFY(f.tabTo(QStringLiteral("Command4")));
    f.press(Qt::Key_Enter);
    QPointer<WiringWindow> picture = f.window.wiringWindow;
    QVERIFY(picture && picture->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(picture));
    f.press(Qt::Key_Escape);
    QVERIFY(!picture || !picture->isVisible());
    // The window manager hands the focus back.
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));

    QVERIFY(f.tabTo(QStringLiteral("com1")));
    screenshot(f.window, "button");
    f.press(Qt::Key_Space);
    QVERIFY(f.port->isOpen());
    f.receive("/I0\r");
    f.receive("u21\r");
    QVERIFY(f.window.portButtons[0]->isHidden());
    // Not handed on to STORE CONFIG with the port buttons gone.
    QCOMPARE(f.focused(), QStringLiteral("dashform"));
    answerReadOut(f);
    QVERIFY(f.link.settingsRead());

    QVERIFY(f.tabTo(QStringLiteral("maxadvancescroll")));
    screenshot(f.window, "editor");
    f.press(Qt::Key_Right);
    QCOMPARE(f.drainQueue(), QByteArray("/N31\r"));
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::green);

    QVERIFY(f.tabTo(QStringLiteral("storebutton")));
    screenshot(f.window, "store");
    f.press(Qt::Key_Return);
    QCOMPARE(f.drainQueue(), QByteArray("/W\r"));
    f.receive("/W\r");
    QCOMPARE(f.window.storeButton->backColor(), PackedColor::darkGrey);

    f.press(Qt::Key_R, Qt::ControlModifier);
    QCOMPARE(f.recorder->state(), Recorder::State::Recording);
    QVERIFY(f.window.findChild<QAction *>(QStringLiteral("recordAction"))->isChecked());

    const QString saved =
        QDir(SettingsKeeper::defaultFolder()).filePath(QStringLiteral("by-keys.txt"));
    {
        DialogAnswer answer(QStringLiteral("by-keys.txt"));
        f.press(Qt::Key_S, Qt::ControlModifier);
    }
    const SettingsFileReading reading = readSettingsFile(saved);
    QVERIFY2(reading.file, qPrintable(reading.error));
    QCOMPARE(reading.file->values[int(Setting::MaxAdvance)], std::optional<int>(31));
}

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
