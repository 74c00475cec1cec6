#include "Art.h"

namespace kelpo::resgen {

void BuildPack(Pack& pack)
{
    AddCards(pack);
    AddTableArt(pack);
}

} // namespace kelpo::resgen
