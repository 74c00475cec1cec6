#include "state/ClientState.h"

#include <algorithm>

namespace kelpo {

SeatRecord* ClientState::seat(int s)
{
    return s >= 0 && s < SeatCount ? &seats[static_cast<std::size_t>(s)] : nullptr;
}

const SeatRecord* ClientState::seat(int s) const
{
    return s >= 0 && s < SeatCount ? &seats[static_cast<std::size_t>(s)] : nullptr;
}

int ClientState::handFocus() const
{
    const int n = cards.HandCards.count();
    return view.HandFocus < 1 || n == 0 ? 0 : std::min(view.HandFocus, n);
}

} // namespace kelpo
