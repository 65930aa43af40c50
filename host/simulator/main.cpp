// palettra-host: a stand-in for 3ds Max that loads the colour picker plug-in and opens
// its pickers, interactively or from a script given on the command line.
#include "HostSimulator.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    HostSimulator::Script script;
    QString error;
    if (!HostSimulator::parseArguments(arguments, script, error)) {
        std::fprintf(stderr, "palettra-host: %s\n", error.toLocal8Bit().constData());
        std::fprintf(stderr, "usage: palettra-host [--plugin FILE] [--modal|--modeless|--object-color] "
                             "[--initial-color 0xBBGGRR] [--load-palette FILE] [--select-cell ROW,COL]... "
                             "[--install-name NAME] [--press-task] [--print-position] [--report-open] [--screenshot FILE.png] [--close]\n");
        return 2;
    }
    // A script needs no display.
    if (script.scripted && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    HostSimulator host(script);
    if (!host.load())
        return 1;
    return script.scripted ? host.runScript() : host.runInteractive();
}
