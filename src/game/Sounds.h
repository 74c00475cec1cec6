#pragma once
// Sound cues of the table: one entry point for every short wave sound.

#include <QString>

#include <cstdint>
#include <memory>

class QWidget;

namespace kelpo {

// What the cues need of the machine. The real one plays through Qt
// Multimedia; tests put a recorder in its place.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Number of audio outputs the system reports; 0 or less means silence.
    virtual int deviceCount() const = 0;
    // Starts the file and returns at once; whatever still plays is cut off.
    virtual void play(const QString& file) = 0;
};

// The output of the module kelpo-sound in programDir (one QSoundEffect reused
// for every cue, so a new cue replaces the last). The module is loaded at the
// first cue rather than at start; without it the output is silent.
std::unique_ptr<SoundOutput> MakeSystemSoundOutput(const QString& programDir);

inline constexpr std::uint8_t SoundCueCount = 11;

// "Start.wav" .. "UserWarn.wav" for cues 0..10; empty for any other number.
QString SoundCueFileName(int cue);

// Plays an existing file on an output that has a device; silent otherwise.
void PlayWaveFile(SoundOutput& output, const QString& path);

// Everything a cue depends on besides its number. The window is the main
// window; without one, or while it is hidden or minimised, nothing plays.
struct SoundCueContext {
    SoundOutput* output = nullptr;
    const QWidget* mainWindow = nullptr;
    bool soundOn = true;
    QString appPath; // ends in a separator
};

void PlaySoundCue(const SoundCueContext& context, std::uint8_t cue);

class Client;
// The cue through the client's output, main window and preference.
void PlaySoundCue(Client& client, std::uint8_t cue);

} // namespace kelpo
