#include "game/Sounds.h"

#include "game/Client.h"
#include "platform/ResourcePath.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QWidget>

#include <array>

namespace kelpo {

namespace {

// Stands in for the module's output until the first cue needs it; when the
// module is missing or does not load, the cues stay silent.
class ModuleSoundOutput final : public SoundOutput {
public:
    explicit ModuleSoundOutput(const QString& programDir) : programDir_(programDir) {}

    int deviceCount() const override
    {
        SoundOutput* output = loaded();
        return output ? output->deviceCount() : 0;
    }

    void play(const QString& file) override
    {
        if (SoundOutput* output = loaded())
            output->play(file);
    }

private:
    SoundOutput* loaded() const
    {
        if (!tried_) {
            tried_ = true;
            // Never unloaded: the output's code lives in the module.
            QLibrary module(QDir(programDir_).filePath(QStringLiteral("kelpo-sound")));
            using Make = SoundOutput* (*)();
            if (auto make = reinterpret_cast<Make>(module.resolve("kelpo_make_sound_output")))
                output_.reset(make());
        }
        return output_.get();
    }

    QString programDir_;
    mutable bool tried_ = false;
    mutable std::unique_ptr<SoundOutput> output_;
};

} // namespace

std::unique_ptr<SoundOutput> MakeSystemSoundOutput(const QString& programDir)
{
    return std::make_unique<ModuleSoundOutput>(programDir);
}

QString SoundCueFileName(int cue)
{
    static const std::array<const char*, SoundCueCount> files = {
        "Start.wav",   "Liang.wav", "OutPai.wav",  "Pass.wav",        "Hong10.wav",      "ZhaDan.wav",
        "Warning.wav", "End.wav",   "PangGuanIn.wav", "PangGuanOut.wav", "UserWarn.wav",
    };
    if (cue < 0 || cue >= static_cast<int>(files.size()))
        return {};
    return QString::fromLatin1(files[static_cast<std::size_t>(cue)]);
}

void PlayWaveFile(SoundOutput& output, const QString& path)
{
    if (path.isEmpty() || !ResourceExists(path))
        return;
    if (output.deviceCount() <= 0)
        return;
    output.play(QFileInfo(ResolvePath(path)).absoluteFilePath());
}

void PlaySoundCue(const SoundCueContext& context, std::uint8_t cue)
{
    if (!context.output || !context.soundOn)
        return;
    const QWidget* window = context.mainWindow;
    if (!window || !window->isVisible() || window->isMinimized())
        return;
    const QString file = SoundCueFileName(cue);
    if (file.isEmpty())
        return; // only the folder would remain, and a folder plays nothing
    PlayWaveFile(*context.output, ResolvePath(context.appPath, QStringLiteral("Res\\Sound\\") + file));
}

void PlaySoundCue(Client& client, std::uint8_t cue)
{
    const ClientState& state = client.state;
    const QWidget* window = client.room.frmGameMain.data();
    // Checked here as well so that a silent cue never creates the output.
    if (state.prefs.SoundOn == 0 || !window || !window->isVisible())
        return;
    SoundCueContext context;
    context.output = &client.soundOutput();
    context.mainWindow = window;
    context.soundOn = true;
    context.appPath = state.globals.AppPath;
    PlaySoundCue(context, cue);
}

} // namespace kelpo
