#include "server/RoomMessages.h"

#include "net/Packet.h"
#include "platform/NumericValue.h"

#include <algorithm>
#include <cstdint>

namespace kelpo::server {

namespace {

QByteArray TextMessage(std::uint8_t cls, std::uint8_t code, const QString& body)
{
    QByteArray header;
    header.append(static_cast<char>(cls));
    header.append(static_cast<char>(code));
    QByteArray packet;
    if (!BuildPacket(body, packet, 2, header))
        return header; // an empty body: the header alone
    return packet;
}

QString Num(int v) { return QString::number(v); }

} // namespace

QString UserRecordText(const UserInfo& u)
{
    // The clients read every number as a 32-bit one.
    auto n32 = [](std::int64_t v) {
        return QString::number(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    const int winRate = u.games > 0 ? static_cast<int>(u.wins * 100 / u.games) : 0;
    const int escapeRate = u.games > 0 ? static_cast<int>(u.escapes * 100 / u.games) : 0;
    const QStringList fields{
        u.name,          u.userId,      n32(u.score),  n32(u.level), u.watches,
        n32(u.games),    Num(winRate),  Num(escapeRate),
        n32(u.wins),     n32(u.losses), n32(u.draws),  Num(0),
        Num(u.userClass * 1000 + u.iconNumber),        Num(u.chair),
        Num(u.handUp ? 1 : 0),          Num(u.offline ? 1 : 0)};
    return fields.join(FieldSeparator);
}

QByteArray BuildIdentity(const QString& name, const QString& viewedName)
{
    return TextMessage(MsgRoomState, RoomIdentity, name + FieldSeparator + viewedName);
}

QByteArray BuildUserList(const QList<UserInfo>& users)
{
    QStringList records;
    for (const UserInfo& u : users)
        records << UserRecordText(u);
    return TextMessage(MsgRoomState, RoomUserList, records.join(FieldSeparator));
}

QByteArray BuildArrival(const UserInfo& user)
{
    const auto code = user.watches.isEmpty() ? RoomPlayerArrived : RoomSpectatorArrived;
    return TextMessage(MsgRoomState, code, UserRecordText(user));
}

QByteArray BuildConnectionState(ConnectionCode code, const QString& name)
{
    return TextMessage(MsgConnectionState, code, name);
}

QByteArray BuildPlayerLeft(const QString& name) { return TextMessage(MsgPlayerLeft, 0, name); }

QString SettingsText(int stake, SettingRange stakeRange, int escapePenalty, SettingRange escapeRange)
{
    return QStringList{Num(stake), Num(stakeRange.maximum), Num(stakeRange.minimum),
                       Num(escapePenalty), Num(escapeRange.maximum), Num(escapeRange.minimum)}
        .join(FieldSeparator);
}

QByteArray BuildSettingsNeeded(bool owner, bool mustSet, bool settingsMade, const QString& settingsText)
{
    // Fields 0..2 and 4 are not read by the clients.
    QStringList fields{Num(0), Num(0), Num(0), Num(owner ? 1 : 0), Num(0), Num(mustSet ? 1 : 0),
                       Num(settingsMade ? 1 : 0)};
    if (settingsMade)
        fields << settingsText;
    return TextMessage(MsgSettingsNeeded, 0, fields.join(FieldSeparator));
}

QByteArray BuildHandUp(const QString& name, int code, const QString& settingsText)
{
    QString body = name;
    if (!settingsText.isEmpty())
        body += FieldSeparator + settingsText;
    return TextMessage(MsgHandUp, static_cast<std::uint8_t>(code), body);
}

QByteArray BuildServerText(const QString& text)
{
    QByteArray header(3, '\0');
    header[0] = static_cast<char>(MsgServerText);
    QByteArray packet;
    if (!BuildPacket(text, packet, 3, header))
        return header;
    return packet;
}

QByteArray BuildViewFlag(bool canSee)
{
    QByteArray out(3, '\0');
    out[0] = static_cast<char>(MsgViewFlag);
    out[2] = canSee ? 1 : 0;
    return out;
}

std::optional<OwnerSettings> ParseOwnerSettings(const QStringList& fields, SettingRange stakeRange,
                                                SettingRange escapeRange)
{
    // The name, then the six settings fields; only the two chosen values
    // matter, the bounds are the server's own.
    if (fields.size() != 7)
        return std::nullopt;
    for (int i : {1, 4})
        if (fields[i].size() > 7)
            return std::nullopt;
    OwnerSettings s{NumericInt32(fields[1]), NumericInt32(fields[4])};
    if (!stakeRange.contains(s.stake) || !escapeRange.contains(s.escapePenalty))
        return std::nullopt;
    return s;
}

QStringList MessageFields(const QByteArray& message, int start)
{
    return BytesToText(message, start).split(FieldSeparator);
}

} // namespace kelpo::server
