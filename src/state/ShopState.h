#pragma once
// The item catalogue and the user's owned items, grouped by item type, as
// the room server last sent them. Group t (1..N) holds the items of type
// number t - 1; group 0 and slot 0 of every group hold nothing, so indices
// are the ones the shop window counts with.

#include <QString>

#include <cstdint>
#include <vector>

namespace kelpo {

// One offer of the catalogue.
struct DaoJuInfo {
    std::int32_t lngID = 0;
    QString strName;
    std::int32_t lngCount = 0; // pieces in the offer
    std::uint8_t bteUseSelf = 0; // above 0: used on oneself
    std::int32_t lngValidHours = 0;
    std::int32_t lngPrice = 0;
    std::int32_t lngNowPrice = 0;
    std::int32_t lngMemberPrice = 0;
    std::int32_t lngMemberNowPrice = 0;
    QString strNote; // from DaoJuInfo.ini
};

// One lot the user owns.
struct MyDaoJu {
    std::int32_t lngID = 0;
    QString strName;
    std::int32_t lngCount = 0; // pieces left
    std::uint8_t bteUseSelf = 1;
    std::int32_t lngYear = 0;
    std::int32_t lngMonth = 0;
    std::int32_t lngDay = 0;
    std::int32_t lngHour = 0;
};

template <class Item>
struct DaoJuGroup {
    std::vector<Item> items{Item{}}; // slot 0 holds no item
    std::int32_t lngFirstIdx = 1; // first item on the shown page or strip

    int count() const { return static_cast<int>(items.size()) - 1; }
    // Item k (1-based), or nullptr when there is none.
    const Item* item(std::int64_t k) const
    {
        return k >= 1 && k <= count() ? &items[static_cast<std::size_t>(k)] : nullptr;
    }
};

using DaoJuType = DaoJuGroup<DaoJuInfo>;
using MyDaoJuType = DaoJuGroup<MyDaoJu>;

struct ShopState {
    std::vector<QString> DaoJuTypeNames{QString()}; // 1..N are the tab captions
    std::vector<DaoJuType> DaoJuTypes{DaoJuType{}};
    std::vector<MyDaoJuType> MyDaoJuTypes{MyDaoJuType{}};
    std::uint8_t CurTypeIdx = 1;
    std::uint8_t CurMyTypeIdx = 1;
    bool MaketOpen = false; // the shop window is up

    int typeCount() const { return static_cast<int>(DaoJuTypeNames.size()) - 1; }
    // The shown group, or nullptr while there is no such type.
    DaoJuType* curType() { return CurTypeIdx <= typeCount() && CurTypeIdx >= 1 ? &DaoJuTypes[CurTypeIdx] : nullptr; }
    const DaoJuType* curType() const
    {
        return CurTypeIdx <= typeCount() && CurTypeIdx >= 1 ? &DaoJuTypes[CurTypeIdx] : nullptr;
    }
    MyDaoJuType* curMyType()
    {
        return CurMyTypeIdx <= typeCount() && CurMyTypeIdx >= 1 ? &MyDaoJuTypes[CurMyTypeIdx] : nullptr;
    }
    const MyDaoJuType* curMyType() const
    {
        return CurMyTypeIdx <= typeCount() && CurMyTypeIdx >= 1 ? &MyDaoJuTypes[CurMyTypeIdx] : nullptr;
    }
};

} // namespace kelpo
