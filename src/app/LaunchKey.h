#pragma once
// What the lobby passes as the first argument; anything else is refused.

namespace kelpo {

inline constexpr char LaunchKey[] = "KELPO-LOBBY";

} // namespace kelpo
