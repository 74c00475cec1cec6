#include "platform/TickClock.h"

namespace kelpo {

TickClock& SystemTickClock()
{
    static SteadyTickClock clock;
    return clock;
}

} // namespace kelpo
