#include "TableReplay.h"

#include "platform/Cp936.h"
#include "rules/PlayRules.h"
#include "rules/TributeRules.h"
#include "server/GameMessages.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace kelpo::server::testing {

namespace {

int At(const QByteArray& m, int i) { return i < m.size() ? static_cast<std::uint8_t>(m[i]) : -1; }

std::vector<CardCode> Sorted(std::vector<CardCode> v)
{
    std::sort(v.begin(), v.end());
    return v;
}

std::int32_t Int32At(const QByteArray& m, int i)
{
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k)
        v = (v << 8) | static_cast<std::uint32_t>(At(m, i + k));
    return static_cast<std::int32_t>(v);
}

} // namespace

std::vector<PlayMessage> PlaysIn(const std::vector<Outgoing>& messages)
{
    std::vector<PlayMessage> plays;
    for (const Outgoing& o : messages) {
        const QByteArray& m = o.bytes;
        if (At(m, 0) != MsgPlay)
            continue;
        EXPECT_EQ(o.seat, AllSeats);
        EXPECT_GE(m.size(), 9);
        EXPECT_EQ(m.size(), At(m, 7) + 8);
        PlayMessage p{At(m, 2), At(m, 3), At(m, 4), At(m, 5), At(m, 6), {}};
        for (int i = 8; i < m.size(); ++i)
            p.cards.append(static_cast<CardCode>(At(m, i)));
        plays.push_back(p);
    }
    return plays;
}

std::vector<QString> RefusalsTo(const std::vector<Outgoing>& messages, int seat)
{
    std::vector<QString> texts;
    for (const Outgoing& o : messages)
        if (At(o.bytes, 0) == MsgRefused && o.seat == seat)
            texts.push_back(cp936::Decode(o.bytes, 1));
    return texts;
}

bool TableReplay::fail(const QString& why)
{
    if (error_.isEmpty())
        error_ = why;
    return false;
}

bool TableReplay::feedAll(const std::vector<Outgoing>& messages)
{
    for (const Outgoing& o : messages)
        if (!feed(o))
            return false;
    return true;
}

bool TableReplay::feed(const Outgoing& o)
{
    switch (At(o.bytes, 0)) {
    case MsgHandStart:
        return onHandStart(o.bytes);
    case MsgDeal:
        return onDeal(o.seat, o.bytes);
    case MsgPlay:
        return onPlay(o.bytes);
    case MsgTribute:
        return onTribute(o.bytes);
    case MsgHandOver:
        return onHandOver(o.bytes);
    case MsgRefused:
        return fail(QStringLiteral("refusal to seat %1: %2").arg(o.seat).arg(cp936::Decode(o.bytes, 1)));
    default:
        return fail(QStringLiteral("unexpected class %1").arg(At(o.bytes, 0)));
    }
}

bool TableReplay::onHandStart(const QByteArray& m)
{
    if (m.size() != HandStartLength || inHand_)
        return fail(QStringLiteral("bad hand start"));
    deckCount_ = At(m, 11);
    acting_ = At(m, 15);
    phase_ = At(m, 16);
    inHand_ = true;
    ranks_ = {};
    given_ = {};
    best_ = {};
    for (int s = 0; s < SeatCount; ++s)
        played_[s].clear();
    return true;
}

bool TableReplay::onDeal(int seat, const QByteArray& m)
{
    const int n = deckCount_ * 54 / 6;
    const bool three = At(m, 2) != 0;
    if (!IsSeat(seat) || m.size() != (three ? 3 * n + 3 : n + 3))
        return fail(QStringLiteral("bad deal for seat %1").arg(seat));
    CardList hand;
    for (int i = 3; i < n + 3; ++i)
        hand.append(static_cast<CardCode>(At(m, i)));
    hands_[seat] = hand;
    dealt_[seat] = hand;
    return true;
}

bool TableReplay::removeFrom(int seat, const CardList& cards)
{
    CardList hand = hands_[seat];
    for (CardCode c : cards.codes()) {
        auto& codes = hand.codes();
        auto it = std::find(codes.begin(), codes.end(), c);
        if (it == codes.end())
            return fail(QStringLiteral("seat %1 played card %2 it does not hold").arg(seat).arg(c));
        codes.erase(it);
    }
    hands_[seat] = hand;
    return true;
}

bool TableReplay::onPlay(const QByteArray& m)
{
    if (m.size() < 9 || m.size() != At(m, 7) + 8)
        return fail(QStringLiteral("bad play length"));
    const int seat = At(m, 6);
    if (seat != acting_ || (phase_ != 1 && phase_ != 2))
        return fail(QStringLiteral("seat %1 played out of turn (acting %2, phase %3)").arg(seat).arg(acting_).arg(phase_));
    CardList cards;
    for (int i = 8; i < m.size(); ++i)
        cards.append(static_cast<CardCode>(At(m, i)));
    ++plays_;
    if (cards.isPass()) {
        if (phase_ != 2)
            return fail(QStringLiteral("pass on a lead"));
    } else {
        QString why;
        PlayType type = PlayType::Invalid;
        CardCode maxCard = 0;
        const bool ok = phase_ == 1 ? CheckLeadPlay(cards, why, type, maxCard)
                                    : CheckFollowPlay(cards, best_, why, type, maxCard);
        if (!ok)
            return fail(QStringLiteral("unlawful play by seat %1: %2").arg(seat).arg(why));
        if (!removeFrom(seat, cards))
            return false;
        for (CardCode c : cards.codes())
            played_[seat].append(c);
        best_ = RoundBest{static_cast<std::uint8_t>(seat), static_cast<std::uint8_t>(type), maxCard,
                          static_cast<std::uint8_t>(cards.count())};
        if (hands_[seat].isEmpty()) {
            const int finished = static_cast<int>(std::count_if(ranks_.begin(), ranks_.end(),
                                                                [](int r) { return r != 0; }));
            ranks_[seat] = finished + 1;
        }
    }
    if (At(m, 4) != ranks_[seat])
        return fail(QStringLiteral("seat %1 finish rank %2, expected %3").arg(seat).arg(At(m, 4)).arg(ranks_[seat]));
    if (At(m, 5) != (hands_[seat].count() <= 5 ? 1 : 0))
        return fail(QStringLiteral("seat %1 warning flag wrong").arg(seat));
    acting_ = At(m, 2);
    phase_ = At(m, 3);
    if (phase_ != 0 && (!IsSeat(acting_) || ranks_[acting_] != 0))
        return fail(QStringLiteral("turn given to finished seat %1").arg(acting_));
    return true;
}

bool TableReplay::onTribute(const QByteArray& m)
{
    if (m.size() != TributeLength)
        return fail(QStringLiteral("bad tribute length"));
    const int seat = At(m, 2);
    const CardCode card = static_cast<CardCode>(At(m, 3));
    if (seat != acting_ || (phase_ != 3 && phase_ != 4))
        return fail(QStringLiteral("tribute out of turn"));
    QString why;
    const bool ok = phase_ == 3 ? CheckTributeCard(card, hands_[seat], why)
                                : CheckReturnTributeCard(card, hands_[seat], why);
    if (!ok)
        return fail(QStringLiteral("unlawful tribute card: %1").arg(why));
    if (!removeFrom(seat, CardList{card}))
        return false;
    given_[seat] = card;
    acting_ = At(m, 4);
    phase_ = At(m, 5);
    if (phase_ == 1) {
        for (int k = 0; k < 2; ++k) {
            const int a = At(m, 6 + 2 * k);
            const int b = At(m, 7 + 2 * k);
            if (!IsSeat(a) || !IsSeat(b))
                return fail(QStringLiteral("bad exchange pair"));
            hands_[a].append(given_[b]);
            hands_[b].append(given_[a]);
        }
    }
    return true;
}

bool TableReplay::onHandOver(const QByteArray& m)
{
    if (At(m, 1) != 1)
        return fail(QStringLiteral("hand over without results"));
    int pos = 26;
    std::vector<CardCode> everything;
    std::vector<CardCode> deal;
    FinishRanks ranks{};
    for (int s = 0; s < SeatCount; ++s) {
        const int count = At(m, pos++);
        if (count < 0 || pos + count > m.size())
            return fail(QStringLiteral("hand over too short"));
        std::vector<CardCode> left;
        for (int i = 0; i < count; ++i)
            left.push_back(static_cast<CardCode>(At(m, pos++)));
        if (Sorted(left) != Sorted(hands_[s].codes()))
            return fail(QStringLiteral("seat %1 remaining cards differ").arg(s));
        everything.insert(everything.end(), left.begin(), left.end());
        everything.insert(everything.end(), played_[s].codes().begin(), played_[s].codes().end());
        deal.insert(deal.end(), dealt_[s].codes().begin(), dealt_[s].codes().end());
        ranks[s] = ranks_[s];
    }
    if (pos != m.size())
        return fail(QStringLiteral("hand over too long"));
    if (Sorted(everything) != Sorted(deal))
        return fail(QStringLiteral("cards played and left do not make the deal"));
    if (!HandIsOver(ranks))
        return fail(QStringLiteral("hand over before its end"));
    const SeatResults expected = HandResults(ranks, 1);
    for (int s = 0; s < SeatCount; ++s) {
        const std::int32_t r = Int32At(m, 2 + 4 * s);
        if ((r > 0) != (expected[s] > 0) || (r < 0) != (expected[s] < 0))
            return fail(QStringLiteral("seat %1 result %2 has the wrong sign").arg(s).arg(r));
    }
    inHand_ = false;
    phase_ = 100;
    ++handsOver_;
    return true;
}

} // namespace kelpo::server::testing
