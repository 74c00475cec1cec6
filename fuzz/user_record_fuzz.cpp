// User records and user-list texts as the room server sends them, through
// the record helpers, the user list and the user card.

#include "FuzzSupport.h"

#include "controls/QelList.h"
#include "game/UserRecord.h"
#include "net/Packet.h"
#include "room/UserCard.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnsureApplication();
    if (size < 1)
        return 0;
    // The first byte picks the level table's share of the input.
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));
    const qsizetype split = std::min<qsizetype>(data[0], bytes.size());
    const QString levels = BytesToText(bytes.left(split), 0);
    const QString text = BytesToText(bytes, static_cast<int>(split));

    const QStringList fields = SplitUserRecord(text);
    if (!fields.isEmpty()) {
        IsSpectatorRecord(fields);
        const int seat = SeatOfChair(fields[UserField::Chair]);
        if (seat < -1 || seat >= SeatCount)
            fuzz::Fail("a chair outside the table");
    }

    ClientState state;
    state.globals.LevelTableText = levels;
    // The widgets are made once: making them costs far more than the texts.
    static QelList& list = *new QelList;
    static frmUserMenu& card = *new frmUserMenu;
    list.Clear();
    list.setLevelTable(levels);
    list.setColumns(QStringLiteral("用户名`积分`级别`局数"), 4);
    list.Add(text);
    list.BulkLoad(text);
    for (const QString& name : text.split(FieldSeparator).mid(0, 4)) {
        list.Find(name);
        list.cellText(name, 2);
        list.Highlight(name);
        list.Remove(name);
    }
    card.BuildUserCard(state, text);
    fuzz::SettleEvents();
    return 0;
}
