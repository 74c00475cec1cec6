#pragma once
// Which user names can travel: a name goes inside back-quote separated
// records and as one command-line word of the client.

#include <QString>

namespace kelpo {

// The chat's addressee for the whole table.
inline const QString& EveryoneAddressee()
{
    static const QString everyone = QStringLiteral("所有人");
    return everyone;
}

// 1..32 characters, none of them a back-quote, a blank or a control character,
// and all of them carried by the code page unchanged; not "所有人", which
// names everyone at the table as a chat addressee.
bool IsUsableUserName(const QString& name);

} // namespace kelpo
