#include "Art.h"

namespace kelpo::resgen {

void BuildPack(Pack& pack)
{
    AddCards(pack);
    AddTableArt(pack);
    AddBombs(pack);
    AddWindowArt(pack);
    AddFaces(pack);
    AddShop(pack);
    AddSounds(pack);
}

} // namespace kelpo::resgen
