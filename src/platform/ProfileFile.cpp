#include "platform/ProfileFile.h"

#include "platform/Cp936.h"
#include "platform/FileBytes.h"

#include <QFile>

namespace kelpo {

ProfileFile ProfileFile::Load(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return FromBytes(ReadAtMost(file, MaxFileBytes));
}

ProfileFile ProfileFile::FromBytes(const QByteArray& bytes)
{
    ProfileFile profile;
    QHash<QString, QByteArray>* current = nullptr;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            const qsizetype end = line.indexOf(']');
            const QString name = cp936::Decode(line.mid(1, end < 0 ? -1 : end - 1).trimmed()).toLower();
            // A section named twice goes on where the first one is.
            current = &profile.sections_[name];
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!current || eq <= 0)
            continue;
        const QString key = cp936::Decode(line.left(eq).trimmed()).toLower();
        if (!current->contains(key))
            current->insert(key, line.mid(eq + 1));
    }
    return profile;
}

QString ProfileFile::value(const QString& section, const QString& key) const
{
    const auto s = sections_.constFind(section.toLower());
    if (s == sections_.constEnd())
        return {};
    const auto k = s->constFind(key.toLower());
    if (k == s->constEnd())
        return {};
    QByteArray bytes = k->left(MaxValueBytes);
    // A cut through a double-byte character drops its lone lead byte.
    qsizetype leads = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (cp936::IsLeadByte(static_cast<std::uint8_t>(bytes[i]))) {
            if (i + 1 == bytes.size())
                ++leads;
            else
                ++i;
        }
    }
    bytes.chop(leads);
    QString text = cp936::Decode(bytes);
    text.remove(QChar(0));
    return text.trimmed();
}

} // namespace kelpo
