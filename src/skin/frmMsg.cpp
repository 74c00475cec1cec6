#include "skin/frmMsg.h"

#include "platform/Fonts.h"
#include "platform/ImageFiles.h"
#include "platform/ResourcePath.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace kelpo {

frmMsg::frmMsg(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint), labNote_(new QLabel(this))
{
    // Pixel-sized so the text fits the skin's fixed box at any screen
    // resolution; the buttons inherit it.
    setFont(MakeFont(QStringLiteral("宋体"), 9, false));
    labNote_->setTextFormat(Qt::PlainText);
    labNote_->setWordWrap(true);
    labNote_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int i = 0; i < 2; ++i) {
        cmdUser_[i] = new QPushButton(this);
        cmdUser_[i]->setAutoDefault(false);
        cmdUser_[i]->hide();
        connect(cmdUser_[i], &QPushButton::clicked, this, [this, i] { cmdUser_Click(i); });
    }
    tmrDelay_.setInterval(1000);
    connect(&tmrDelay_, &QTimer::timeout, this, &frmMsg::tmrDelay_Timer);
}

void frmMsg::SetMsgInfo(std::uint8_t bteMsgType, const QString& strNote, const QString& strCaption,
                        std::int32_t lngMaxDelayTime, const QString& strYesCmdCaption,
                        const QString& strNoCmdCaption, bool blnYesDefault)
{
    type_ = bteMsgType;
    note_ = strNote;
    caption_ = strCaption;
    delay_ = lngMaxDelayTime;
    yesCaption_ = strYesCmdCaption;
    noCaption_ = strNoCmdCaption;
    yesDefault_ = blnYesDefault;
}

QPushButton* frmMsg::cmdUser(int index) const
{
    return index == 0 || index == 1 ? cmdUser_[static_cast<std::size_t>(index)] : nullptr;
}

int frmMsg::countingButton() const { return type_ == 2 && !yesDefault_ ? 1 : 0; }

void frmMsg::Load()
{
    tmrDelay_.stop();
    const bool notice = type_ == 0;
    setWindowFlag(Qt::FramelessWindowHint, notice);
    setWindowTitle(notice ? QString() : caption_);
    const int w = (notice ? 5960 : 5525) / TwipsPerPixel;
    const int h = (notice ? 1030 : 2165) / TwipsPerPixel;
    setFixedSize(w, h);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - w) / 2, area.y() + (area.height() - h) / 2);
    }

    labNote_->setText(note_);
    if (notice) {
        labNote_->setGeometry(50, 25, w - 60, h - 40);
        cmdUser_[0]->hide();
        cmdUser_[1]->hide();
        return;
    }
    labNote_->setGeometry(50, 22, w - 60, h - 70);
    const int top = h - 30;
    cmdUser_[0]->setText(yesCaption_ + QStringLiteral("(&Y)"));
    if (type_ == 1) {
        cmdUser_[0]->setGeometry((w - ButtonWidth) / 2, top, ButtonWidth, ButtonHeight);
        cmdUser_[0]->show();
        cmdUser_[1]->hide();
    } else {
        const int x = (w - 2 * ButtonWidth - 6) / 2;
        cmdUser_[0]->setGeometry(x, top, ButtonWidth, ButtonHeight);
        cmdUser_[1]->setGeometry(x + ButtonWidth + 6, top, ButtonWidth, ButtonHeight);
        cmdUser_[1]->setText(noCaption_ + QStringLiteral("(&N)"));
        cmdUser_[0]->show();
        cmdUser_[1]->show();
    }
    cmdUser_[static_cast<std::size_t>(countingButton())]->setDefault(true);
    tmrDelay_.start();
}

void frmMsg::tmrDelay_Timer()
{
    if (unloaded_)
        return;
    if (type_ == 0) {
        tmrDelay_.stop();
        return;
    }
    const int button = countingButton();
    const QString& base = button == 0 ? yesCaption_ : noCaption_;
    cmdUser_[static_cast<std::size_t>(button)]->setText(
        base + (button == 0 ? QStringLiteral("(&Y) ") : QStringLiteral("(&N) ")) + QString::number(delay_));
    --delay_;
    if (delay_ < 0) {
        tmrDelay_.stop();
        cmdUser_Click(button);
    }
}

void frmMsg::cmdUser_Click(int index)
{
    if (unloaded_ || (index != 0 && index != 1))
        return;
    tmrDelay_.stop();
    emit answered(index == 0 ? -1 : 0);
    Unload();
}

void frmMsg::Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    tmrDelay_.stop();
    hide();
    emit unloaded();
    deleteLater();
}

void frmMsg::closeEvent(QCloseEvent* e)
{
    // Closed by the window manager or the box service: no answer.
    e->ignore();
    Unload();
}

void frmMsg::reject() { Unload(); }

QString frmMsg::iconPath() const
{
    return ResolvePath(iconFolder_, QStringLiteral("Msg%1.ico").arg(type_));
}

QImage frmMsg::Picture() const
{
    QImage img(size(), QImage::Format_RGB32);
    img.fill(palette().color(QPalette::Window));
    QPainter p(&img);
    if (!iconFolder_.isEmpty()) {
        const QImage icon = ReadImageFile(iconPath());
        if (!icon.isNull())
            p.drawImage(10, 15, icon);
    }
    if (type_ == 1 || type_ == 2) {
        const int y = cmdUser_[0]->y() - 10;
        p.setPen(QColor(255, 255, 255));
        p.drawLine(10, y, width() - 10, y);
        p.setPen(QColor(132, 130, 132));
        p.drawLine(10, y + 1, width() - 10, y + 1);
    }
    return img;
}

void frmMsg::paintEvent(QPaintEvent*)
{
    QPainter(this).drawImage(0, 0, Picture());
}

void frmMsg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (type_ != 0)
        cmdUser_[static_cast<std::size_t>(countingButton())]->setFocus();
}

} // namespace kelpo
