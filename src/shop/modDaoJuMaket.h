#pragma once
// The item catalogue and the owned items: reading the server's item texts
// into the shop state, the item descriptions, the purchase request, and the
// paging and texts the shop window shows. No widgets here.

#include "state/ClientState.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace kelpo {

// The shop state of a client that has just started: no types, no items.
void InitDaoJu(ShopState& shop);

// Replaces the catalogue with the text of a catalogue message and regroups
// the owned items under it; descriptions come from noteFile. A text whose
// type or item count announces more fields than it holds is ignored whole,
// and false returned. Items of an unknown type number are skipped.
bool ParseDaoJuList(ShopState& shop, const QString& text, const QString& noteFile);

// Replaces the owned items with the "id:pieces:YYYYMMDDHH" triples of an
// owned-items message. A field count that is not a multiple of three is
// ignored (false); an empty text clears the list. Items not in the catalogue
// go to group 1 as "未知名称", or are not kept when there are no types.
// The owned tab shown stays; its strip starts again at its first item.
bool ParseMyDaoJuList(ShopState& shop, const QString& text);

// The description of item id in the profile file at path: key "Note" of
// section "DaoJuInfo_ID_<id>"; empty when anything is missing.
QString ReadDaoJuNote(const QString& path, std::int32_t id);

// Where the client's item descriptions lie.
QString DaoJuNoteFile(const ClientGlobals& globals);

// The purchase request for the item in cell 0..3 of the current catalogue
// page; empty (nothing to send) when the cell shows no item.
QByteArray BuyDaoJu(const ShopState& shop, std::int32_t cell);

// "23小时" below a day, whole days ("2天") from 24 hours on.
QString ValidityText(std::int32_t hours);
// The name line of a catalogue cell: "(n个)" follows when n is 2 or more.
QString NameText(const DaoJuInfo& item);
// The tooltip of an owned item's slot.
QString MyDaoJuTooltip(const MyDaoJu& item);

// Labels under the catalogue page, by labPage index.
enum PageLabel { PageCount = 0, PageFirst = 1, PagePrevious = 2, PageNext = 3, PageLast = 4 };
// Moves the page of group g as a click on label does; true when it moved.
bool TurnPage(DaoJuType& g, int label);
// Moves the owned-items strip back (0) or forward (1); true when it moved.
bool ScrollMyDaoJu(MyDaoJuType& g, int button);

inline constexpr int CatalogueCells = 4;
inline constexpr int MyDaoJuSlots = 7;

} // namespace kelpo
