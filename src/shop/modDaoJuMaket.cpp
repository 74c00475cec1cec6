#include "shop/modDaoJuMaket.h"

#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "platform/ProfileFile.h"
#include "platform/ResourcePath.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

namespace kelpo {

namespace {

constexpr int ItemFields = 10;
constexpr std::uint8_t MsgItems = 133;

// Where each identifier first appears in the catalogue, searched by group
// and then by slot: one pass, so a long owned list costs no more than the two
// texts it comes with.
struct CatalogueIndex {
    struct Place {
        int group = 0;
        const DaoJuInfo* item = nullptr;
    };
    explicit CatalogueIndex(const ShopState& shop)
    {
        for (int g = 1; g <= shop.typeCount(); ++g) {
            const DaoJuType& type = shop.DaoJuTypes[static_cast<std::size_t>(g)];
            for (int k = 1; k <= type.count(); ++k) {
                const DaoJuInfo& item = type.items[static_cast<std::size_t>(k)];
                if (!places.contains(item.lngID))
                    places.insert(item.lngID, Place{g, &item});
            }
        }
    }
    Place find(std::int32_t id) const { return places.value(id); }
    QHash<std::int32_t, Place> places;
};

// Empty owned groups, one per type, each strip from its first item.
void ResetMyDaoJu(ShopState& shop)
{
    shop.MyDaoJuTypes.assign(static_cast<std::size_t>(shop.typeCount()) + 1, MyDaoJuType{});
}

QString NoteOf(const ProfileFile& profile, std::int32_t id)
{
    return profile.value(QStringLiteral("DaoJuInfo_ID_") + QString::number(id), QStringLiteral("Note"));
}

} // namespace

void InitDaoJu(ShopState& shop)
{
    shop = ShopState{};
}

bool ParseDaoJuList(ShopState& shop, const QString& text, const QString& noteFile)
{
    const QStringList f = text.split(FieldSeparator);
    const qsizetype fields = f.size();
    // The counts are checked against the fields present before anything is
    // sized by them.
    const std::int64_t n = std::max<std::int32_t>(0, NumericInt32(f[0]));
    if (n + 2 > fields)
        return false;
    const std::int64_t m = std::max<std::int32_t>(0, NumericInt32(f[n + 1]));
    if (m > (fields - (n + 2)) / ItemFields)
        return false;

    std::vector<MyDaoJu> owned;
    for (int g = 1; g < static_cast<int>(shop.MyDaoJuTypes.size()); ++g)
        for (int k = 1; k <= shop.MyDaoJuTypes[static_cast<std::size_t>(g)].count(); ++k)
            owned.push_back(shop.MyDaoJuTypes[static_cast<std::size_t>(g)].items[static_cast<std::size_t>(k)]);

    const ProfileFile notes = ProfileFile::Load(noteFile);
    shop.DaoJuTypeNames.assign(1, QString());
    shop.DaoJuTypeNames.insert(shop.DaoJuTypeNames.end(), f.begin() + 1, f.begin() + 1 + n);
    shop.DaoJuTypes.assign(static_cast<std::size_t>(n) + 1, DaoJuType{});
    shop.CurTypeIdx = 1;
    qsizetype p = n + 2;
    for (std::int64_t i = 0; i < m; ++i, p += ItemFields) {
        const std::int64_t g = std::int64_t{NumericInt32(f[p + 1])} + 1;
        if (g < 1 || g > n)
            continue;
        DaoJuInfo item;
        item.lngID = NumericInt32(f[p]);
        item.strName = f[p + 2];
        item.lngCount = NumericInt32(f[p + 3]);
        item.lngValidHours = NumericInt32(f[p + 4]);
        item.lngPrice = NumericInt32(f[p + 5]);
        item.lngNowPrice = NumericInt32(f[p + 6]);
        item.lngMemberPrice = NumericInt32(f[p + 7]);
        item.lngMemberNowPrice = NumericInt32(f[p + 8]);
        item.bteUseSelf = NumericByte(f[p + 9]);
        item.strNote = NoteOf(notes, item.lngID);
        shop.DaoJuTypes[static_cast<std::size_t>(g)].items.push_back(std::move(item));
    }

    // Owned items stay, each under the new group of its catalogue item; the
    // types may differ now, so the owned tab shown starts at the first.
    ResetMyDaoJu(shop);
    shop.CurMyTypeIdx = 1;
    const CatalogueIndex index(shop);
    for (MyDaoJu& item : owned) {
        const int g = std::max(1, index.find(item.lngID).group);
        if (g <= shop.typeCount())
            shop.MyDaoJuTypes[static_cast<std::size_t>(g)].items.push_back(std::move(item));
    }
    return true;
}

bool ParseMyDaoJuList(ShopState& shop, const QString& text)
{
    const QStringList f = text.isEmpty() ? QStringList() : text.split(u':');
    if (f.size() % 3 != 0)
        return false;
    ResetMyDaoJu(shop);
    const CatalogueIndex index(shop);
    for (qsizetype i = 0; i < f.size(); i += 3) {
        MyDaoJu item;
        item.lngID = NumericInt32(f[i]);
        const CatalogueIndex::Place found = index.find(item.lngID);
        int g = found.group;
        if (found.item) {
            item.strName = found.item->strName;
            item.bteUseSelf = found.item->bteUseSelf;
        } else {
            g = 1;
            item.strName = QStringLiteral("未知名称");
            item.bteUseSelf = 1;
        }
        // With no types there is no group to keep it in.
        if (g > shop.typeCount())
            continue;
        item.lngCount = NumericInt32(f[i + 1]);
        const std::int64_t v = std::max<std::int64_t>(0, NumericValueAs<std::int64_t>(f[i + 2]));
        item.lngYear = static_cast<std::int32_t>(std::min<std::int64_t>(v / 1000000, INT32_MAX));
        item.lngMonth = static_cast<std::int32_t>(v % 1000000 / 10000);
        item.lngDay = static_cast<std::int32_t>(v % 10000 / 100);
        item.lngHour = static_cast<std::int32_t>(v % 100);
        shop.MyDaoJuTypes[static_cast<std::size_t>(g)].items.push_back(std::move(item));
    }
    return true;
}

QString ReadDaoJuNote(const QString& path, std::int32_t id)
{
    return NoteOf(ProfileFile::Load(path), id);
}

QString DaoJuNoteFile(const ClientGlobals& globals)
{
    return ResolvePath(globals.AppPath, QStringLiteral("Res\\DaoJu\\DaoJuInfo.ini"));
}

QByteArray BuyDaoJu(const ShopState& shop, std::int32_t cell)
{
    const DaoJuType* g = shop.curType();
    if (cell < 0 || !g)
        return {};
    const DaoJuInfo* item = g->item(std::int64_t{g->lngFirstIdx} + cell);
    if (!item)
        return {};
    QByteArray header;
    header.append(static_cast<char>(MsgItems));
    header.append('\0');
    QByteArray packet;
    BuildPacket(QString::number(item->lngID), packet, 2, header);
    return packet;
}

QString ValidityText(std::int32_t hours)
{
    return hours < 24 ? QString::number(hours) + QStringLiteral("小时")
                      : QString::number(hours / 24) + QStringLiteral("天");
}

QString NameText(const DaoJuInfo& item)
{
    return item.lngCount >= 2 ? item.strName + QStringLiteral("(") + QString::number(item.lngCount) + QStringLiteral("个)")
                              : item.strName;
}

QString MyDaoJuTooltip(const MyDaoJu& item)
{
    return item.strName + QStringLiteral("  剩") + QString::number(item.lngCount) + QStringLiteral("个  ")
           + QString::number(item.lngYear) + QStringLiteral("年") + QString::number(item.lngMonth)
           + QStringLiteral("月") + QString::number(item.lngDay) + QStringLiteral("日")
           + QString::number(item.lngHour) + QStringLiteral("时到期")
           + (item.bteUseSelf > 0 ? QStringLiteral(" 对自己使用") : QStringLiteral(" 对别人使用"));
}

bool TurnPage(DaoJuType& g, int label)
{
    const std::int32_t n = g.count();
    const std::int32_t f = g.lngFirstIdx;
    std::int32_t to = f;
    switch (label) {
    case PageFirst: to = 1; break;
    case PagePrevious: to = std::max(1, f - 2); break;
    case PageNext:
        if (std::int64_t{n} >= std::int64_t{f} + 4)
            to = f + 2;
        break;
    case PageLast: to = std::max(1, n % 2 != 0 ? n - 2 : n - 3); break;
    default: break;
    }
    g.lngFirstIdx = to;
    return to != f;
}

bool ScrollMyDaoJu(MyDaoJuType& g, int button)
{
    const std::int32_t f = g.lngFirstIdx;
    if (button == 0)
        g.lngFirstIdx = std::max(1, f - 1);
    else if (button == 1 && std::int64_t{f} + 6 < g.count())
        g.lngFirstIdx = f + 1;
    return g.lngFirstIdx != f;
}

} // namespace kelpo
