#include "game/GameMessageReaders.h"

#include "net/Packet.h"

namespace kelpo {

namespace {

std::uint8_t byteAt(const QByteArray& m, int i) { return static_cast<std::uint8_t>(m.at(i)); }

bool isSeat(int s) { return s >= 0 && s < 6; }

// Appends the bytes [from, from + n) that are cards; the rest is dropped.
void readCards(const QByteArray& m, int from, int n, CardList& out)
{
    for (int i = from; i < from + n && i < m.size(); ++i) {
        const std::uint8_t b = byteAt(m, i);
        if (IsValidCard(b))
            out.append(b);
    }
}

// Reads [count] and count cards at pos; false when they run past the end.
bool readCountedCards(const QByteArray& m, int& pos, CardList& out)
{
    if (pos >= m.size())
        return false;
    const int n = byteAt(m, pos);
    if (pos + 1 + n > m.size())
        return false;
    readCards(m, pos + 1, n, out);
    pos += 1 + n;
    return true;
}

} // namespace

HandStartMessage ReadHandStart(const QByteArray& m)
{
    HandStartMessage r;
    if (m.size() != 18)
        return r;
    r.hasParameters = true;
    r.AutoPlayLimit = byteAt(m, 3);
    const int decks = byteAt(m, 11);
    if (decks >= 1 && decks <= MaxDeckCount)
        r.DeckCount = static_cast<std::uint8_t>(decks);
    r.TableParam = byteAt(m, 12);
    r.TurnSeconds = byteAt(m, 13);
    r.TributeSeconds = byteAt(m, 14);
    if (isSeat(byteAt(m, 15)))
        r.ActingSeat = byteAt(m, 15);
    r.TurnPhase = byteAt(m, 16);
    r.ShowCardCounts = byteAt(m, 17);
    return r;
}

std::optional<DealMessage> ReadDeal(const QByteArray& m, int deckCount)
{
    if (m.size() <= 3)
        return std::nullopt;
    DealMessage r;
    r.ThreeHandDeal = byteAt(m, 2);
    const int n = CardsPerSeat(deckCount);
    if (n < 1)
        return r;
    if (r.ThreeHandDeal == 0) {
        if (m.size() != n + 3)
            return r;
        readCards(m, 3, n, r.hand);
    } else {
        if (m.size() != 3 * n + 3)
            return r;
        readCards(m, 3, n, r.hand);
        readCards(m, 3 + n, n, r.partnerNext);
        readCards(m, 3 + 2 * n, n, r.partnerFar);
    }
    r.fits = true;
    return r;
}

std::optional<PlayMessage> ReadPlay(const QByteArray& m)
{
    if (m.size() <= 8)
        return std::nullopt;
    const int n = byteAt(m, 7);
    if (m.size() != n + 8 || !isSeat(byteAt(m, 6)))
        return std::nullopt;
    PlayMessage r;
    r.ActingSeat = byteAt(m, 2);
    r.TurnPhase = byteAt(m, 3);
    r.finishRank = byteAt(m, 4);
    r.warnFlag = byteAt(m, 5);
    r.seat = byteAt(m, 6);
    if (n == 1 && byteAt(m, 8) == PassMarker)
        r.cards.append(PassMarker);
    else
        readCards(m, 8, n, r.cards);
    return r;
}

std::optional<TributeMessage> ReadTribute(const QByteArray& m)
{
    if (m.size() < 10 || !isSeat(byteAt(m, 2)))
        return std::nullopt;
    TributeMessage r;
    r.seat = byteAt(m, 2);
    if (IsValidCard(byteAt(m, 3)))
        r.card = byteAt(m, 3);
    r.ActingSeat = byteAt(m, 4);
    r.TurnPhase = byteAt(m, 5);
    r.pairs[0] = {byteAt(m, 6), byteAt(m, 7)};
    r.pairs[1] = {byteAt(m, 8), byteAt(m, 9)};
    return r;
}

HandOverMessage ReadHandOver(const QByteArray& m)
{
    HandOverMessage r;
    if (m.size() <= 2)
        return r;
    r.detailed = true;
    r.kind = byteAt(m, 1);
    int pos = 2;
    if (r.kind == 1) {
        for (int s = 0; s < 6; ++s) {
            qint32 v = 0;
            if (ReadInt32BE(v, m, 2 + 4 * s))
                r.results[static_cast<std::size_t>(s)] = v;
        }
        pos = 26;
    }
    if (r.kind <= 1) {
        for (int s = 0; s < 6; ++s) {
            CardList cards;
            if (!readCountedCards(m, pos, cards))
                break;
            r.revealed[static_cast<std::size_t>(s)] = std::move(cards);
        }
    } else if (r.kind == 2 && m.size() >= 4) {
        r.ScoreCounters = {byteAt(m, 2), byteAt(m, 3)};
    }
    return r;
}

std::optional<HandsRefreshMessage> ReadHandsRefresh(const QByteArray& m)
{
    HandsRefreshMessage r;
    int pos = 2;
    if (!readCountedCards(m, pos, r.hand))
        return std::nullopt;
    if (pos >= m.size())
        return std::nullopt;
    if (byteAt(m, pos) == 0)
        return r;
    r.hasPartners = true;
    if (!readCountedCards(m, pos, r.partnerNext) || !readCountedCards(m, pos, r.partnerFar))
        return std::nullopt;
    return r;
}

std::optional<CannotContinueMessage> ReadCannotContinue(const QByteArray& m)
{
    if (m.size() < 3 || !isSeat(byteAt(m, 2)))
        return std::nullopt;
    return CannotContinueMessage{byteAt(m, 2), BytesToText(m, 3)};
}

std::optional<std::uint8_t> ReadSeatReady(const QByteArray& m)
{
    if (m.size() != 2 || !isSeat(byteAt(m, 1)))
        return std::nullopt;
    return byteAt(m, 1);
}

std::optional<std::uint8_t> ReadSpectatorView(const QByteArray& m)
{
    if (m.size() != 3)
        return std::nullopt;
    return byteAt(m, 2);
}

std::optional<QStringList> ReadChatLine(const QByteArray& m)
{
    const QStringList fields = BytesToText(m, 1).split(QLatin1Char('`'));
    if (fields.size() < 10)
        return std::nullopt;
    return fields.mid(2, 8);
}

QString ReadPlayRefused(const QByteArray& m) { return BytesToText(m, 1); }

std::optional<ItemUseMessage> ReadItemUse(const QByteArray& m)
{
    ItemUseMessage r;
    qint32 id = 0;
    if (m.size() < 8 || !ReadInt32BE(id, m, 4))
        return std::nullopt;
    r.fromUser = byteAt(m, 2);
    r.toUser = byteAt(m, 3);
    r.itemId = id;
    return r;
}

QString ReadItemNotice(const QByteArray& m) { return BytesToText(m, 2); }

} // namespace kelpo
