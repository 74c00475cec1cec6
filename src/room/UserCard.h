#pragma once
// The user card: a pop-up menu of eight lines about one user of the list,
// one of which makes that user the chat addressee.

#include "state/ClientState.h"

#include <QMenu>
#include <QPointer>

#include <array>
#include <functional>
#include <optional>

namespace kelpo {

inline constexpr int UserCardItems = 8;
inline constexpr int UserCardTalkItem = 4; // "与他（她）交谈"
// One more item on the local user's own card: "道具商城" opens the shop.
inline constexpr int UserCardShopItem = UserCardItems;

// The eight captions for a record of exactly 16 fields ("-" is a separator
// line); nothing for any other record.
std::optional<std::array<QString, UserCardItems>> UserCardCaptions(const ClientState& state,
                                                                   const QString& record);

class frmUserMenu : public QMenu {
    Q_OBJECT
public:
    explicit frmUserMenu(QWidget* parent = nullptr);

    // Fills the items from the record; false (and the card unchanged) for a
    // record that is not a whole user.
    bool BuildUserCard(const ClientState& state, const QString& record);

    // The items, index 0..7 and the shop item; each one's data() is the
    // user name.
    QAction* mnuUserItem(int index) const;

    // Called with the chosen item's index; the card then unloads itself.
    std::function<void(int index)> onChosen;

    // Runs the item as a click on it would.
    void Choose(int index);
};

} // namespace kelpo
