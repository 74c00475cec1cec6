#pragma once
// The user list of a full table as a scripted room server sends it: one
// player a seat, in seat order.

#include "server/RoomMessages.h"

#include <QStringList>

namespace kelpo::test {

inline QList<server::UserInfo> SeatedPlayers(const QStringList& names)
{
    QList<server::UserInfo> users;
    for (int seat = 0; seat < names.size(); ++seat) {
        server::UserInfo u;
        u.name = names[seat];
        u.userId = QString::number(100 + seat);
        u.iconNumber = seat + 1;
        u.chair = seat;
        users << u;
    }
    return users;
}

} // namespace kelpo::test
