#pragma once
// The game's web pages live on the local disk, in "site" next to the
// program folder; the client never fetches anything from the network.

#include "state/ClientState.h"

#include <QUrl>

namespace kelpo {

inline QString SiteBase(const ClientState& state)
{
    return state.globals.ParentPath + QStringLiteral("site");
}

inline QUrl AdvertPageUrl(const ClientState& state)
{
    return QUrl::fromLocalFile(SiteBase(state) + QStringLiteral("/adv/KELPO/ga.htm"));
}

inline QUrl HelpPageUrl(const ClientState& state)
{
    return QUrl::fromLocalFile(SiteBase(state) + QStringLiteral("/help/Zuduva/KELPO.htm"));
}

} // namespace kelpo
