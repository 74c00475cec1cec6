// Any UserSet.ini reads as five preferences, and what is read saves and
// reads back the same.

#include "FuzzSupport.h"

#include "settings/UserSet.h"

#include <QDir>

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ClientState state;
    state.globals.AppPath = fuzz::ScratchFolder() + QLatin1Char('/');
    fuzz::WriteFile(UserSetPath(state), data, size);
    LoadUserSet(state);
    const Preferences read = state.prefs;
    if (!SaveUserSet(state))
        fuzz::Fail("the preferences could not be saved");
    state.prefs = Preferences{};
    LoadUserSet(state);
    const Preferences& again = state.prefs;
    if (again.AllowWatchCards != read.AllowWatchCards || again.SoundOn != read.SoundOn ||
        again.ShowInOutMsg != read.ShowInOutMsg || again.AskForceQuit != read.AskForceQuit ||
        again.WarnBadPlay != read.WarnBadPlay)
        fuzz::Fail("saved preferences read back differently");
    return 0;
}
