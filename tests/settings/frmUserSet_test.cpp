#include "settings/frmUserSet.h"

#include "settings/UserSet.h"
#include "skin/ModalBoxes.h"
#include "state/ClientState.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace kelpo;

namespace {

struct UserSetDialog : ::testing::Test {
    UserSetDialog()
    {
        qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
        state.globals.UserName = QStringLiteral("张三");
        state.prefs = {0, 1, 0, 1, 0};
    }
    ~UserSetDialog() override { ModalBoxes::instance().clearObserver(); }
    std::unique_ptr<frmUserSet> open()
    {
        auto dialog = std::make_unique<frmUserSet>(state, [this](const QByteArray& p) { sent.push_back(p); });
        dialog->setAttribute(Qt::WA_DeleteOnClose, false);
        dialog->show();
        return dialog;
    }
    std::array<int, 5> prefs() const
    {
        const Preferences& p = state.prefs;
        return {p.AllowWatchCards, p.SoundOn, p.ShowInOutMsg, p.AskForceQuit, p.WarnBadPlay};
    }
    QString ownFile() const { return config.filePath(QStringLiteral("kelpo/UserSet.ini")); }

    QTemporaryDir config;
    ClientState state;
    std::vector<QByteArray> sent;
};

using Five = std::array<int, 5>;

} // namespace

TEST_F(UserSetDialog, ShowsThePreferencesAndDefaultsThenCancelKeepsEverything)
{
    auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("用户设置"));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->Frame2()->title(), QStringLiteral("基本设置"));
    EXPECT_EQ(dialog->chkUser(0)->text(), QStringLiteral("允许旁观者看我的牌"));
    EXPECT_EQ(dialog->chkUser(0)->parentWidget(), dialog->Frame2());
    EXPECT_EQ(dialog->chkUser(4)->parentWidget(), dialog->Frame1());
    EXPECT_EQ(dialog->chkUser(4)->geometry(), QRect(16, 48, 153, 17));
    EXPECT_EQ(dialog->cmdUser(0)->text(), QStringLiteral("默认值(&D)"));
    EXPECT_EQ(dialog->cmdUser(2)->text(), QStringLiteral("取消(&C)"));
    std::array<int, 5> ticked{};
    for (int i = 0; i < 5; ++i)
        ticked[i] = dialog->chkUser(i)->isChecked();
    EXPECT_EQ(ticked, (Five{0, 1, 0, 1, 0}));

    dialog->cmdUser_Click(0);
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(dialog->chkUser(i)->isChecked()) << i;
    EXPECT_TRUE(dialog->isVisible());
    dialog->cmdUser_Click(2);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(prefs(), (Five{0, 1, 0, 1, 0}));
    EXPECT_FALSE(QFile::exists(ownFile()));
    EXPECT_TRUE(sent.empty());
}

TEST_F(UserSetDialog, ConfirmStoresSavesAndReportsOnlyAChangedWatchSetting)
{
    auto dialog = open();
    dialog->chkUser(0)->setChecked(true);
    dialog->chkUser(1)->setChecked(false);
    dialog->cmdUser_Click(1);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(prefs(), (Five{1, 0, 0, 1, 0}));
    QFile file(ownFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("1\r\n0\r\n0\r\n1\r\n0\r\n"));
    ASSERT_EQ(sent.size(), 1u);
    // Class 113, code 1, the name in code page 936, a back-quote, the digit.
    EXPECT_EQ(sent[0], QByteArray("\x71\x01\xd5\xc5\xc8\xfd`1"));

    auto again = open();
    again->chkUser(2)->setChecked(true);
    again->cmdUser_Click(1);
    EXPECT_EQ(sent.size(), 1u);
}

TEST_F(UserSetDialog, AFailedSaveIsReportedAndThePreferencesStillHold)
{
    // A configuration home that is a file: no folder can be made in it.
    QFile blocker(config.filePath(QStringLiteral("home")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocker.fileName().toLocal8Bit());
    QString shown;
    ModalBoxes::instance().setObserver([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        shown = box->text();
        box->close();
    });
    auto dialog = open();
    dialog->chkUser(0)->setChecked(true);
    dialog->cmdUser_Click(1);
    EXPECT_TRUE(shown.contains(QStringLiteral("未能保存"))) << shown.toStdString();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(state.prefs.AllowWatchCards, 1);
    EXPECT_EQ(sent.size(), 1u);
}
