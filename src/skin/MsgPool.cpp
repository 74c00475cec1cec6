#include "skin/MsgPool.h"

#include "skin/ModalBoxes.h"

#include <memory>

namespace kelpo {

MsgPool::MsgPool(ClientState& state, QObject* parent) : QObject(parent), state_(state) {}

MsgPool::~MsgPool()
{
    for (MsgObject& s : slots_)
        delete s.frm.data();
}

void MsgPool::InitMsgObjects()
{
    for (MsgObject& s : slots_)
        if (s.frm)
            s.frm->Unload();
    for (MsgObject& s : slots_)
        s.frm = nullptr;
    max_ = -1;
    resPath_ = state_.globals.ParentPath + QStringLiteral("res/");
}

const MsgObject* MsgPool::slot(int i) const
{
    return i >= 0 && i <= max_ && i < static_cast<int>(slots_.size())
               ? &slots_[static_cast<std::size_t>(i)]
               : nullptr;
}

std::vector<frmMsg*> MsgPool::openBoxes() const
{
    std::vector<frmMsg*> out;
    for (int i = 0; i <= max_; ++i)
        if (frmMsg* f = slots_[static_cast<std::size_t>(i)].frm.data(); f && !f->isUnloaded())
            out.push_back(f);
    return out;
}

int MsgPool::takeSlot()
{
    for (int i = 0; i <= max_; ++i) {
        const MsgObject& s = slots_[static_cast<std::size_t>(i)];
        if (!s.frm || s.frm->isUnloaded())
            return i;
    }
    ++max_;
    if (static_cast<int>(slots_.size()) <= max_)
        slots_.resize(static_cast<std::size_t>(max_) + 1);
    return max_;
}

std::int16_t MsgPool::ShowMsg(std::int32_t ownerTag, QWidget* owner, std::uint8_t bteMsgType,
                              const QString& strNote, const QString& strCaption,
                              std::int32_t lngMaxDelayTime, const QString& strYesCmdCaption,
                              const QString& strNoCmdCaption, bool blnYesDefault)
{
    if (state_.globals.QuitRequested)
        return 0;
    const int at = takeSlot();
    // A slot keeps the answer of its previous box; a box closed without an
    // answer must not inherit it (a stale "force quit" would end the game).
    slots_[static_cast<std::size_t>(at)].intResult = 0;

    QPointer<frmMsg> box = new frmMsg(owner);
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setLngRoomObjectIdx(ownerTag);
    box->setLngMsgObjectIdx(at);
    box->setIconFolder(resPath_);
    box->SetMsgInfo(bteMsgType, strNote, strCaption, lngMaxDelayTime, strYesCmdCaption,
                    strNoCmdCaption, blnYesDefault);
    slots_[static_cast<std::size_t>(at)].frm = box;

    auto answer = std::make_shared<std::int16_t>(0);
    connect(box, &frmMsg::answered, this, [this, at, answer, raw = box.data()](int result) {
        *answer = static_cast<std::int16_t>(result);
        if (at < static_cast<int>(slots_.size()) && slots_[static_cast<std::size_t>(at)].frm == raw)
            slots_[static_cast<std::size_t>(at)].intResult = static_cast<std::int16_t>(result);
    });
    connect(box, &frmMsg::unloaded, this, [this, at, raw = box.data()] {
        if (at < static_cast<int>(slots_.size()) && slots_[static_cast<std::size_t>(at)].frm == raw)
            slots_[static_cast<std::size_t>(at)].frm = nullptr;
    });
    box->Load();

    if (bteMsgType == 0) {
        box->show();
        return slots_[static_cast<std::size_t>(at)].intResult;
    }
    box->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    ModalBoxes::instance().RunModal(box);
    // Closed some other way (the window service, its owner going away).
    if (box && !box->isUnloaded())
        box->Unload();
    return state_.globals.QuitRequested ? 0 : *answer;
}

void MsgPool::CloseMsgBoxes(std::int32_t ownerTag)
{
    for (int i = 0; i <= max_ && i < static_cast<int>(slots_.size()); ++i) {
        QPointer<frmMsg> box = slots_[static_cast<std::size_t>(i)].frm;
        if (box && box->lngRoomObjectIdx() == ownerTag) {
            slots_[static_cast<std::size_t>(i)].frm = nullptr;
            box->Unload();
        }
    }
}

} // namespace kelpo
