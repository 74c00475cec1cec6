// The table snapshot on top of a fresh client state and of one in the middle
// of a hand: whatever the bytes, every card list stays within a hand's size.

#include "FuzzSupport.h"

#include "state/CardStateOps.h"

using namespace kelpo;

namespace {

void CheckBounded(const ClientState& s)
{
    const auto bounded = [](const CardList& l) { return l.count() >= 0 && l.count() <= 54; };
    if (!bounded(s.cards.HandCards) || !bounded(s.cards.SavedHand) || !bounded(s.cards.PartnerHandNext) ||
        !bounded(s.cards.PartnerHandFar))
        fuzz::Fail("a hand longer than any deal");
    for (const SeatRecord& r : s.seats)
        if (!bounded(r.currentPlay) || !bounded(r.lastRoundPlay) || !bounded(r.revealedCards))
            fuzz::Fail("a seat's cards longer than any deal");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView body(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ClientState fresh;
    RestoreCardSnapshot(fresh, body);
    CheckBounded(fresh);

    ClientState playing;
    playing.globals.MySeat = 2;
    for (int i = 1; i <= 18; ++i)
        playing.cards.HandCards.append(static_cast<CardCode>(i));
    RestoreCardSnapshot(playing, body);
    CheckBounded(playing);
    return 0;
}
