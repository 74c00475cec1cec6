#include "server/ConnInfo.h"

#include <QUrl>
#include <QUrlQuery>

#include <utility>
#include <vector>

namespace kelpo::server {

namespace {

using Pairs = std::vector<std::pair<QString, QString>>;

// "key = value key='quoted \' value'": whitespace between pairs, a value
// quoted with single quotes may hold blanks, a backslash escapes one
// character.
std::optional<Pairs> SplitKeywords(const QString& text, QString& error)
{
    Pairs pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skipBlanks = [&] {
        while (i < n && text[i].isSpace())
            ++i;
    };
    for (;;) {
        skipBlanks();
        if (i >= n)
            return pairs;
        QString key;
        while (i < n && text[i] != u'=' && !text[i].isSpace())
            key += text[i++];
        skipBlanks();
        if (key.isEmpty() || i >= n || text[i] != u'=') {
            error = QStringLiteral("expected key=value near \"%1\"").arg(key);
            return std::nullopt;
        }
        ++i;
        skipBlanks();
        QString value;
        if (i < n && text[i] == u'\'') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (text[i] == u'\\' && i + 1 < n) {
                    value += text[i + 1];
                    i += 2;
                } else if (text[i] == u'\'') {
                    ++i;
                    closed = true;
                    break;
                } else {
                    value += text[i++];
                }
            }
            if (!closed) {
                error = QStringLiteral("unterminated quote in the value of %1").arg(key);
                return std::nullopt;
            }
        } else {
            while (i < n && !text[i].isSpace()) {
                if (text[i] == u'\\' && i + 1 < n)
                    ++i;
                value += text[i++];
            }
        }
        pairs.emplace_back(key, value);
    }
}

std::optional<Pairs> SplitUri(const QString& text, QString& error)
{
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid()) {
        error = QStringLiteral("not a valid URI: %1").arg(url.errorString());
        return std::nullopt;
    }
    Pairs pairs;
    if (!url.host().isEmpty())
        pairs.emplace_back(QStringLiteral("host"), url.host());
    if (url.port() >= 0)
        pairs.emplace_back(QStringLiteral("port"), QString::number(url.port()));
    const QString db = url.path(QUrl::FullyDecoded).mid(1);
    if (!db.isEmpty())
        pairs.emplace_back(QStringLiteral("dbname"), db);
    if (!url.userName().isEmpty())
        pairs.emplace_back(QStringLiteral("user"), url.userName(QUrl::FullyDecoded));
    if (!url.password().isEmpty())
        pairs.emplace_back(QStringLiteral("password"), url.password(QUrl::FullyDecoded));
    for (const auto& [k, v] : QUrlQuery(url).queryItems(QUrl::FullyDecoded))
        pairs.emplace_back(k, v);
    return pairs;
}

} // namespace

std::optional<PgConnection> ParseConnInfo(const QString& text, QString& error)
{
    const bool uri = text.startsWith(QLatin1String("postgresql://")) || text.startsWith(QLatin1String("postgres://"));
    const std::optional<Pairs> pairs = uri ? SplitUri(text, error) : SplitKeywords(text, error);
    if (!pairs)
        return std::nullopt;
    PgConnection c;
    QStringList options;
    for (const auto& [key, value] : *pairs) {
        if (key == QLatin1String("host") || key == QLatin1String("hostaddr")) {
            c.host = value;
        } else if (key == QLatin1String("port")) {
            bool ok = false;
            const int port = value.toInt(&ok);
            if (!ok || port < 1 || port > 65535) {
                error = QStringLiteral("bad port: %1").arg(value);
                return std::nullopt;
            }
            c.port = port;
        } else if (key == QLatin1String("dbname")) {
            c.dbname = value;
        } else if (key == QLatin1String("user")) {
            c.user = value;
        } else if (key == QLatin1String("password")) {
            c.password = value;
        } else {
            // The driver splits its options at semicolons and hands the rest
            // on as keywords, so neither may hide in a value.
            if (value.contains(u';') || value.contains(u'\'') || value.contains(u'\\')) {
                error = QStringLiteral("unsupported characters in the value of %1").arg(key);
                return std::nullopt;
            }
            options << key + u'=' + (value.isEmpty() || value.contains(u' ') ? u'\'' + value + u'\'' : value);
        }
    }
    c.options = options.join(u';');
    return c;
}

} // namespace kelpo::server
