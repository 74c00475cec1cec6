#include "game/Sounds.h"

#include "game/Client.h"
#include "platform/ResourcePath.h"

#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <QWidget>

#include <array>

namespace kelpo {

namespace {

class SystemSoundOutput final : public SoundOutput {
public:
    int deviceCount() const override { return static_cast<int>(QMediaDevices::audioOutputs().size()); }

    void play(const QString& file) override
    {
        // Without an audio device the effect may claim to play for ever, so
        // nothing here ever waits on its state: stop, point, start.
        effect_.stop();
        effect_.setSource(QUrl::fromLocalFile(file));
        effect_.play();
    }

private:
    QSoundEffect effect_;
};

} // namespace

std::unique_ptr<SoundOutput> MakeSystemSoundOutput()
{
    return std::make_unique<SystemSoundOutput>();
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
