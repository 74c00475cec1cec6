#include "app/CommandLine.h"

namespace kelpo {

QStringList ParseCommandLine(const QString& rawText, int maxArgs)
{
    QStringList args{QString()};
    bool inWord = false;
    for (const QChar c : rawText) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            inWord = false;
            continue;
        }
        if (!inWord) {
            if (args.size() - 1 >= maxArgs)
                break;
            args << QString();
            inWord = true;
        }
        args.last() += c;
    }
    return args;
}

QString RawCommandLine(int argc, char** argv)
{
    QStringList words;
    for (int i = 1; i < argc && argv && argv[i]; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    return words.join(QLatin1Char(' '));
}

} // namespace kelpo
