#include "server/GameMessages.h"

#include "platform/Cp936.h"

namespace kelpo::server {

namespace {

char Byte(int v) { return static_cast<char>(static_cast<std::uint8_t>(v)); }

void AppendCards(QByteArray& out, const CardList& cards)
{
    for (CardCode c : cards.codes())
        out.append(Byte(c));
}

// A count byte and the cards; a list can never outgrow the byte because
// hands and plays stay within 6 packs' share plus one tribute card.
void AppendCountedCards(QByteArray& out, const CardList& cards)
{
    out.append(Byte(cards.count()));
    AppendCards(out, cards);
}

void AppendInt32BE(QByteArray& out, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    out.append(Byte(u >> 24));
    out.append(Byte(u >> 16));
    out.append(Byte(u >> 8));
    out.append(Byte(u));
}

} // namespace

QByteArray BuildHandStart(const TableConfig& config, int actingSeat, Phase phase)
{
    QByteArray out(HandStartLength, '\0');
    out[0] = Byte(MsgHandStart);
    out[3] = Byte(config.autoPlayLimit);
    out[11] = Byte(config.deckCount);
    out[12] = Byte(config.spareParameter);
    out[13] = Byte(config.turnSeconds);
    out[14] = Byte(config.tributeSeconds);
    out[15] = Byte(actingSeat);
    out[16] = Byte(static_cast<int>(phase));
    out[17] = Byte(config.showCardCounts);
    return out;
}

QByteArray BuildDeal(const std::array<CardList, SeatCount>& hands, int viewSeat, bool threeHand)
{
    QByteArray out;
    out.append(Byte(MsgDeal));
    out.append('\0');
    out.append(Byte(threeHand ? 1 : 0));
    if (!IsSeat(viewSeat))
        return out;
    AppendCards(out, hands[viewSeat]);
    if (threeHand) {
        AppendCards(out, hands[PartnerNextSeat(viewSeat)]);
        AppendCards(out, hands[PartnerFarSeat(viewSeat)]);
    }
    return out;
}

QByteArray BuildHandsRefresh(const std::array<CardList, SeatCount>& hands, int viewSeat,
                             bool threeHand)
{
    QByteArray out;
    out.append(Byte(MsgHandsRefresh));
    out.append('\0');
    if (!IsSeat(viewSeat)) {
        out.append('\0');
        out.append('\0');
        return out;
    }
    AppendCountedCards(out, hands[viewSeat]);
    if (threeHand) {
        AppendCountedCards(out, hands[PartnerNextSeat(viewSeat)]);
        AppendCountedCards(out, hands[PartnerFarSeat(viewSeat)]);
    } else {
        out.append('\0');
    }
    return out;
}

QByteArray BuildPlay(int nextSeat, Phase phase, int finishRank, int warnFlag, int seat,
                     const CardList& cards)
{
    QByteArray out;
    out.reserve(8 + cards.count());
    out.append(Byte(MsgPlay));
    out.append('\0');
    out.append(Byte(nextSeat));
    out.append(Byte(static_cast<int>(phase)));
    out.append(Byte(finishRank));
    out.append(Byte(warnFlag));
    out.append(Byte(seat));
    AppendCountedCards(out, cards);
    return out;
}

QByteArray BuildRefusal(const QString& reason)
{
    QByteArray out;
    out.append(Byte(MsgRefused));
    out.append(cp936::Encode(reason));
    return out;
}

QByteArray BuildHandOver(const SeatResults& results, const std::array<CardList, SeatCount>& hands)
{
    QByteArray out;
    out.append(Byte(MsgHandOver));
    out.append('\1');
    for (std::int32_t r : results)
        AppendInt32BE(out, r);
    for (const CardList& hand : hands)
        AppendCountedCards(out, hand);
    return out;
}

QByteArray BuildTribute(int seat, CardCode card, int nextSeat, Phase phase,
                        const std::array<TributePair, 2>& pairs)
{
    QByteArray out(TributeLength, '\0');
    out[0] = Byte(MsgTribute);
    out[2] = Byte(seat);
    out[3] = Byte(card);
    out[4] = Byte(nextSeat);
    out[5] = Byte(static_cast<int>(phase));
    out[6] = Byte(pairs[0].receiver);
    out[7] = Byte(pairs[0].giver);
    out[8] = Byte(pairs[1].receiver);
    out[9] = Byte(pairs[1].giver);
    return out;
}

QByteArray BuildSeatReady(int seat)
{
    QByteArray out;
    out.append(Byte(MsgSeatReady));
    out.append(Byte(seat));
    return out;
}

QByteArray BuildSnapshot(const TableState& table, int viewSeat, bool canSeeHand)
{
    QByteArray out(37, '\0');
    out[0] = Byte(MsgSnapshot);
    out[2] = 1;
    out[4] = Byte(canSeeHand ? 1 : 0);
    out[5] = Byte(table.config.deckCount);
    // A player back within a hand has had no hand start: without this byte
    // his client would count automatic plays against its default limit.
    out[6] = Byte(table.config.autoPlayLimit);
    out[7] = Byte(table.config.showCardCounts);
    out[8] = Byte(table.config.turnSeconds);
    out[9] = Byte(table.config.tributeSeconds);
    out[10] = Byte(table.actingSeat);
    out[11] = Byte(static_cast<int>(table.phase));
    out[14] = Byte(table.best.seat);
    out[15] = Byte(table.best.maxCard);
    out[16] = Byte(table.best.playType);
    out[17] = Byte(table.best.cardCount);
    for (int seat = 0; seat < SeatCount; ++seat) {
        const SeatState& s = table.seats[seat];
        out[19 + seat] = Byte(s.warnFlag);
        out[25 + seat] = Byte(s.finishRank);
        out[31 + seat] = Byte(s.hand.count());
    }
    for (const SeatState& s : table.seats)
        AppendCountedCards(out, s.currentPlay);
    if (!IsSeat(viewSeat)) {
        out.append('\0');
        out.append('\0');
        return out;
    }
    AppendCountedCards(out, table.seats[viewSeat].hand);
    const bool threeHand = table.config.threeHandDeal;
    out.append(Byte(threeHand ? 1 : 0));
    if (threeHand) {
        AppendCountedCards(out, table.seats[PartnerNextSeat(viewSeat)].hand);
        AppendCountedCards(out, table.seats[PartnerFarSeat(viewSeat)].hand);
    }
    return out;
}

QByteArray BuildIdleSnapshot(const std::array<bool, SeatCount>& handsUp, bool canSeeHand)
{
    QByteArray out(11, '\0');
    out[0] = Byte(MsgSnapshot);
    for (int seat = 0; seat < SeatCount; ++seat)
        out[4 + seat] = Byte(handsUp[seat] ? 1 : 0);
    out[10] = Byte(canSeeHand ? 1 : 0);
    return out;
}

std::optional<ClientAction> ParseClientAction(const QByteArray& message)
{
    if (message.size() < 2)
        return std::nullopt;
    auto at = [&](int i) { return static_cast<std::uint8_t>(message[i]); };
    ClientAction action;
    switch (at(0)) {
    case MsgPlay: {
        // [20] [0] x5 [seat] [n] n cards, exactly n + 8 bytes.
        if (message.size() < 8 || message.size() != at(7) + 8)
            return std::nullopt;
        action.kind = ClientAction::Kind::Play;
        for (int i = 8; i < message.size(); ++i)
            action.cards.append(at(i));
        return action;
    }
    case MsgTribute:
        // [23] [0 tribute, 1 return] [seat] [card] ...
        if (message.size() < 4)
            return std::nullopt;
        // Byte 1 says whether the client thinks it is returning; the
        // table's own phase decides, so it is not read.
        action.kind = ClientAction::Kind::Tribute;
        action.cards.append(at(3));
        return action;
    case MsgHandsRefresh:
        action.kind = ClientAction::Kind::NoCards;
        return action;
    case MsgDeal:
        action.kind = ClientAction::Kind::HandStartAck;
        return action;
    default:
        return std::nullopt;
    }
}

} // namespace kelpo::server
