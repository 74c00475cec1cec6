// The launcher's three choices give command lines the room server and the
// client both accept, as they are when the launcher runs them.

#include "app/CommandLine.h"
#include "app/LaunchKey.h"
#include "launcher/LaunchPlan.h"
#include "server/RoomConfig.h"

#include <gtest/gtest.h>

using namespace kelpo;
using namespace kelpo::launcher;

namespace {

server::ParsedRoomConfig ServerReads(const QStringList& args)
{
    return server::ParseRoomArguments(QStringList{QStringLiteral("kelpo-room")} + args);
}

// The client joins its argv with blanks and splits it again.
QStringList ClientReads(const QStringList& args)
{
    return ParseCommandLine(args.join(QLatin1Char(' ')), 10).mid(1);
}

} // namespace

TEST(LaunchPlan, BotsHostAndJoinGiveCommandLinesTheProgramsAccept)
{
    LauncherChoices bots;
    bots.name = QStringLiteral("小明");
    bots.turnSeconds = 12;
    auto s = ServerReads(RoomServerArguments(bots));
    ASSERT_TRUE(s.config) << s.message.toStdString();
    EXPECT_EQ(s.config->players, QStringList{bots.name});
    EXPECT_EQ(s.config->bots, 5);
    EXPECT_EQ(s.config->listenHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(s.config->table.turnSeconds, 12);
    EXPECT_EQ(ClientHost(bots), QStringLiteral("127.0.0.1"));

    LauncherChoices host;
    host.mode = LaunchMode::Host;
    host.name = QStringLiteral("甲");
    host.guests = {QStringLiteral("乙"), QStringLiteral("丙")};
    host.port = 7610;
    // A range that leaves out the default proposals must still start.
    host.stakeMin = 50;
    host.stakeMax = 80;
    host.escapeMin = 0;
    host.escapeMax = 5;
    ASSERT_TRUE(CheckChoices(host).isEmpty());
    s = ServerReads(RoomServerArguments(host));
    ASSERT_TRUE(s.config) << s.message.toStdString();
    EXPECT_EQ(s.config->players, (QStringList{host.name, QStringLiteral("乙"), QStringLiteral("丙")}));
    EXPECT_EQ(s.config->bots, 3);
    EXPECT_EQ(s.config->listenHost, QStringLiteral("0.0.0.0"));
    EXPECT_EQ(s.config->port, 7610);
    EXPECT_EQ(s.config->stakeRange.minimum, 50);
    EXPECT_EQ(s.config->stakeRange.maximum, 80);
    EXPECT_EQ(s.config->escapeRange.maximum, 5);
    // The local window goes where the table listens: a server bound to one
    // address answers nowhere else.
    EXPECT_EQ(ClientHost(host), QStringLiteral("127.0.0.1"));
    for (const char* only : {"192.168.1.20", "127.0.0.2"}) {
        host.host = QLatin1String(only);
        EXPECT_EQ(ClientHost(host), host.host);
    }
    host.host = QStringLiteral("::");
    EXPECT_EQ(ClientHost(host), QStringLiteral("::1"));

    LauncherChoices join;
    join.mode = LaunchMode::Join;
    join.joinHost = QStringLiteral("192.168.1.20");
    join.joinPort = 7610;
    EXPECT_TRUE(RoomServerArguments(join).isEmpty());
    const QStringList words = ClientReads(ClientArguments(ClientHost(join), join.joinPort, join.name));
    ASSERT_EQ(words.size(), 9);
    EXPECT_EQ(words[0], QLatin1String(LaunchKey));
    EXPECT_EQ(words[1], QStringLiteral("192.168.1.20"));
    EXPECT_EQ(words[2], QStringLiteral("7610"));
    EXPECT_EQ(words[7], join.name);
}

TEST(LaunchPlan, RefusesWhatWouldBreakTheCommandLinesAndExplainsServerErrors)
{
    LauncherChoices c;
    c.mode = LaunchMode::Host;
    c.name = QStringLiteral("有 空格");
    EXPECT_FALSE(CheckChoices(c).isEmpty());
    // The chat's word for everyone: lines to the whole table would go to
    // that one player alone.
    c.name = QStringLiteral("所有人");
    EXPECT_FALSE(CheckChoices(c).isEmpty());
    EXPECT_TRUE(ServerReads({QStringLiteral("--player"), QStringLiteral("甲")}).config);
    EXPECT_FALSE(ServerReads({QStringLiteral("--player"), c.name}).config);
    c.name = QStringLiteral("甲");
    c.guests = {QStringLiteral("甲")};
    EXPECT_FALSE(CheckChoices(c).isEmpty());
    c.guests = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                QStringLiteral("e"), QStringLiteral("f")};
    EXPECT_FALSE(CheckChoices(c).isEmpty());
    c.guests.clear();
    c.stakeMin = 9;
    c.stakeMax = 3;
    EXPECT_FALSE(CheckChoices(c).isEmpty());

    const QString inUse = ServerErrorText(QStringLiteral("kelpo-room: The bound address is already in use"), 1);
    EXPECT_TRUE(inUse.contains(QStringLiteral("端口"))) << inUse.toStdString();
    EXPECT_FALSE(inUse.contains(QLatin1String("bound")));
    EXPECT_TRUE(ServerErrorText(QString(), -1).contains(QStringLiteral("kelpo-room")));
    // A server that had opened its table and stopped later did not fail to
    // start, whatever its warnings said meanwhile.
    const QString later =
        ServerErrorText(QStringLiteral("kelpo-room: the account of 甲 is not available\nkelpo-room: aborted"), 1, true);
    EXPECT_TRUE(later.contains(QStringLiteral("意外停止了"))) << later.toStdString();
    EXPECT_TRUE(later.contains(QStringLiteral("aborted"))) << later.toStdString();
}
