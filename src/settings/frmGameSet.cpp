#include "settings/frmGameSet.h"

#include "net/Packet.h"
#include "platform/NumericValue.h"
#include "skin/ModalBoxes.h"
#include "state/ClientState.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QValidator>

namespace kelpo {

namespace {

constexpr int TwipsPerPixel = 15;
constexpr int Px(int twips) { return twips / TwipsPerPixel; }

constexpr int CountdownTicks = 20;
constexpr int MaxDigits = 7;

std::int32_t ReadNumber(const QString& text)
{
    return NumericInt32(text);
}

// Text that reaches a box other than by typing (pasted from its menu,
// dropped) must keep it digits only: the box text goes into the reply as it
// stands, and a back-quote in it would add fields. A text the server sent
// that is not all digits can still be edited.
class DigitsOnly : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar c : input)
            if (c < u'0' || c > u'9')
                return Invalid;
        return Acceptable;
    }
};

} // namespace

frmGameSet::frmGameSet(const ClientState& state, ResultSink sendGameSetResult, QWidget* parent)
    : QDialog(parent), state_(state), sendGameSetResult_(std::move(sendGameSetResult))
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(state_.globals.GameName + QStringLiteral(" 游戏设置"));
    setModal(false);
    setFixedSize(Px(4590), Px(2640));

    famGameSet_ = new QGroupBox(this);
    famGameSet_->setGeometry(Px(120), Px(120), Px(4335), Px(1935));

    label1_ = new QLabel(QStringLiteral("本桌大小"), famGameSet_);
    label2_ = new QLabel(QStringLiteral("逃跑者应扣除的积分"), famGameSet_);
    txtUser_[0] = new QLineEdit(famGameSet_);
    txtUser_[0]->setGeometry(Px(1920), Px(480), Px(1695), Px(270));
    txtUser_[1] = new QLineEdit(famGameSet_);
    txtUser_[1]->setGeometry(Px(1920), Px(840), Px(1695), Px(270));
    // Labels stand a fixed distance left of their boxes, slightly lower.
    for (int i = 0; i < 2; ++i) {
        QLabel* label = i == 0 ? label1_ : label2_;
        const QRect box = txtUser_[i]->geometry();
        label->move(box.left() - Px(1680), box.top() + Px(40));
        label->adjustSize();
        txtUser_[i]->installEventFilter(this);
        txtUser_[i]->setValidator(new DigitsOnly(txtUser_[i]));
    }

    for (int i = 0; i < 2; ++i) {
        cmdUser_[i] = new QPushButton(this);
        cmdUser_[i]->setGeometry(Px(i == 0 ? 2160 : 3360), Px(2160), Px(1095), Px(345));
        cmdUser_[i]->setAutoDefault(false);
        connect(cmdUser_[i], &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
    }

    tmrDelay_ = new QTimer(this);
    tmrDelay_->setInterval(1000);
    connect(tmrDelay_, &QTimer::timeout, this, &frmGameSet::tmrDelay_Timer);
}

frmGameSet::~frmGameSet() = default;

bool frmGameSet::SetInitGameSetInfo(bool blnDeskMaster, const QString& strAllGameSetInfo)
{
    blnDeskMaster_ = blnDeskMaster;
    if (blnDeskMaster) {
        famGameSet_->setTitle(QStringLiteral("你是桌主，请进行本桌游戏设置"));
        confirmText_ = QStringLiteral("确定");
        cmdUser_[0]->setText(QStringLiteral("确定"));
        cmdUser_[1]->setText(QStringLiteral("取消"));
    } else {
        famGameSet_->setTitle(QStringLiteral("桌主对本桌游戏进行的设置情况"));
        confirmText_ = QStringLiteral("同意");
        cmdUser_[0]->setText(QStringLiteral("同意"));
        cmdUser_[1]->setText(QStringLiteral("不同意"));
    }
    for (QLineEdit* box : txtUser_) {
        QPalette pal = box->palette();
        pal.setColor(QPalette::Base, blnDeskMaster ? QColor(255, 255, 255) : palette().color(QPalette::Window));
        box->setPalette(pal);
        box->setReadOnly(!blnDeskMaster);
    }

    const QStringList fields = strAllGameSetInfo.split(FieldSeparator);
    if (fields.size() != 6)
        return false;
    txtUser_[0]->setText(fields[0]);
    stakeMax_ = ReadNumber(fields[1]);
    stakeMin_ = ReadNumber(fields[2]);
    txtUser_[1]->setText(fields[3]);
    penaltyMax_ = ReadNumber(fields[4]);
    penaltyMin_ = ReadNumber(fields[5]);

    tmrDelay_->start();
    return true;
}

void frmGameSet::tmrDelay_Timer()
{
    if (unloaded_)
        return;
    cmdUser_[0]->setText(QString::number(CountdownTicks - counter_) + u' ' + confirmText_);
    ++counter_;
    if (counter_ > CountdownTicks) {
        tmrDelay_->stop();
        cmdUser_Click(0);
    }
}

QString frmGameSet::validationMessage() const
{
    for (QLineEdit* box : txtUser_) {
        if (box->text().size() > MaxDigits)
            return QStringLiteral("每个输入区域的数字不能超过 7 位！");
    }
    const std::int32_t stake = ReadNumber(txtUser_[0]->text());
    if (stake > stakeMax_ || stake < stakeMin_)
        return QStringLiteral("本桌大小必须在 %1 和 %2 之间！").arg(stakeMin_).arg(stakeMax_);
    const std::int32_t penalty = ReadNumber(txtUser_[1]->text());
    if (penalty > penaltyMax_ || penalty < penaltyMin_)
        return QStringLiteral("逃跑者扣分大小必须在 %1 和 %2 之间！").arg(penaltyMin_).arg(penaltyMax_);
    return {};
}

QString frmGameSet::settingsText() const
{
    const QStringList fields{txtUser_[0]->text(),       QString::number(stakeMax_),
                             QString::number(stakeMin_), txtUser_[1]->text(),
                             QString::number(penaltyMax_), QString::number(penaltyMin_)};
    return fields.join(FieldSeparator);
}

void frmGameSet::cmdUser_Click(int index)
{
    if (unloaded_ || index < 0 || index > 1)
        return;
    tmrDelay_->stop();

    const QString& userName = state_.globals.UserName;
    std::uint8_t header[2] = {110, 0};
    QString body = userName;
    if (index == 0 && blnDeskMaster_) {
        const QString problem = validationMessage();
        if (!problem.isEmpty()) {
            QPointer<frmGameSet> self(this);
            ModalBoxes::instance().SystemMessage(this, QMessageBox::Warning, state_.globals.GameName, problem);
            // Messages handled while the box waited may have ended the dialog.
            if (self && !unloaded_)
                tmrDelay_->start();
            return;
        }
        header[0] = 112;
        header[1] = 0;
        body = userName + FieldSeparator + settingsText();
    } else if (index == 0) {
        header[0] = 112;
        header[1] = 1;
    }

    QByteArray packet;
    if (BuildPacket(body, packet, 2, QByteArray(reinterpret_cast<const char*>(header), 2)) && sendGameSetResult_)
        sendGameSetResult_(packet);
    Unload();
}

void frmGameSet::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    tmrDelay_->stop();
    hide();
    emit unloaded();
    deleteLater();
}

bool frmGameSet::AcceptsTypedCharacter(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == QChar(8);
}

bool frmGameSet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == txtUser_[0] || watched == txtUser_[1])) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Keys that type nothing (arrows, Home) are not characters. Delete
        // and Tab are editing and moving, though the window system sends
        // them with a control character as their text.
        const QString typed = key->text();
        switch (key->key()) {
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false;
        default:
            break;
        }
        if (!typed.isEmpty()) {
            for (QChar c : typed) {
                if (!AcceptsTypedCharacter(c))
                    return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmGameSet::closeEvent(QCloseEvent* event)
{
    // Closing the window would end the dialog without a reply; only the
    // buttons and the countdown may end it.
    if (!unloaded_)
        event->ignore();
}

void frmGameSet::reject()
{
    // Escape must not leave the server without an answer either.
}

bool frmGameSet::isCounting() const
{
    return tmrDelay_->isActive();
}

QString frmGameSet::frameCaption() const
{
    return famGameSet_->title();
}

QString frmGameSet::buttonCaption(int index) const
{
    return index >= 0 && index < 2 ? cmdUser_[static_cast<std::size_t>(index)]->text() : QString();
}

QString frmGameSet::boxText(int index) const
{
    return index >= 0 && index < 2 ? txtUser_[static_cast<std::size_t>(index)]->text() : QString();
}

void frmGameSet::setBoxText(int index, const QString& text)
{
    if (index >= 0 && index < 2)
        txtUser_[static_cast<std::size_t>(index)]->setText(text);
}

bool frmGameSet::boxReadOnly(int index) const
{
    return index >= 0 && index < 2 ? txtUser_[static_cast<std::size_t>(index)]->isReadOnly() : true;
}

} // namespace kelpo
