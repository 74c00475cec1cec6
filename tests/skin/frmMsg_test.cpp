#include "skin/frmMsg.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using kelpo::frmMsg;

TEST(frmMsg, TwoButtonLayoutEtchedLineAndCountingButton)
{
    frmMsg box;
    box.SetMsgInfo(2, QStringLiteral("<b>问题</b>"), QStringLiteral("系统提示"), 10, QStringLiteral("强退"),
                   QStringLiteral("取消"), false);
    box.Load();
    EXPECT_EQ(box.size(), QSize(368, 144));
    EXPECT_EQ(box.labNote()->geometry(), QRect(50, 22, 308, 74));
    EXPECT_EQ(box.labNote()->text(), QStringLiteral("<b>问题</b>"));
    EXPECT_EQ(box.labNote()->textFormat(), Qt::PlainText);
    EXPECT_EQ(box.cmdUser(0)->geometry(), QRect(92, 114, 89, 23));
    EXPECT_EQ(box.cmdUser(1)->geometry(), QRect(187, 114, 89, 23));
    EXPECT_EQ(box.cmdUser(1)->text(), QStringLiteral("取消(&N)"));
    EXPECT_EQ(box.countingButton(), 1);
    EXPECT_TRUE(box.cmdUser(1)->isDefault());
    EXPECT_TRUE(box.tmrDelay().isActive());

    const QImage pic = box.Picture();
    EXPECT_EQ(pic.pixel(10, 104), qRgb(255, 255, 255));
    EXPECT_EQ(pic.pixel(358, 105), qRgb(132, 130, 132));
    EXPECT_NE(pic.pixel(9, 104), qRgb(255, 255, 255));
}

TEST(frmMsg, OneButtonBoxCentresItsButtonAndAnswersYesWhenTimeRunsOut)
{
    frmMsg box;
    QSignalSpy answers(&box, &frmMsg::answered);
    box.SetMsgInfo(1, QStringLiteral("本局游戏结束!"), QStringLiteral("牌局"), 0, QStringLiteral("确定"), QString(),
                   true);
    box.Load();
    EXPECT_EQ(box.cmdUser(0)->geometry(), QRect(139, 114, 89, 23));
    EXPECT_TRUE(box.cmdUser(1)->isHidden());
    box.tmrDelay_Timer();
    EXPECT_EQ(box.cmdUser(0)->text(), QStringLiteral("确定(&Y) 0"));
    ASSERT_EQ(answers.count(), 1);
    EXPECT_EQ(answers.at(0).at(0).toInt(), -1);
    EXPECT_TRUE(box.isUnloaded());
    box.cmdUser_Click(1); // a second answer after unloading is ignored
    EXPECT_EQ(answers.count(), 1);
}

TEST(frmMsg, NoticeHasNoCaptionNoButtonsAndNoCountdown)
{
    frmMsg box;
    box.SetMsgInfo(0, QStringLiteral("等待桌主进行本桌游戏设置..."), QStringLiteral("ignored"), 10, QStringLiteral("a"),
                   QStringLiteral("b"), false);
    box.Load();
    EXPECT_EQ(box.size(), QSize(397, 68));
    EXPECT_TRUE(box.windowTitle().isEmpty());
    EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(box.labNote()->geometry(), QRect(50, 25, 337, 28));
    EXPECT_TRUE(box.cmdUser(0)->isHidden());
    EXPECT_TRUE(box.cmdUser(1)->isHidden());
    EXPECT_FALSE(box.tmrDelay().isActive());
}

TEST(frmMsg, IconIsDrawnOnlyWhenItsFileExists)
{
    QTemporaryDir dir;
    frmMsg box;
    box.setIconFolder(dir.path() + QStringLiteral("/"));
    box.SetMsgInfo(1, QStringLiteral("x"), QStringLiteral("c"), 10, QStringLiteral("确定"), QString(), true);
    box.Load();
    const QRgb blank = box.Picture().pixel(12, 17);

    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(qRgb(200, 0, 0));
    ASSERT_TRUE(icon.save(dir.filePath(QStringLiteral("Msg1.ico")), "ico"));
    const QImage pic = box.Picture();
    EXPECT_EQ(pic.pixel(12, 17), qRgb(200, 0, 0));
    EXPECT_EQ(pic.pixel(9, 17), blank);
}
