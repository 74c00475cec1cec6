#include "server/QuitSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kelpo::server {

namespace {

// A signal handler may only write: it wakes the event loop through a
// socket pair, and the loop does the quitting.
int quitWriteEnd = -1;

void OnTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(quitWriteEnd, &byte, 1);
}

} // namespace

bool QuitOnTerminationSignals(QCoreApplication& app)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0)
        return false;
    quitWriteEnd = ends[0];
    auto* notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t got = ::read(static_cast<int>(notifier->socket()), &byte, 1);
        QCoreApplication::quit();
    });
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    // Once only: a second signal ends a shutdown that hangs (a database
    // that does not answer) the old way.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        if (::sigaction(signal, &action, nullptr) != 0)
            return false;
    return true;
}

} // namespace kelpo::server
