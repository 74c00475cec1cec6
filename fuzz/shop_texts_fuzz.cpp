// The item texts the room server sends and the item descriptions file:
// catalogue, owned items, DaoJuInfo.ini, then paging and every text the
// shop window shows. Three parts: the catalogue text, the owned-items text
// and the descriptions file, each as a sequence entry.

#include "FuzzSupport.h"

#include "net/Packet.h"
#include "shop/modDaoJuMaket.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<QByteArray> parts = fuzz::MessageSequence(data, size);
    const QByteArray none;
    const QString catalogue = BytesToText(parts.size() > 0 ? parts[0] : none, 0);
    const QString owned = BytesToText(parts.size() > 1 ? parts[1] : none, 0);
    const QByteArray ini = parts.size() > 2 ? parts[2] : none;
    const QString noteFile = fuzz::ScratchFolder() + QStringLiteral("/DaoJuInfo.ini");
    fuzz::WriteFile(noteFile, reinterpret_cast<const std::uint8_t*>(ini.constData()), static_cast<std::size_t>(ini.size()));

    ShopState shop;
    InitDaoJu(shop);
    ParseMyDaoJuList(shop, owned);
    ParseDaoJuList(shop, catalogue, noteFile);
    ParseMyDaoJuList(shop, owned);
    if (shop.DaoJuTypes.size() != shop.DaoJuTypeNames.size() || shop.MyDaoJuTypes.size() != shop.DaoJuTypeNames.size())
        fuzz::Fail("the groups out of step with the types");

    for (int t = 1; t <= shop.typeCount() && t < 256; ++t) {
        shop.CurTypeIdx = static_cast<std::uint8_t>(t);
        shop.CurMyTypeIdx = static_cast<std::uint8_t>(t);
        DaoJuType& g = shop.DaoJuTypes[static_cast<std::size_t>(t)];
        for (int label : {PageLast, PagePrevious, PageFirst, PageNext, PageCount})
            TurnPage(g, label);
        for (int cell = -1; cell <= CatalogueCells; ++cell)
            BuyDaoJu(shop, cell);
        for (int k = 1; k <= g.count(); ++k) {
            NameText(*g.item(k));
            ValidityText(g.item(k)->lngValidHours);
        }
        MyDaoJuType& mine = shop.MyDaoJuTypes[static_cast<std::size_t>(t)];
        ScrollMyDaoJu(mine, 1);
        ScrollMyDaoJu(mine, 0);
        for (int k = 1; k <= mine.count(); ++k)
            MyDaoJuTooltip(*mine.item(k));
    }
    for (std::int32_t id : {0, 1, -1, 2147483647})
        ReadDaoJuNote(noteFile, id);
    return 0;
}
