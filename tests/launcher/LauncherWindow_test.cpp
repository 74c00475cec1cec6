// The launcher with the real client program beside it.

#include "launcher/LauncherWindow.h"

#include "support/Pump.h"

#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QTcpServer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo::launcher;

// A table that cannot be reached must be reported: the game window alone
// only appears and vanishes.
TEST(LauncherWindow, AJoinThatCannotConnectSaysWhy)
{
    int closedPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
        closedPort = probe.serverPort();
    }
    LauncherWindow window(QFileInfo(QStringLiteral(KELPO_CLIENT)).absolutePath());
    LauncherChoices c;
    c.mode = LaunchMode::Join;
    c.joinHost = QStringLiteral("127.0.0.1");
    c.joinPort = closedPort;
    window.setChoices(c);
    window.start();
    const auto told = [&] {
        const QString s = window.statusText();
        return s.contains(QStringLiteral("连不上")) && s.contains(QString::number(closedPort));
    };
    EXPECT_TRUE(kelpo::test::PumpUntil(told, 20000)) << window.statusText().toStdString();
}

// With stand-ins for both programs: a server that gives its port and waits,
// a client that ends at once as a closed window does.
TEST(LauncherWindow, TheOpenTableNoticeGoesWithTheTable)
{
    QTemporaryDir dir;
    const auto script = [&](const char* name, const QByteArray& body) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    };
    script("kelpo-room", "echo 7610; exec sleep 30");
    script("kelpo", "exit 0");
    LauncherWindow window(dir.path());
    LauncherChoices c;
    c.mode = LaunchMode::Host;
    window.setChoices(c);
    window.start();
    // Without its window the table is gone, and so must be the notice that
    // it is open on port 7610.
    EXPECT_TRUE(kelpo::test::PumpUntil([&] { return window.statusText() == QStringLiteral("牌桌已关闭。"); }))
        << window.statusText().toStdString();
}

// A server up for days may warn at every hand (its database down, say): the
// launcher keeps only the latest of it.
TEST(LauncherWindow, KeepsOnlyTheLatestServerErrors)
{
    QTemporaryDir dir;
    for (const auto& [name, body] : {std::pair{"kelpo-room", QByteArray("echo 7610\n"
                                                                 "for i in $(seq 150); do echo \"kelpo-room: the "
                                                                 "hand's results were not saved: $i\" >&2; sleep "
                                                                 "0.005; done\necho last >&2; exec sleep 30")},
                                      std::pair{"kelpo", QByteArray("exec sleep 30")}}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\n" + body + "\n");
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    LauncherWindow window(dir.path());
    LauncherChoices c;
    c.mode = LaunchMode::Host;
    window.setChoices(c);
    window.start();
    EXPECT_TRUE(kelpo::test::PumpUntil([&] { return window.serverErrors().endsWith("last\n"); }, 20000));
    EXPECT_LE(window.serverErrors().size(), 4096);
}
