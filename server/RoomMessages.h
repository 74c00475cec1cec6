#pragma once
// The room messages the server sends, byte for byte as the clients read them:
// who is at the table, who left or came back, raised hands, the settings
// round, server texts and the spectators' view flag.

#include "server/RoomConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace kelpo::server {

enum RoomMessageClass : std::uint8_t {
    MsgChat = 1,
    MsgServerText = 105,
    MsgConnectionState = 108,
    MsgPlayerLeft = 110,
    MsgSettingsNeeded = 111,
    MsgHandUp = 112,
    MsgViewFlag = 113,
    MsgRoomState = 130,
};

// Codes of class 130.
enum RoomStateCode : std::uint8_t {
    RoomIdentify = 0, // from a client; to a client: a spectator arrived
    RoomSpectatorArrived = 0,
    RoomMatchStarted = 1, // from a client only; never sent, it would clear the table
    RoomUserList = 2,
    RoomIdentity = 3,
    RoomPlayerArrived = 4,
};

// Codes of class 108.
enum ConnectionCode : std::uint8_t {
    ConnectionBack = 0,
    ConnectionDropped = 3,
    ConnectionSpectatorLeft = 4,
};

// One user as the 16 back-quote separated fields of the user list.
struct UserInfo {
    QString name;
    QString userId;
    std::int64_t score = 0;
    // The value the clients look up in their level table: the score.
    std::int64_t level = 0;
    std::int64_t games = 0;
    std::int64_t wins = 0;
    std::int64_t losses = 0;
    std::int64_t draws = 0;
    std::int64_t escapes = 0;
    // 0 an ordinary user, 1 a member: the thousands of the icon field.
    int userClass = 0;
    // Empty for a player.
    QString watches;
    int iconNumber = 0;
    int chair = 0;
    bool handUp = false;
    bool offline = false;
};

QString UserRecordText(const UserInfo& user);

// The face pictures the clients have are numbered 1..FaceCount.
inline constexpr int FaceCount = 40;

QByteArray BuildIdentity(const QString& name, const QString& viewedName);
QByteArray BuildUserList(const QList<UserInfo>& users);
QByteArray BuildArrival(const UserInfo& user);
QByteArray BuildConnectionState(ConnectionCode code, const QString& name);
QByteArray BuildPlayerLeft(const QString& name);

// The six settings fields: stake, its maximum and minimum, escape penalty,
// its maximum and minimum.
QString SettingsText(int stake, SettingRange stakeRange, int escapePenalty, SettingRange escapeRange);

// Class 111. Without mustSet the client offers its start button instead.
// settingsText goes along only when settingsMade.
QByteArray BuildSettingsNeeded(bool owner, bool mustSet, bool settingsMade, const QString& settingsText = {});

// Class 112: name's hand is up; with settingsText the receiving players are
// asked to agree to those settings.
QByteArray BuildHandUp(const QString& name, int code, const QString& settingsText = {});

QByteArray BuildServerText(const QString& text);
QByteArray BuildViewFlag(bool canSee);

// The owner's choice in a settings reply, "name`six fields", checked against
// the ranges: the stake and the escape penalty, or nothing when the reply is
// malformed or out of range.
struct OwnerSettings {
    int stake = 0;
    int escapePenalty = 0;
};
std::optional<OwnerSettings> ParseOwnerSettings(const QStringList& fields, SettingRange stakeRange,
                                                SettingRange escapeRange);

// The text body of a room message from index start, split at back-quotes.
QStringList MessageFields(const QByteArray& message, int start);

} // namespace kelpo::server
