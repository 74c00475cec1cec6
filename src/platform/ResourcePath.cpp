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

// The path below `resolved` (a folder path ending in '/', or empty) whose
// names match parts[i..] regardless of case; empty when none exists. Names
// that match exactly are tried first. A folder may have siblings that differ
// from it only in case ("Res" and "res", one folder where the names came
// from), so a file missing below one is looked for below the others.
QString resolveBelow(const QString& resolved, const QStringList& parts, qsizetype i)
{
    if (i == parts.size())
        return resolved;
    const QString& part = parts[i];
    const bool last = i + 1 == parts.size();
    auto descend = [&](const QString& name) {
        const QString path = resolved + name;
        if (last)
            return QFileInfo::exists(path) ? path : QString();
        return resolveBelow(path + u'/', parts, i + 1);
    };
    if (part == u"." || part == u"..")
        return descend(part);
    if (QFileInfo::exists(resolved + part)) {
        if (QString found = descend(part); !found.isEmpty())
            return found;
    }
    const QStringList entries =
        QDir(resolved.isEmpty() ? QStringLiteral(".") : resolved)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        if (entry != part && entry.compare(part, Qt::CaseInsensitive) == 0) {
            if (QString found = descend(entry); !found.isEmpty())
                return found;
        }
    }
    return {};
}

} // namespace

QString ResolvePath(const QString& path)
{
    const QString plain = slashed(path);
    if (plain.isEmpty() || QFileInfo::exists(plain))
        return plain;
    const QStringList parts = plain.split(u'/', Qt::SkipEmptyParts);
    QString resolved = resolveBelow(plain.startsWith(u'/') ? QStringLiteral("/") : QString(), parts, 0);
    if (resolved.isEmpty())
        return plain;
    if (plain.endsWith(u'/') && !resolved.endsWith(u'/'))
        resolved += u'/';
    return resolved;
}

QString ResolvePath(const QString& base, const QString& relative)
{
    QString folder = slashed(base);
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    QString rel = slashed(relative);
    while (rel.startsWith(u'/'))
        rel.remove(0, 1);
    const QString plain = folder + rel;
    if (rel.isEmpty())
        return ResolvePath(plain);
    if (QFileInfo::exists(plain))
        return plain;
    // The program's folder and the one above it are found as given; only
    // the names below them are looked for in every case, so a missing file
    // costs listings of its own folders, not of every folder above.
    QString at = ResolvePath(folder);
    if (!at.isEmpty() && !at.endsWith(u'/'))
        at += u'/';
    QString resolved = resolveBelow(at, rel.split(u'/', Qt::SkipEmptyParts), 0);
    if (resolved.isEmpty())
        return plain;
    if (rel.endsWith(u'/') && !resolved.endsWith(u'/'))
        resolved += u'/';
    return resolved;
}

bool ResourceExists(const QString& path)
{
    return QFileInfo(ResolvePath(path)).isFile();
}

} // namespace kelpo
