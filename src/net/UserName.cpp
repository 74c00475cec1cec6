#include "net/UserName.h"

namespace kelpo {

bool IsUsableUserName(const QString& name)
{
    if (name.isEmpty() || name.size() > 32)
        return false;
    for (QChar c : name)
        if (c == u'`' || c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    return true;
}

} // namespace kelpo
