// A chat line as a class-1 message shows in the chat pane, whatever its
// fields hold, as plain text.

#include "FuzzSupport.h"

#include "controls/QelChat.h"
#include "net/Packet.h"

using namespace kelpo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::EnsureApplication();
    static QelChat* chat = [] {
        auto* c = new QelChat;
        c->setLocalUserName(QStringLiteral("甲"));
        return c;
    }();
    // A fresh pane for each input, so one input's lines do not decide the next.
    chat->Initialise();
    const QByteArray message(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QStringList fields = BytesToText(message, 1).split(FieldSeparator);
    if (fields.size() >= 10)
        chat->ShowChatLine(fields.mid(2, 8));
    chat->ShowServerText(BytesToText(message, 3));
    chat->ChangeAddressee(fields.value(1), fields.value(0));
    chat->SetCurrentAddressee(fields.value(3));
    fuzz::SettleEvents();
    return 0;
}
