#include "launcher/LaunchPlan.h"

#include "app/LaunchKey.h"
#include "game/ExitStatus.h"
#include "net/UserName.h"

#include <QHostAddress>
#include <QSet>

namespace kelpo::launcher {

namespace {

// The client's level table and game name, as a lobby hands them over.
const QString GameName = QStringLiteral("升级");
const QString LevelTable = QStringLiteral("新手_0`入门_100`熟手_500`高手_2000`大师_10000");
const QString SpareText = QStringLiteral("-");
const QString ScoreKind = QStringLiteral("1");

constexpr int SeatCount = 6;

bool IsUsableHost(const QString& host)
{
    if (host.isEmpty() || host.size() > 255)
        return false;
    for (QChar c : host)
        if (c.isSpace() || c == u'`' || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString Range(int lo, int hi)
{
    return QStringLiteral("%1:%2").arg(lo).arg(hi);
}

} // namespace

QString CheckChoices(const LauncherChoices& c)
{
    if (!IsUsableUserName(c.name))
        return QStringLiteral("名字须为1到32个字，不含空格、“`”和特殊符号，也不能叫“所有人”。");
    if (c.mode == LaunchMode::Join) {
        if (!IsUsableHost(c.joinHost))
            return QStringLiteral("请填写对方的主机地址。");
        if (c.joinPort < 1 || c.joinPort > 65535)
            return QStringLiteral("端口须在1到65535之间。");
        return {};
    }
    if (c.mode == LaunchMode::Host) {
        QSet<QString> seen{c.name};
        if (c.guests.size() > SeatCount - 1)
            return QStringLiteral("一桌最多六名玩家。");
        for (const QString& g : c.guests) {
            if (!IsUsableUserName(g))
                return QStringLiteral("玩家名“%1”不可用：须为1到32个字符，不能有空格或“`”，也不能叫“所有人”。").arg(g);
            if (seen.contains(g))
                return QStringLiteral("玩家名“%1”重复了。").arg(g);
            seen.insert(g);
        }
        if (!IsUsableHost(c.host))
            return QStringLiteral("请填写监听地址。");
        if (c.port < 0 || c.port > 65535)
            return QStringLiteral("端口须在0到65535之间。");
    }
    if (c.stakeMin < 0 || c.stakeMin > c.stakeMax || c.stakeMax > 9999999)
        return QStringLiteral("底注范围不对：最小值不能大于最大值。");
    if (c.escapeMin < 0 || c.escapeMin > c.escapeMax || c.escapeMax > 9999999)
        return QStringLiteral("逃跑罚分范围不对：最小值不能大于最大值。");
    if (c.turnSeconds < 1 || c.turnSeconds > 255)
        return QStringLiteral("出牌时间须在1到255秒之间。");
    return {};
}

QStringList RoomServerArguments(const LauncherChoices& c)
{
    if (c.mode == LaunchMode::Join)
        return {};
    QStringList a;
    if (c.mode == LaunchMode::Host)
        a << QStringLiteral("--host") << c.host << QStringLiteral("--port") << QString::number(c.port);
    else
        a << QStringLiteral("--port") << QStringLiteral("0");
    a << QStringLiteral("--player") << c.name;
    if (c.mode == LaunchMode::Host)
        for (const QString& g : c.guests)
            a << QStringLiteral("--player") << g;
    // The proposed stake and penalty must lie inside the ranges the owner
    // may choose from, or the server refuses to start.
    const int stake = qBound(c.stakeMin, 10, c.stakeMax);
    const int escape = qBound(c.escapeMin, 20, c.escapeMax);
    a << QStringLiteral("--stake-range") << Range(c.stakeMin, c.stakeMax) << QStringLiteral("--stake")
      << QString::number(stake) << QStringLiteral("--escape-range") << Range(c.escapeMin, c.escapeMax)
      << QStringLiteral("--escape-penalty") << QString::number(escape) << QStringLiteral("--turn-seconds")
      << QString::number(c.turnSeconds);
    return a;
}

QStringList ClientArguments(const QString& host, int port, const QString& name)
{
    return {QLatin1String(LaunchKey), host, QString::number(port), GameName, LevelTable, SpareText, SpareText,
            name, ScoreKind};
}

QString ClientHost(const LauncherChoices& c)
{
    if (c.mode == LaunchMode::Join)
        return c.joinHost;
    // A server bound to one address answers only there; one bound to every
    // address answers on the loopback of that address family.
    const QHostAddress listen(c.host);
    if (c.mode == LaunchMode::Host && !listen.isNull() && listen != QHostAddress::AnyIPv4
        && listen != QHostAddress::Any)
        return listen == QHostAddress::AnyIPv6 ? QStringLiteral("::1") : c.host;
    return QStringLiteral("127.0.0.1");
}

namespace {

// Why a server that never opened its table stopped; empty when its output
// does not say.
QString StartFailureText(const QString& out, int exitCode)
{
    auto option = [&](const char* name) { return out.contains(QStringLiteral("--%1").arg(QLatin1String(name))); };
    if (out.contains(QLatin1String("bad value for"))) {
        if (option("player"))
            return QStringLiteral("玩家名不可用或重复，或玩家超过六名。");
        if (option("port"))
            return QStringLiteral("端口号不对。");
        if (option("stake-range") || option("stake"))
            return QStringLiteral("底注范围不对。");
        if (option("escape-range") || option("escape-penalty"))
            return QStringLiteral("逃跑罚分范围不对。");
        if (option("turn-seconds"))
            return QStringLiteral("出牌时间须在1到255秒之间。");
    }
    if (out.contains(QLatin1String("not an address")))
        return QStringLiteral("监听地址不是有效的IP地址。");
    if (out.contains(QLatin1String("in use"), Qt::CaseInsensitive))
        return QStringLiteral("这个端口已被别的程序占用，请换一个端口或填0。");
    if (out.contains(QLatin1String("permission"), Qt::CaseInsensitive)
        || out.contains(QLatin1String("access"), Qt::CaseInsensitive))
        return QStringLiteral("没有权限在这个端口上开桌，请用1024以上的端口或填0。");
    if (out.contains(QLatin1String("cannot assign"), Qt::CaseInsensitive)
        || out.contains(QLatin1String("not available"), Qt::CaseInsensitive))
        return QStringLiteral("本机没有这个监听地址。");
    if (exitCode == -1)
        return QStringLiteral("找不到或无法运行牌桌服务器（kelpo-room）。");
    return {};
}

} // namespace

QString ServerErrorText(const QString& serverOutput, int exitCode, bool started)
{
    const QString out = serverOutput.trimmed();
    if (const QString why = started ? QString() : StartFailureText(out, exitCode); !why.isEmpty())
        return why;
    QString text = QStringLiteral("牌桌服务器意外停止了（状态 %1）。").arg(exitCode);
    if (!out.isEmpty())
        text += QStringLiteral("\n") + (started ? out.right(400) : out.left(400));
    return text;
}

QString ClientEndText(int exitCode, bool crashed, const QString& host, int port)
{
    if (crashed)
        return QStringLiteral("游戏程序意外停止了。");
    if (exitCode == ExitConnectionFailed)
        return QStringLiteral("连不上 %1 端口 %2 的牌桌：请检查主机地址和端口，并确认牌桌已经开了。").arg(host).arg(port);
    if (exitCode == ExitConnectionClosed)
        return QStringLiteral("与 %1 端口 %2 的牌桌断开了连接。").arg(host).arg(port);
    return {};
}

} // namespace kelpo::launcher
