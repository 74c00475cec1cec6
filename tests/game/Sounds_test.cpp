#include "game/Sounds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLibrary>
#include <QFileInfo>
#include <QFile>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

namespace kelpo {
namespace {

class RecordingOutput : public SoundOutput {
public:
    int devices = 1;
    QStringList played;
    int deviceCount() const override { return devices; }
    void play(const QString& file) override { played << QFileInfo(file).fileName(); }
};

class SoundCueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(dir.path()).mkpath(QStringLiteral("Res/Sound"));
        for (int cue = 0; cue < SoundCueCount; ++cue)
            touch(SoundCueFileName(cue));
        window.show();
        context.output = &output;
        context.mainWindow = &window;
        context.soundOn = true;
        context.appPath = dir.path() + u'/';
    }

    void touch(const QString& name)
    {
        QFile f(dir.path() + QStringLiteral("/Res/Sound/") + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("RIFF");
    }

    void playAllCues()
    {
        for (int cue = 0; cue < SoundCueCount; ++cue)
            PlaySoundCue(context, static_cast<std::uint8_t>(cue));
    }

    QTemporaryDir dir;
    QWidget window;
    RecordingOutput output;
    SoundCueContext context;
};

TEST_F(SoundCueTest, EveryCuePlaysItsOwnFile)
{
    playAllCues();
    const QStringList expected{"Start.wav",   "Liang.wav", "OutPai.wav",     "Pass.wav",
                               "Hong10.wav",  "ZhaDan.wav", "Warning.wav",   "End.wav",
                               "PangGuanIn.wav", "PangGuanOut.wav", "UserWarn.wav"};
    EXPECT_EQ(output.played, expected);
}

TEST_F(SoundCueTest, HiddenMinimisedOrSwitchedOffPlaysNothing)
{
    window.hide();
    playAllCues();
    EXPECT_TRUE(output.played.isEmpty()) << "hidden window";

    window.showMinimized();
    ASSERT_TRUE(window.isMinimized());
    playAllCues();
    EXPECT_TRUE(output.played.isEmpty()) << "minimised window";

    window.showNormal();
    ASSERT_TRUE(window.isVisible() && !window.isMinimized());
    context.soundOn = false;
    playAllCues();
    EXPECT_TRUE(output.played.isEmpty()) << "preference off";

    context.soundOn = true;
    context.mainWindow = nullptr;
    playAllCues();
    EXPECT_TRUE(output.played.isEmpty()) << "no main window";
}

TEST_F(SoundCueTest, MissingFileOrDeviceOrUnknownCueIsSilent)
{
    ASSERT_TRUE(QFile::remove(dir.path() + QStringLiteral("/Res/Sound/Pass.wav")));
    PlaySoundCue(context, 3);
    PlaySoundCue(context, 11);
    PlaySoundCue(context, 255);
    EXPECT_TRUE(output.played.isEmpty());
    PlaySoundCue(context, 2);
    EXPECT_EQ(output.played, QStringList{"OutPai.wav"}) << "only the pass is silenced";

    output.played.clear();
    output.devices = 0;
    playAllCues();
    EXPECT_TRUE(output.played.isEmpty());
}

TEST(PlayWaveFile, SystemOutputReturnsAtOnceAndReplacesTheLastCue)
{
    // With or without an audio device, starting two sounds in a row must
    // return immediately and never block on the effect's state.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + QStringLiteral("/a.wav");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    // A whole wave file (16 samples of silence): a file cut short keeps Qt's
    // loader waiting for the rest until the program ends.
    QByteArray wave("RIFF\x44\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x80\x3e\0\0\x02\0\x10\0data\x20\0\0\0", 44);
    wave.append(32, '\0');
    f.write(wave);
    f.close();
    QElapsedTimer clock;
    clock.start();
    const QString programDir = qEnvironmentVariable("KELPO_BUILD_DIR") + QStringLiteral("/bin");
    // The cues play through the module beside the program; a module that is
    // missing or misnamed would only make the client silent.
    EXPECT_TRUE(QLibrary(programDir + QStringLiteral("/kelpo-sound")).resolve("kelpo_make_sound_output"));
    auto output = MakeSystemSoundOutput(programDir);
    output->play(path);
    output->play(path);
    PlayWaveFile(*output, path);
    PlayWaveFile(*output, dir.path() + QStringLiteral("/missing.wav"));
    EXPECT_LT(clock.elapsed(), 2000);
    // Qt loads the file on a thread of its own, and a program that ends while
    // a load is under way leaves its objects behind; a second effect on the
    // same file shares that load, so its settling ends the first one's too.
    output.reset();
    QSoundEffect settled;
    settled.setSource(QUrl::fromLocalFile(path));
    EXPECT_TRUE(QTest::qWaitFor([&] { return settled.status() == QSoundEffect::Error || settled.status() == QSoundEffect::Ready; }, 10000));
}

} // namespace
} // namespace kelpo
