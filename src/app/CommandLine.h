#pragma once
// Splitting the command line the lobby hands over.

#include <QString>
#include <QStringList>

namespace kelpo {

// Index 0 stays empty; 1..n are the words of rawText, separated by any run
// of spaces and tabs. No quoting. Words after the maxArgs-th are not read.
QStringList ParseCommandLine(const QString& rawText, int maxArgs = 10);

// The raw command-line text after the program name.
QString RawCommandLine(int argc, char** argv);

} // namespace kelpo
