#pragma once
// The pool of message boxes: several may be open at once, each in a slot
// that keeps the answer given there, and all boxes of one owner tag close
// together.

#include "skin/frmMsg.h"
#include "state/ClientState.h"

#include <QObject>
#include <QPointer>

#include <cstdint>
#include <vector>

namespace kelpo {

struct MsgObject {
    std::int16_t intResult = 0; // -1 first button, 0 second
    QPointer<frmMsg> frm;
};

class MsgPool : public QObject {
    Q_OBJECT
public:
    explicit MsgPool(ClientState& state, QObject* parent = nullptr);
    ~MsgPool() override;

    // Slots are taken from 0 again; a box still open is closed, as nothing
    // could reach it any more.
    void InitMsgObjects();

    // Types 1 and 2 wait for the answer in a nested event loop; type 0
    // returns at once. Once the client is quitting every answer is 0.
    std::int16_t ShowMsg(std::int32_t ownerTag, QWidget* owner, std::uint8_t bteMsgType,
                         const QString& strNote, const QString& strCaption,
                         std::int32_t lngMaxDelayTime, const QString& strYesCmdCaption,
                         const QString& strNoCmdCaption, bool blnYesDefault);

    // Closes every box with that owner tag; no answer is written.
    void CloseMsgBoxes(std::int32_t ownerTag);

    int MsgObjectMax() const { return max_; }
    QString MsgResPath() const { return resPath_; }
    const MsgObject* slot(int i) const;
    // Open boxes, in slot order.
    std::vector<frmMsg*> openBoxes() const;

private:
    int takeSlot();

    ClientState& state_;
    std::vector<MsgObject> slots_;
    int max_ = -1;
    QString resPath_;
};

} // namespace kelpo
