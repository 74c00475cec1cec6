#pragma once
// A table client with its real main window, headless: six players seated,
// packets captured, sound cues recorded, boxes recorded and answered by the
// modal-box service, waits driven by a clock that moves on every reading.

#include "game/Client.h"
#include "platform/TickClock.h"
#include "room/frmGameMain.h"

#include <QByteArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace kelpo::test {

// Each reading is `step` ms later than the last, so every wait ends after
// a bounded number of passes whatever it waits for.
class SteppingClock final : public TickClock {
public:
    explicit SteppingClock(std::int64_t step = 5) : step_(step) {}
    std::int64_t TickCount() const override { return now_ += step_; }
    std::int64_t now() const { return now_; }

private:
    mutable std::int64_t now_ = 0;
    std::int64_t step_;
};

QByteArray Bytes(std::initializer_list<int> values);
QByteArray Cards(const std::vector<int>& cards);

// Messages as the server sends them.
QByteArray HandStartMsg(int actingSeat, int phase, int autoPlayLimit = 5, int decks = 2);
QByteArray DealMsg(const std::vector<int>& hand);
QByteArray PlayMsg(int seat, const std::vector<int>& cards, int nextSeat, int phase, int finishRank = 0,
                   int warnFlag = 0);
QByteArray PassMsg(int seat, int nextSeat, int phase = 2);
QByteArray TributeMsg(int seat, int card, int nextSeat, int phase, std::array<int, 4> pairs = {9, 9, 9, 9});
// The table taken over mid-hand, one pack: the header, then the seats' plays
// and the hands as given.
QByteArray SnapshotMsg(int actingSeat, int phase, const QByteArray& playsAndHands);

class TableFlowTest : public ::testing::Test {
protected:
    TableFlowTest();
    ~TableFlowTest() override;

    // Makes the local user sit at mySeat (or watch the player there).
    void seatAt(int mySeat, bool spectator = false);
    void deliver(const QByteArray& message) { client.OnDataArrived(message); }
    // Hand start and a one-hand deal, the local seat acting in phase.
    void startHand(const std::vector<int>& hand, int actingSeat, int phase, int autoPlayLimit = 5);

    // Boxes shown since the last call, as "caption|text", and forgets them.
    std::vector<QString> takeBoxes();
    std::vector<QByteArray> takeSent();
    const CardList& hand() const { return client.state.cards.HandCards; }
    SeatRecord& seat(int s) { return client.state.seats[static_cast<std::size_t>(s)]; }

    QTemporaryDir dir;
    SteppingClock clock;
    Client client;
    std::vector<QByteArray> sent;
    std::vector<QString> cues; // file names played
    int unloadedWith = -1;
    std::unique_ptr<frmGameMain> window;
};

} // namespace kelpo::test
