#include "server/RoomConfig.h"

#include <gtest/gtest.h>

namespace kelpo::server {
namespace {

ParsedRoomConfig Parse(QStringList args)
{
    args.prepend(QStringLiteral("kelpo-room"));
    return ParseRoomArguments(args);
}

TEST(RoomConfigTest, PlayersSpectatorsAndBotsMakeUpTheTable)
{
    const auto parsed = Parse({"--player", "甲", "--player", "乙", "--spectator", "丙:乙", "--packs", "3",
                               "--stake", "50", "--stake-range", "10:100", "--three-hand", "--no-settings"});
    ASSERT_TRUE(parsed.config) << parsed.message.toStdString();
    const RoomConfig& c = *parsed.config;
    EXPECT_EQ(c.players, (QStringList{"甲", "乙"}));
    ASSERT_EQ(c.spectators.size(), 1);
    EXPECT_EQ(c.spectators[0].watches, QStringLiteral("乙"));
    EXPECT_EQ(c.bots, 4);
    EXPECT_EQ(c.table.deckCount, 3);
    EXPECT_EQ(c.table.stake, 50);
    EXPECT_TRUE(c.table.threeHandDeal);
    EXPECT_FALSE(c.settingsRound);
    EXPECT_EQ(c.port, 0);
}

TEST(RoomConfigTest, ValuesTheTableCannotHoldAreRefused)
{
    const QList<QStringList> bad{
        {"--player", "甲", "--bots", "4"},                    // five seats
        {"--player", "甲", "--player", "甲"},                  // the same name twice
        {"--player", "a`b"},                                   // would split a record
        {"--spectator", "丙:nobody"},                          // watches no player
        {"--stake-range", "10:5"},                             // empty range
        {"--stake-range", "10:100", "--stake", "5"},           // outside its range
        {"--escape-range", "0:99999999"},                      // more digits than a box holds
        {"--packs", "7"}, {"--turn-seconds", "0"}, {"--port", "70000"}, {"--seed", "x"}, {"stray"},
    };
    for (const QStringList& args : bad) {
        const auto parsed = Parse(args);
        EXPECT_FALSE(parsed.config) << args.join(u' ').toStdString();
        EXPECT_FALSE(parsed.message.isEmpty());
    }
    const auto help = Parse({"--help"});
    EXPECT_TRUE(help.helpRequested);
    EXPECT_TRUE(help.message.contains(QStringLiteral("--bot-delay")));
}

} // namespace
} // namespace kelpo::server
