#include "room/UserCard.h"

#include "platform/NumericValue.h"
#include "state/Levels.h"

namespace kelpo {

std::optional<std::array<QString, UserCardItems>> UserCardCaptions(const ClientState& state,
                                                                   const QString& record)
{
    if (record.isEmpty())
        return std::nullopt;
    const QStringList f = record.split(QLatin1Char('`'));
    if (f.size() != 16)
        return std::nullopt;
    const ClientGlobals& g = state.globals;
    const QString level = LevelName(g.LevelTable, NumericInt32(f[3]));
    const std::int32_t cls = NumericInt32(f[12]) / 1000;
    const QString identity = cls >= 0 && cls < static_cast<std::int32_t>(g.UserClassNames.size())
                                 ? g.UserClassNames[static_cast<std::size_t>(cls)]
                                 : QStringLiteral("未知身份");
    const QString scoreWord = g.ScoreKind != 0 ? QStringLiteral("积分:") : QStringLiteral("经验:");
    return std::array<QString, UserCardItems>{
        f[0] + QStringLiteral("   身份：") + identity,
        QStringLiteral("游戏ID：") + f[1],
        QStringLiteral("旁观对象：") + f[4],
        QStringLiteral("-"),
        QStringLiteral("与他（她）交谈"),
        QStringLiteral("-"),
        QStringLiteral("级别:") + level + QStringLiteral("   胜率:") + f[6] + QStringLiteral("%   逃跑率:") + f[7] +
            QStringLiteral("%"),
        scoreWord + f[2] + QStringLiteral("   胜:") + f[8] + QStringLiteral("   输:") + f[9] +
            QStringLiteral("   和:") + f[10] + QStringLiteral("   总局数:") + f[5]};
}

frmUserMenu::frmUserMenu(QWidget* parent) : QMenu(QStringLiteral("UserInfo"), parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    for (int i = 0; i <= UserCardShopItem; ++i) {
        QAction* item = addAction(i == UserCardShopItem ? QStringLiteral("道具商城") : QStringLiteral("UserName"));
        item->setVisible(false);
        connect(item, &QAction::triggered, this, [this, i] { Choose(i); });
    }
}

QAction* frmUserMenu::mnuUserItem(int index) const
{
    const QList<QAction*> items = actions();
    return index >= 0 && index < items.size() ? items[index] : nullptr;
}

bool frmUserMenu::BuildUserCard(const ClientState& state, const QString& record)
{
    const auto captions = UserCardCaptions(state, record);
    if (!captions)
        return false;
    const QString name = record.section(QLatin1Char('`'), 0, 0);
    for (int i = 0; i < UserCardItems; ++i) {
        QAction* item = mnuUserItem(i);
        const QString& text = (*captions)[static_cast<std::size_t>(i)];
        const bool separator = text == QLatin1String("-");
        item->setSeparator(separator);
        // A separator's caption would be drawn beside its line; a name with
        // "&" must show as typed, not as a shortcut marker.
        item->setText(separator ? QString() : QString(text).replace(QLatin1Char('&'), QLatin1String("&&")));
        item->setData(name);
        item->setVisible(true);
    }
    // Only the local user's own card leads to the shop.
    QAction* shop = mnuUserItem(UserCardShopItem);
    shop->setData(name);
    shop->setVisible(name == state.globals.UserName);
    return true;
}

void frmUserMenu::Choose(int index)
{
    if (onChosen)
        onChosen(index);
    close();
}

} // namespace kelpo
