// The sound output that plays through Qt Multimedia; the client reaches it
// only through kelpo_make_sound_output once this module is loaded.

#include "game/Sounds.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace {

// One effect reused for every cue, so a new cue replaces the last.
class SystemSoundOutput final : public kelpo::SoundOutput {
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

extern "C" Q_DECL_EXPORT kelpo::SoundOutput* kelpo_make_sound_output()
{
    return new SystemSoundOutput;
}
