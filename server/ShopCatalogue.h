#pragma once
// The items the room server sells, read from a text file the host can edit,
// and the catalogue text the clients are sent.
//
// The file is UTF-8, one entry a line; blank lines and lines starting with #
// are skipped:
//
//     type NAME
//     item ID | TYPE | NAME | PIECES | HOURS | PRICE | NOW | MEMBER | MEMBER_NOW | self|other
//
// A type line adds a tab, in file order, up to eight. An item names a type
// declared above it; ID is unique and positive; PIECES at least 1; HOURS 1
// to 1000000; prices 0 or more (the member prices are what a member pays,
// NOW and MEMBER_NOW what is charged, PRICE and MEMBER the list prices shown
// struck through).

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace kelpo::server {

struct CatalogueItem {
    int id = 0;
    int type = 0; // 0-based index into the types
    QString name;
    int pieces = 1;
    int validHours = 24;
    int price = 0;
    int nowPrice = 0;
    int memberPrice = 0;
    int memberNowPrice = 0;
    bool useSelf = true;
};

struct ShopCatalogue {
    QStringList types;
    std::vector<CatalogueItem> items;

    const CatalogueItem* find(int id) const;
    // The body of the catalogue message: the types, then ten fields an item.
    QString text() const;
};

struct LoadedCatalogue {
    std::optional<ShopCatalogue> catalogue;
    // Set when catalogue is not: "name:line: what is wrong".
    QString error;
};

// fileName only labels the errors.
LoadedCatalogue ParseCatalogue(const QString& text, const QString& fileName);
LoadedCatalogue LoadCatalogueFile(const QString& path);

} // namespace kelpo::server
