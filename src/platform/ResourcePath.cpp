#include "platform/ResourcePath.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kelpo {

namespace {

QString slashed(QString path)
{
    path.replace(u'\\', u'/');
    return path;
}

// The entry of `dir` whose name equals `name` ignoring case; empty when none.
QString matchEntry(const QString& dir, const QString& name)
{
    const QString exact = dir + name;
    if (QFileInfo::exists(exact))
        return name;
    const QStringList entries =
        QDir(dir.isEmpty() ? QStringLiteral(".") : dir)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

} // namespace

QString ResolvePath(const QString& path)
{
    const QString plain = slashed(path);
    if (plain.isEmpty() || QFileInfo::exists(plain))
        return plain;

    const bool absolute = plain.startsWith(u'/');
    const QStringList parts = plain.split(u'/', Qt::SkipEmptyParts);
    QString resolved = absolute ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString& part = parts[i];
        QString name;
        if (part == u"." || part == u"..")
            name = part;
        else
            name = matchEntry(resolved, part);
        if (name.isEmpty())
            return plain;
        resolved += name;
        if (i + 1 < parts.size())
            resolved += u'/';
    }
    if (plain.endsWith(u'/') && !resolved.endsWith(u'/'))
        resolved += u'/';
    return resolved;
}

QString ResolvePath(const QString& base, const QString& relative)
{
    QString joined = slashed(base);
    if (!joined.isEmpty() && !joined.endsWith(u'/'))
        joined += u'/';
    QString rel = slashed(relative);
    while (rel.startsWith(u'/'))
        rel.remove(0, 1);
    return ResolvePath(joined + rel);
}

bool ResourceExists(const QString& path)
{
    return QFileInfo(ResolvePath(path)).isFile();
}

} // namespace kelpo
