// palettra-host: a stand-in for 3ds Max that loads the colour picker plug-in and opens
// its pickers, interactively or from a script given on the command line.
#include "HostSimulator.h"

#include "engine/VersionReport.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <cstring>

namespace {

const char *const Usage =
    "usage: palettra-host [--plugin FILE] [--modal | --modeless | --object-color]\n"
    "                     [--initial-color 0xBBGGRR] [--install-name NAME] [--load-palette FILE]\n"
    "                     [--select-cell ROW,COL]... [--press-task] [--print-position]\n"
    "                     [--report-open] [--screenshot FILE.png] [--close]\n"
    "Plays 3ds Max for the colour picker plug-in: loads it, calls its entry points and opens\n"
    "its pickers beside a window of its own, printing every event the host sees. Without\n"
    "options it is interactive; the options make a script that needs no display.\n"
    "  --plugin FILE         the plug-in library (default: the one installed beside this program)\n"
    "  --modal, --modeless, --object-color\n"
    "                        the kind of picker the script opens (default: modal)\n"
    "  --initial-color 0xBBGGRR  the colour the host hands the picker\n"
    "  --install-name NAME   hand a name over with InstallNewCB (modeless pickers)\n"
    "  --load-palette FILE   load a palette file into My Palette\n"
    "  --select-cell ROW,COL click a cell of My Palette (later ones with Control)\n"
    "  --press-task          press the button that hands the colour to the host\n"
    "  --print-position      ask GetPosition after the clicks (modeless pickers)\n"
    "  --report-open         print the time to the first paint and the resident memory\n"
    "  --screenshot FILE.png draw the picker into a PNG file\n"
    "  --close               close the picker as a user would\n"
    "  --version             the version, and those of Qt, SQLite and libxml2\n"
    "  --help                this text\n";

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            QCoreApplication application(argc, argv);
            std::fputs(qPrintable(Vantor::versionReport(QStringLiteral("palettra-host"))), stdout);
            return 0;
        }
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    HostSimulator::Script script;
    QString error;
    if (!HostSimulator::parseArguments(arguments, script, error)) {
        std::fprintf(stderr, "palettra-host: %s\n%s", error.toLocal8Bit().constData(), Usage);
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
