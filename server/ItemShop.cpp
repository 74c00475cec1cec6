#include "server/ItemShop.h"

#include "net/FrameCodec.h"
#include "net/Packet.h"
#include "platform/Cp936.h"

namespace kelpo::server {

namespace {

QByteArray Message(ItemCode code, const QString& body)
{
    QByteArray m;
    m.append(static_cast<char>(MsgItems));
    m.append(static_cast<char>(code));
    m.append(cp936::Encode(body));
    return m;
}

// The id of a purchase body: plain decimal digits, nothing else.
std::optional<int> PurchaseId(const QByteArray& message)
{
    const QByteArray body = message.mid(2);
    if (body.isEmpty() || body.size() > 10)
        return std::nullopt;
    for (const char c : body)
        if (c < '0' || c > '9')
            return std::nullopt;
    bool ok = false;
    const int id = body.toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

} // namespace

std::int64_t PackedExpiry(const QDateTime& expires)
{
    const QDateTime t = expires.toLocalTime();
    return std::int64_t{t.date().year()} * 1000000 + t.date().month() * 10000 + t.date().day() * 100
           + t.time().hour();
}

ItemShop::ItemShop(ShopCatalogue catalogue, ShopStore& store, Clock now)
    : catalogue_(std::move(catalogue)), store_(store), now_(std::move(now))
{
}

QByteArray ItemShop::catalogueMessage() const
{
    return Message(ItemCatalogue, catalogue_.text());
}

QByteArray ItemShop::notice(const QString& text) const
{
    return Message(ItemNotice, text);
}

QByteArray ItemShop::ownedMessage(const QString& user)
{
    const std::optional<std::vector<OwnedItem>> lots = store_.ownedItems(user, now_());
    if (!lots)
        return {};
    QByteArray body;
    for (const OwnedItem& lot : *lots) {
        const QByteArray triple = QByteArray::number(lot.itemId) + ':' + QByteArray::number(lot.count) + ':'
                                  + QByteArray::number(PackedExpiry(lot.expires));
        // The list goes out as one message; lots beyond it are kept but not
        // shown until some are used up.
        if (2 + body.size() + 1 + triple.size() > static_cast<qsizetype>(MaxFrameLength))
            break;
        if (!body.isEmpty())
            body += ':';
        body += triple;
    }
    QByteArray m;
    m.append(static_cast<char>(MsgItems));
    m.append(static_cast<char>(ItemOwned));
    m.append(body);
    return m;
}

std::vector<QByteArray> ItemShop::purchase(const QString& user, const QByteArray& message)
{
    if (message.size() < 2 || static_cast<std::uint8_t>(message[0]) != MsgItems
        || static_cast<std::uint8_t>(message[1]) != ItemPurchase)
        return {};
    const auto id = PurchaseId(message);
    const CatalogueItem* item = id ? catalogue_.find(*id) : nullptr;
    if (!item)
        return {notice(QStringLiteral("购买失败：商城里没有这件道具。"))};
    const std::optional<ShopAccount> account = store_.account(user);
    if (!account)
        return {notice(QStringLiteral("购买失败：找不到你的账户。"))};
    const int price = account->member ? item->memberNowPrice : item->nowPrice;
    // Expiry on a whole hour, so the hour the client shows is the moment the
    // pieces stop counting.
    QDateTime expires = now_().addSecs(qint64{item->validHours} * 3600);
    const QTime t = expires.time();
    if (t.minute() != 0 || t.second() != 0 || t.msec() != 0)
        expires = expires.addSecs(3600 - t.minute() * 60 - t.second()).addMSecs(-t.msec());
    switch (store_.chargeAndAdd(user, price, OwnedItem{item->id, item->pieces, expires})) {
    case ChargeResult::Done: {
        const std::optional<ShopAccount> after = store_.account(user);
        std::vector<QByteArray> answer;
        if (QByteArray owned = ownedMessage(user); !owned.isEmpty())
            answer.push_back(std::move(owned));
        // A balance the store cannot read back now is left out, not told
        // as nothing left. Each text is filled in one pass, so a name
        // holding "%2" stays as it is.
        const QString done = QStringLiteral("购买成功：%1，花费 %2 金币").arg(item->name, QString::number(price));
        answer.push_back(notice(after ? QStringLiteral("%1，余额 %2 金币。").arg(done, QString::number(after->coins))
                                      : done + QStringLiteral("。")));
        return answer;
    }
    case ChargeResult::NotEnoughCoins:
        return {notice(QStringLiteral("购买失败：金币不足。%1 需要 %2 金币，你只有 %3 金币。")
                           .arg(item->name, QString::number(price), QString::number(account->coins)))};
    case ChargeResult::NoAccount:
        return {notice(QStringLiteral("购买失败：找不到你的账户。"))};
    case ChargeResult::Failed:
        break;
    }
    return {notice(QStringLiteral("购买失败：请稍后再试。"))};
}

} // namespace kelpo::server
