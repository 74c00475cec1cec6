#pragma once
// A reader of profile files (".ini": [section] lines and key=value lines)
// written in code page 936. Qt's settings class would read them as UTF-8, so
// the few files the client reads in that code page go through here.

#include <QByteArray>
#include <QHash>
#include <QString>

namespace kelpo {

class ProfileFile {
public:
    // Files larger than this are read only up to it.
    static constexpr qsizetype MaxFileBytes = 1024 * 1024;
    // A value holds at most this many bytes, as a 1024-byte buffer with its
    // terminating NUL would.
    static constexpr qsizetype MaxValueBytes = 1023;

    // A missing or unreadable file reads as an empty profile.
    static ProfileFile Load(const QString& path);
    static ProfileFile FromBytes(const QByteArray& bytes);

    // The value of key in section, names compared without regard to case;
    // the first such key of the first such section wins. Cut to
    // MaxValueBytes, blanks trimmed at both ends, NUL characters dropped;
    // empty when there is no such key.
    QString value(const QString& section, const QString& key) const;

private:
    // Lower-cased section name -> lower-cased key -> raw value bytes.
    QHash<QString, QHash<QString, QByteArray>> sections_;
};

} // namespace kelpo
