// Remote control's view of the real main window: commands through the menu items, the state
// read back, the change signal, and the notices of the desktop set-up.
#include "appfixture.h"
#include "balloonhint.h"
#include "desktopsession.h"
#include "privatebus.h"
#include "remotecontrol.h"
#include "tfrmmainremote.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

class RemoteTargetTest : public AppFixture {
protected:
    std::unique_ptr<TfrmmainRemote> remote;

    void startWith(const QByteArray& ini) {
        writeIni(ini);
        start();
        remote = std::make_unique<TfrmmainRemote>(*frm);
    }
    ~RemoteTargetTest() override { remote.reset(); }

    CommandOutcome::Result run(RemoteCommand c) { return remote->run(c).result; }
    QString line() { return StatusLine(remote->status()); }
};

const QByteArray FiveMinutes = "[Group]\r\nName1=开场致辞\r\nTime1=05:00\r\nName2=Q&A\r\n"
                               "Time2=00:03\r\n";

TEST_F(RemoteTargetTest, CountDownReadsBackInEveryPhase) {
    startWith(FiveMinutes);
    EXPECT_EQ(line(), QStringLiteral("ready 1 开场致辞 05:00 remaining"));
    EXPECT_EQ(remote->status().displayMode, 0);

    EXPECT_EQ(run(RemoteCommand::Start), CommandOutcome::Done);
    EXPECT_TRUE(running());
    seconds(108);
    EXPECT_EQ(line(), QStringLiteral("running 1 开场致辞 03:12 remaining"));
    EXPECT_EQ(remote->status().elapsedSec, 108);

    EXPECT_EQ(run(RemoteCommand::Pause), CommandOutcome::Done);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("暂停"));
    EXPECT_EQ(menu().N_pause->text(), QStringLiteral("继续"));
    clock.advanceMs(5000); // the engine is off: no tick arrives
    EXPECT_EQ(line(), QStringLiteral("paused 1 开场致辞 03:12 remaining"));

    EXPECT_EQ(run(RemoteCommand::Pause), CommandOutcome::Done); // continue
    EXPECT_EQ(frm->windowTitle(), QString());
    seconds(7); // and the first tick counts, as the wall clock has moved on meanwhile
    EXPECT_EQ(run(RemoteCommand::Stop), CommandOutcome::Done);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("实际用时:"));
    EXPECT_EQ(clockText(), QStringLiteral("1:56"));
    EXPECT_EQ(line(), QStringLiteral("result 1 开场致辞 01:56 used"));

    EXPECT_EQ(run(RemoteCommand::Next), CommandOutcome::Done);
    // The result was stage 1's; of stage 2 nothing is used yet.
    EXPECT_EQ(line(), QStringLiteral("result 2 Q&A 00:00 used"));
    EXPECT_EQ(remote->status().remainingSec, 3);
    EXPECT_EQ(run(RemoteCommand::Start), CommandOutcome::Done); // 清零
    EXPECT_EQ(line(), QStringLiteral("ready 2 Q&A 00:03 remaining"));
}

TEST_F(RemoteTargetTest, OvertimeAndCountUpReadBackAsTheClockShowsThem) {
    startWith(FiveMinutes + "[Normal]\r\nAutoStop=0\r\nFlash=0\r\n");
    run(RemoteCommand::Next);
    run(RemoteCommand::Start);
    seconds(3 + 42);
    EXPECT_EQ(line(), QStringLiteral("running 2 Q&A 00:42 overtime"));
    EXPECT_EQ(remote->status().elapsedSec, 45);
    EXPECT_EQ(remote->status().remainingSec, -42);
    run(RemoteCommand::Stop);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("超 时:"));
    EXPECT_EQ(line(), QStringLiteral("result 2 Q&A 00:42 overtime"));

    frm.reset();
    remote.reset();
    startWith(FiveMinutes + "[Normal]\r\njsMode=1\r\n");
    EXPECT_EQ(line(), QStringLiteral("ready 1 开场致辞 00:00 elapsed"));
    run(RemoteCommand::Start);
    seconds(190);
    EXPECT_EQ(line(), QStringLiteral("running 1 开场致辞 03:10 elapsed"));
    EXPECT_EQ(remote->status().remainingSec, 110);
    run(RemoteCommand::Stop);
    EXPECT_EQ(line(), QStringLiteral("result 1 开场致辞 03:10 used"));
}

TEST_F(RemoteTargetTest, DisabledItemRefusesAndNothingChanges) {
    startWith(FiveMinutes);
    struct Case {
        RemoteCommand command;
        const char* item;
    };
    // In Ready: pause and stop are disabled.
    for (const Case c :
         {Case{RemoteCommand::Pause, "暂停"}, Case{RemoteCommand::Stop, "停止/显示"}}) {
        const CommandOutcome outcome = remote->run(c.command);
        EXPECT_EQ(outcome.result, CommandOutcome::Disabled);
        EXPECT_EQ(outcome.item, QString::fromUtf8(c.item));
    }
    EXPECT_EQ(line(), QStringLiteral("ready 1 开场致辞 05:00 remaining"));
    EXPECT_FALSE(running());

    // While running the stage cannot change; while paused the start item is disabled too.
    run(RemoteCommand::Start);
    seconds(2);
    for (RemoteCommand c : {RemoteCommand::Next, RemoteCommand::Previous})
        EXPECT_EQ(run(c), CommandOutcome::Disabled);
    run(RemoteCommand::Pause);
    EXPECT_EQ(run(RemoteCommand::Start), CommandOutcome::Disabled);
    EXPECT_EQ(line(), QStringLiteral("paused 1 开场致辞 04:58 remaining"));
    EXPECT_TRUE(frm->IsShown());
    EXPECT_EQ(RemoteControl::RefusalText(remote->run(RemoteCommand::Start), RunPhase::Paused),
              QStringLiteral("「开始/隐藏」现在不可用，命令没有执行（当前状态：paused）。"));
}

TEST_F(RemoteTargetTest, OpenDialogRefusesEveryCommand) {
    startWith(FiveMinutes);
    CommandOutcome outcome;
    QTimer::singleShot(50, [&] {
        outcome = remote->run(RemoteCommand::Start);
        QApplication::activeModalWidget()->close();
    });
    QMessageBox::information(frm.get(), QStringLiteral("Pendra"), QStringLiteral("modal"));
    EXPECT_EQ(outcome.result, CommandOutcome::Busy);
    EXPECT_FALSE(running());
    EXPECT_EQ(run(RemoteCommand::Start), CommandOutcome::Done); // closed: accepted again
}

TEST_F(RemoteTargetTest, ChangeSignalOncePerChangeWhoeverCausedIt) {
    startWith(FiveMinutes + "[Normal]\r\nAutoStop=1\r\n");
    QSignalSpy changed(remote.get(), &RemoteTarget::stateChanged);
    const auto settle = [&] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    run(RemoteCommand::Start);
    settle();
    EXPECT_EQ(changed.count(), 1);
    seconds(3); // counted seconds are no change of state
    settle();
    EXPECT_EQ(changed.count(), 1);
    run(RemoteCommand::Stop);
    settle();
    EXPECT_EQ(changed.count(), 2);
    run(RemoteCommand::Pause); // refused: nothing happened
    settle();
    EXPECT_EQ(changed.count(), 2);

    // The popup menu and the engine's own stop at the over moment count alike.
    click(menu().N_start); // 清零
    settle();
    click(menu().n_next);
    settle();
    EXPECT_EQ(changed.count(), 4);
    click(menu().N_start);
    settle();
    seconds(3);
    settle();
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("超 时:"));
    EXPECT_EQ(changed.count(), 6);
    EXPECT_EQ(remote->status().phase, RunPhase::Result);
}

// The desktop set-up on a session bus of the test's own.
class DesktopLinkTest : public RemoteTargetTest {
protected:
    PrivateBus bus;
    QDBusConnection connect(const char* name) {
        return QDBusConnection::connectToBus(bus.address, QString::fromLatin1(name));
    }
    ~DesktopLinkTest() override {
        for (const char* name : {"first", "second"})
            QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
    }
};

TEST_F(DesktopLinkTest, WithoutGlobalHotkeysTheBalloonNamesTheCommands) {
    ASSERT_TRUE(bus.ok());
    writeIni({});
    frm = std::make_unique<Tfrmmain>(AppServices{&clock, &sound, &hotkeys});
    frm->show();
    const DesktopLink link(*frm, QStringLiteral("wayland"), connect("first"));
    EXPECT_FALSE(frm->HotkeyTimer()->isActive()); // no registration to fail
    ASSERT_TRUE(Eventually([this] { return frm->Balloon()->isVisible(); }, 10000));
    EXPECT_EQ(frm->Balloon()->text(), DesktopLink::NoHotkeysNotice());
    EXPECT_TRUE(frm->Balloon()->text().contains(QStringLiteral("pendra --start")));
}

TEST_F(DesktopLinkTest, SecondWindowSaysWhichWindowTakesTheCommands) {
    ASSERT_TRUE(bus.ok());
    startWith(FiveMinutes);
    RemoteControl first(*remote);
    ASSERT_EQ(first.publish(connect("first")), RemoteControl::Serving);

    QTemporaryDir otherDir;
    QDir::setCurrent(otherDir.path());
    Tfrmmain second(AppServices{&clock, &sound, &hotkeys});
    second.show();
    // Its one-second timer registers the hotkeys; they are the first window's: they fail.
    ASSERT_TRUE(Eventually([&] { return !second.HotkeyTimer()->isActive(); }));
    const QString failures = second.Balloon()->text();
    ASSERT_FALSE(failures.isEmpty());
    {
        const DesktopLink link(second, QStringLiteral("xcb"), connect("second"));
        ASSERT_TRUE(Eventually([&] { return second.Balloon()->text() != failures; }, 10000));
        EXPECT_EQ(second.Balloon()->text(),
                  failures + QStringLiteral("\r\n\r\n") + DesktopLink::SecondWindowNotice());
    }
    EXPECT_FALSE(frm->Balloon()->isVisible()); // the first window says nothing
}

TEST_F(DesktopLinkTest, ClosedWindowLeavesTheBusAndRefusesWhatStillArrives) {
    ASSERT_TRUE(bus.ok());
    writeIni(FiveMinutes);
    start();
    const QDBusConnection connection = connect("first");
    const DesktopLink link(*frm, QStringLiteral("xcb"), connection);
    QDBusConnectionInterface* names = connection.interface();
    EXPECT_TRUE(names->isServiceRegistered(QStringLiteral("org.pendra.Pendra")).value());
    frm->close();
    EXPECT_FALSE(names->isServiceRegistered(QStringLiteral("org.pendra.Pendra")).value());
    TfrmmainRemote afterwards(*frm);
    for (RemoteCommand c : {RemoteCommand::Start, RemoteCommand::Next, RemoteCommand::Previous})
        EXPECT_EQ(afterwards.run(c).result, CommandOutcome::Closed);
    EXPECT_EQ(afterwards.status().stageName, QString());
}

} // namespace
