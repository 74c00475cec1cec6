// A sequence of messages from the room server into a real client with its
// main window, painted offscreen: room and game handlers and the table flow
// run on the state the earlier messages left, as in a game.

#include "FuzzSupport.h"

#include "game/Client.h"
#include "game/Sounds.h"
#include "platform/TickClock.h"
#include "room/frmGameMain.h"
#include "skin/FrameZones.h"
#include "skin/ModalBoxes.h"
#include "skin/MsgPool.h"
#include "state/Session.h"

#include <memory>

using namespace kelpo;

namespace {

class Silence final : public SoundOutput {
public:
    int deviceCount() const override { return 1; }
    void play(const QString&) override {}
};

// Every reading is a second later: each pause ends after a few passes.
class FastClock final : public TickClock {
public:
    std::int64_t TickCount() const override { return now_ += 1000; }

private:
    mutable std::int64_t now_ = 0;
};

QString ProgramFolder()
{
    const QString given = qEnvironmentVariable("KELPO_FUZZ_APP_DIR");
    return given.isEmpty() ? fuzz::ScratchFolder() : given;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnsureApplication();
    static const bool observing = [] {
        ModalBoxes::instance().setObserver([](QWidget* box) { box->close(); });
        return true;
    }();
    (void)observing;

    FastClock clock;
    auto client = std::make_unique<Client>();
    client->state.globals.GameName = QStringLiteral("牌局");
    InitSession(client->state, ProgramFolder());
    client->msgPool().InitMsgObjects();
    client->setClock(clock);
    client->setSoundOutput(std::make_unique<Silence>());
    qsizetype sentBytes = 0;
    client->setPacketSink([&sentBytes](const QByteArray& p) { sentBytes += p.size(); });
    auto window = std::make_unique<frmGameMain>(*client);
    // The smallest window the layout allows: every picture is redrawn for
    // each new window, and its cost grows with the area.
    window->resize(FrameZones::MinimumSize);
    window->show();
    window->LayoutMainWindow();

    for (const QByteArray& message : fuzz::MessageSequence(data, size)) {
        client->OnDataArrived(message);
        fuzz::SettleEvents();
        if (client->state.globals.QuitRequested)
            break;
    }
    if (client->nestedWaits() != 0)
        fuzz::Fail("a pause still counted after every handler returned");
    window.reset();
    client.reset();
    fuzz::SettleEvents();
    return 0;
}
