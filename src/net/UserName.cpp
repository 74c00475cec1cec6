#include "net/UserName.h"

#include "platform/Cp936.h"

namespace kelpo {

bool IsUsableUserName(const QString& name)
{
    if (name.isEmpty() || name.size() > 32)
        return false;
    // The chat's addressee for the whole table: a user by that name would
    // be sent, alone, every line meant for everyone.
    if (name == EveryoneAddressee())
        return false;
    for (QChar c : name)
        if (c == u'`' || c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    // Every client knows a user only by the name the wire brought: one the
    // code page cannot carry arrives with '?' in it, so its own client never
    // finds itself at the table, and two such names arrive as one.
    return cp936::Decode(cp936::Encode(name)) == name;
}

} // namespace kelpo
