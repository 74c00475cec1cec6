#include "FuzzSupport.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThreadPool>

#include <cstdio>
#include <cstdlib>

namespace kelpo::fuzz {

void EnsureApplication()
{
    // Never destroyed: tearing it down after the targets' own statics at
    // exit would touch widgets already gone.
    static QApplication* app = nullptr;
    if (app || QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "kelpo-fuzz";
    static char* argv[] = {name, nullptr};
    app = new QApplication(argc, argv);
    // Painting would otherwise hand work to other threads and wait for it:
    // one thread keeps an input's run short and its coverage whole.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
}

void SettleEvents()
{
    if (!QCoreApplication::instance())
        return;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

std::vector<QByteArray> MessageSequence(const std::uint8_t* data, std::size_t size)
{
    std::vector<QByteArray> out;
    std::size_t at = 0;
    while (at + 2 <= size) {
        std::size_t n = (std::size_t{data[at]} << 8) | data[at + 1];
        at += 2;
        n = std::min(n, size - at);
        out.emplace_back(reinterpret_cast<const char*>(data + at), static_cast<qsizetype>(n));
        at += n;
    }
    return out;
}

void AppendSequenceEntry(QByteArray& out, const QByteArray& message)
{
    const auto n = static_cast<std::uint16_t>(std::min<qsizetype>(message.size(), 0xFFFF));
    out.append(static_cast<char>(n >> 8));
    out.append(static_cast<char>(n & 0xFF));
    out.append(message.left(n));
}

QString ScratchFolder()
{
    // In memory where the system offers it: targets write a file per input,
    // and a disk folder syncs each one (a hundred inputs a second at best).
    static QTemporaryDir dir = [] {
        const QString shm = QStringLiteral("/dev/shm");
        if (QFileInfo(shm).isDir() && QFileInfo(shm).isWritable()) {
            QTemporaryDir inMemory(shm + QStringLiteral("/kelpo-fuzz-XXXXXX"));
            if (inMemory.isValid())
                return inMemory;
        }
        return QTemporaryDir();
    }();
    return dir.path();
}

namespace {

// Preferences the targets save must never reach the user's own
// configuration folder: it is pointed into the scratch folder before any
// target runs.
const bool PrivateConfigHome = [] {
    qputenv("XDG_CONFIG_HOME", (ScratchFolder() + QStringLiteral("/config")).toLocal8Bit());
    return true;
}();

} // namespace

void WriteFile(const QString& path, const std::uint8_t* data, std::size_t size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        Fail("cannot write the scratch file");
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
}

void Fail(const char* what)
{
    std::fprintf(stderr, "finding: %s\n", what);
    std::abort();
}

} // namespace kelpo::fuzz
