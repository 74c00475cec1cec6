#pragma once
// Resource files are named as the game has always named them: backslashes,
// any mix of upper and lower case, relative to the program directory
// (AppPath) or the one above it (ParentPath). Here they are found on a
// case-sensitive file system.

#include <QString>

namespace kelpo {

// The file system path of `path`, where `\` and `/` both separate folders and
// each name matches the one on disk regardless of case (an exact match wins).
// Folders whose names differ only in case are all searched, as they would be
// one folder where the names came from. When no such file exists, the path is
// returned with `/` separators, so an existence test on it fails as it should;
// finding that out lists every folder on the path.
QString ResolvePath(const QString& path);

// `base` (AppPath or ParentPath, with or without a trailing separator) joined
// with `relative`, resolved as above below `base`; `base` itself is taken as
// it is found, so a missing file lists only the folders of `relative`.
QString ResolvePath(const QString& base, const QString& relative);

// True when the resolved path names an existing regular file.
bool ResourceExists(const QString& path);

} // namespace kelpo
