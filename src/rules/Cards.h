#pragma once
// The card code and the 1-based card list every layer shares.

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace kelpo {

// 0..51 ordinary (suit = code / 13, rank = code % 13, rank 0 is the 3 and 12
// the 2), 52 small joker, 53 big joker.
using CardCode = std::uint8_t;

inline constexpr CardCode SmallJoker = 52;
inline constexpr CardCode BigJoker = 53;
inline constexpr CardCode HighestCard = 53;
// A play made of this single byte is a pass.
inline constexpr CardCode PassMarker = 254;
// Image index for a code that has no picture.
inline constexpr std::uint8_t NoCardImage = 255;

// Seats 0..5; seats of equal parity are partners.
inline constexpr int SeatCount = 6;

inline constexpr bool IsValidCard(int code) { return code >= 0 && code <= HighestCard; }

// A card list addressed by positions 1..count(), as the game describes every
// hand and play. The conversion to 0-based storage happens here and nowhere
// else. Reads outside 1..count() give NoCardImage instead of undefined
// behaviour, writes outside are ignored, so data from the network can never
// index past the end.
class CardList {
public:
    CardList() = default;
    CardList(std::initializer_list<CardCode> cards) : cards_(cards) {}
    explicit CardList(std::vector<CardCode> cards) : cards_(std::move(cards)) {}

    int count() const { return static_cast<int>(cards_.size()); }
    bool isEmpty() const { return cards_.empty(); }
    bool contains(int pos) const { return pos >= 1 && pos <= count(); }

    CardCode at(int pos) const { return contains(pos) ? cards_[pos - 1] : NoCardImage; }
    void set(int pos, CardCode code)
    {
        if (contains(pos))
            cards_[pos - 1] = code;
    }

    void append(CardCode code) { cards_.push_back(code); }
    void resize(int n) { cards_.resize(n < 0 ? 0 : static_cast<std::size_t>(n), 0); }
    void clear() { cards_.clear(); }
    void removeAt(int pos)
    {
        if (contains(pos))
            cards_.erase(cards_.begin() + (pos - 1));
    }

    // True for the one-card play that means "pass".
    bool isPass() const { return cards_.size() == 1 && cards_[0] == PassMarker; }

    const std::vector<CardCode>& codes() const { return cards_; }
    std::vector<CardCode>& codes() { return cards_; }

    friend bool operator==(const CardList&, const CardList&) = default;

private:
    std::vector<CardCode> cards_;
};

// The play to beat in the current round.
struct RoundBest {
    std::uint8_t seat = 0;
    std::uint8_t playType = 0;
    CardCode maxCard = 0;
    std::uint8_t cardCount = 0;
    friend bool operator==(const RoundBest&, const RoundBest&) = default;
};

} // namespace kelpo
