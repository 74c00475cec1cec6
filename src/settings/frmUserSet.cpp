#include "settings/frmUserSet.h"

#include "net/Packet.h"
#include "settings/UserSet.h"
#include "skin/ModalBoxes.h"
#include "state/ClientState.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>

namespace kelpo {

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int Px(int twips) { return twips / TwipsPerPixel; }

std::array<std::uint8_t*, 5> Fields(Preferences& p)
{
    return {&p.AllowWatchCards, &p.SoundOn, &p.ShowInOutMsg, &p.AskForceQuit, &p.WarnBadPlay};
}

struct BoxPlace {
    const char* caption;
    int frame; // 2 = basic settings, 1 = prompts
    int top;
    int width;
};

constexpr BoxPlace Boxes[5] = {
    {"允许旁观者看我的牌", 2, 360, 1935}, {"启用音效", 2, 720, 1935}, {"显示用户进出消息", 2, 1080, 1815},
    {"强退时给出提示", 1, 360, 1815},     {"出牌不对时给出提示", 1, 720, 2295},
};

constexpr const char* ButtonCaptions[3] = {"默认值(&D)", "确定(&Y)", "取消(&C)"};
constexpr int ButtonLeft[3] = {120, 3000, 4080};
constexpr int ButtonWidth[3] = {1095, 975, 975};

} // namespace

QByteArray WatchCardsChangePacket(const ClientState& state)
{
    QByteArray packet;
    const QString body = state.globals.UserName + QLatin1Char('`') +
                         QString::number(state.prefs.AllowWatchCards != 0 ? 1 : 0);
    if (state.globals.UserName.isEmpty() || !BuildPacket(body, packet, 2, QByteArray("\x71\x01", 2)))
        return {};
    return packet;
}

frmUserSet::frmUserSet(ClientState& state, PacketSink send, QWidget* parent)
    : QDialog(parent), state_(state), send_(std::move(send))
{
    setAttribute(Qt::WA_DeleteOnClose, true);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QStringLiteral("用户设置"));
    setModal(false);
    setFixedSize(Px(5190), Px(3465));

    frame2_ = new QGroupBox(QStringLiteral("基本设置"), this);
    frame2_->setGeometry(Px(120), Px(120), Px(4935), Px(1455));
    frame1_ = new QGroupBox(QStringLiteral("提示设置"), this);
    frame1_->setGeometry(Px(120), Px(1680), Px(4935), Px(1095));
    for (int i = 0; i < 5; ++i) {
        const BoxPlace& b = Boxes[i];
        chkUser_[i] = new QCheckBox(QString::fromUtf8(b.caption), b.frame == 2 ? frame2_ : frame1_);
        chkUser_[i]->setGeometry(Px(240), Px(b.top), Px(b.width), Px(255));
    }
    for (int i = 0; i < 3; ++i) {
        cmdUser_[i] = new QPushButton(QString::fromUtf8(ButtonCaptions[i]), this);
        cmdUser_[i]->setGeometry(Px(ButtonLeft[i]), Px(3000), Px(ButtonWidth[i]), Px(350));
        cmdUser_[i]->setAutoDefault(false);
        connect(cmdUser_[i], &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
    }

    watchAtOpen_ = state_.prefs.AllowWatchCards;
    const auto values = Fields(state_.prefs);
    for (int i = 0; i < 5; ++i)
        chkUser_[i]->setChecked(*values[i] != 0);
}

QCheckBox* frmUserSet::chkUser(int index) const
{
    return index >= 0 && index < 5 ? chkUser_[index] : nullptr;
}

QPushButton* frmUserSet::cmdUser(int index) const
{
    return index >= 0 && index < 3 ? cmdUser_[index] : nullptr;
}

void frmUserSet::cmdUser_Click(int index)
{
    switch (index) {
    case 0:
        for (QCheckBox* box : chkUser_)
            box->setChecked(true);
        return;
    case 1: {
        const auto values = Fields(state_.prefs);
        for (int i = 0; i < 5; ++i)
            *values[i] = chkUser_[i]->isChecked() ? 1 : 0;
        // The server hears of the change even if the file cannot be
        // written: the preference holds for this session either way.
        if (state_.prefs.AllowWatchCards != watchAtOpen_) {
            const QByteArray packet = WatchCardsChangePacket(state_);
            if (!packet.isEmpty() && send_)
                send_(packet);
            watchAtOpen_ = state_.prefs.AllowWatchCards;
        }
        if (!SaveUserSet(state_)) {
            QPointer<frmUserSet> self(this);
            ModalBoxes::instance().SystemMessage(
                this, QMessageBox::Warning, QStringLiteral("用户设置"),
                QStringLiteral("用户设置未能保存到 %1，本次运行仍然有效。").arg(UserSetSavePath()));
            if (!self)
                return;
        }
        close();
        return;
    }
    case 2:
        close();
        return;
    default:
        return;
    }
}

} // namespace kelpo
