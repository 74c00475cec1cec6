#pragma once
// A user as the room server describes one: 16 text fields separated by the
// back-quote character, the same text the user list stores per user.

#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "state/ClientState.h"

#include <QStringList>

namespace kelpo {

namespace UserField {
enum : int {
    Name = 0,
    Id = 1,
    Score = 2,
    Level = 3,
    Watched = 4, // the player a spectator watches; blank for a player
    Games = 5,
    WinRate = 6,
    EscapeRate = 7,
    Wins = 8,
    Losses = 9,
    Draws = 10,
    Figure = 11,
    Icon = 12, // div 1000: user class; mod 1000: face picture
    Chair = 13, // mod 6: the seat
    HandUp = 14,
    Offline = 15,
    Count = 16,
};
} // namespace UserField

// The fields of a record, or an empty list when it does not have exactly 16.
inline QStringList SplitUserRecord(const QString& record)
{
    QStringList fields = record.split(FieldSeparator);
    if (fields.size() != UserField::Count)
        return {};
    return fields;
}

inline bool IsSpectatorRecord(const QStringList& fields)
{
    return !fields.value(UserField::Watched).trimmed().isEmpty();
}

// The seat of a chair number; -1 for a negative one, which sits nowhere.
inline int SeatOfChair(const QString& chair)
{
    const int seat = NumericInt32(chair) % SeatCount;
    return seat >= 0 ? seat : -1;
}

} // namespace kelpo
