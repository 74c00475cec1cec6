#include "state/ClientState.h"

namespace kelpo {

SeatRecord* ClientState::seat(int s)
{
    return s >= 0 && s < SeatCount ? &seats[static_cast<std::size_t>(s)] : nullptr;
}

const SeatRecord* ClientState::seat(int s) const
{
    return s >= 0 && s < SeatCount ? &seats[static_cast<std::size_t>(s)] : nullptr;
}

} // namespace kelpo
