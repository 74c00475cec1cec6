#include "app/CommandLine.h"
#include "app/Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return kelpo::Main(kelpo::RawCommandLine(argc, argv));
}
