#pragma once
// The user-preferences dialog: five check boxes for the five preferences,
// defaults, confirm and cancel. Confirming stores and saves them and tells
// the room server when the spectators' view of the hand was switched.

#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace kelpo {

struct ClientState;

class frmUserSet : public QDialog {
    Q_OBJECT
public:
    // Receives the change message; the main window sends it unchanged.
    using PacketSink = std::function<void(const QByteArray& packet)>;

    frmUserSet(ClientState& state, PacketSink send, QWidget* parent = nullptr);

    // 0 = defaults (all ticked, nothing stored), 1 = confirm, 2 = cancel.
    void cmdUser_Click(int index);

    QCheckBox* chkUser(int index) const;
    QPushButton* cmdUser(int index) const;
    QGroupBox* Frame1() const { return frame1_; }
    QGroupBox* Frame2() const { return frame2_; }
    // AllowWatchCards as it was when the dialog opened.
    std::uint8_t watchCardsAtOpen() const { return watchAtOpen_; }

private:
    ClientState& state_;
    PacketSink send_;
    std::uint8_t watchAtOpen_ = 0;
    QGroupBox* frame1_ = nullptr;
    QGroupBox* frame2_ = nullptr;
    std::array<QCheckBox*, 5> chkUser_{};
    std::array<QPushButton*, 3> cmdUser_{};
};

// The message that tells the room server whether spectators may see the
// user's cards: class 113, code 1, "name`digit". Empty when there is no
// user name to send.
QByteArray WatchCardsChangePacket(const ClientState& state);

} // namespace kelpo
