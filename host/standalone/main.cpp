// palettra: the picker as a program of its own, started the way a host starts the engine.

#include "StandalonePicker.h"

#include "FrontRequests.h"
#include "NoCollectionsWindow.h"
#include "PickedChip.h"

#include "engine/EngineApplication.h"
#include "engine/PersistentState.h"
#include "engine/VersionReport.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/ui/AboutBox.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char *const Usage =
    "usage: palettra [--screenshot FILE.png] [--list-collections] [VIEW OPTIONS]\n"
    "       palettra --pick [--format json|hex] [VIEW OPTIONS] [--accept]\n"
    "       palettra --version | --help\n"
    "Opens the colour picker on the collection files below\n"
    "<first entry of XDG_DATA_DIRS>/Orva Tavel/Palettra/SQLite/Contents/Resources.\n"
    "  --screenshot FILE.png  draw the picker window into a PNG file and exit (no display needed)\n"
    "  --list-collections     print the registered collections (UUID, order, name, file) and exit\n"
    "  --pick                 choose one colour: \"Use colour\" (or Enter on it), or a double click on\n"
    "                         a chip (My Palette, deck, scheme, trend or products), prints it and\n"
    "                         exits 0; closing the window exits 1; no screen to pick on, or\n"
    "                         --screenshot or --list-collections beside it, exits 2\n"
    "  --format json|hex      what --pick prints: one line of JSON (default) or #rrggbb\n"
    "  --title TEXT           the window's title, e.g. what the pick is for\n"
    "  --accept               with --pick: pick at once, after the view options: the chip a\n"
    "                         --search landed on, the selected (else first) chip of a\n"
    "                         --load-palette file; without those the selected My Palette cell,\n"
    "                         else the deck's current chip (no display needed). A search that\n"
    "                         finds nothing exits 1; a view option that names nothing or a\n"
    "                         palette file that gives nothing exits 2, and nothing is printed\n"
    "  --version              the version, and those of Qt, SQLite and libxml2\n"
    "SIGUSR1 brings the picker's window to the front.\n"
    "Every option that takes a value takes it as --option VALUE or --option=VALUE.\n"
    "View options, applied in this order as a user would (they change the stored state):\n"
    "  --collection UUID|SYSTEMID  switch to the collection\n"
    "  --search TEXT          find a colour or card by code or name (spelling forgiven) or the\n"
    "                         chip nearest a colour value (#56BDC6, rgb(86, 189, 198),\n"
    "                         Lab(72, -26, -12)), as the search field does\n"
    "  --tab NAME             schemes, products, trends or textures\n"
    "  --scheme WORD          harmonic, contrast, \"wide contrast\", dynamic, dramatic or neutral\n"
    "  --neutral-form FORM    tonal, complementary or natural\n"
    "  --load-palette FILE    load a palette file into My Palette\n"
    "  --full-view            show My Palette's full view\n";

// Without a display the program still runs, on Qt's offscreen platform.
void chooseOffscreenPlatformWithoutDisplay(bool offscreen)
{
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (offscreen || (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && noDisplay))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Where the engine finds what lies beside its module (the help page): installed, the
// program sits in bin/ and those in the private folder beside the plug-in; in the build
// tree, beside the program itself.
QString engineFilesPath()
{
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
    const QDir folder = QFileInfo(program).dir();
    const QString installed = folder.filePath(QStringLiteral("../" PALETTRA_PRIVATE_LIBDIR "/palettra"));
    if (QFileInfo(QFileInfo(installed).dir().filePath(QStringLiteral("Contents/Resources/help"))).isDir())
        return QFileInfo(installed).absoluteFilePath();
    return program;
}

void printCollections(QTextStream &out)
{
    auto &registry = Vantor::DB::CollectionRegistry::instance();
    out << "Database folder: " << Vantor::databaseFolder() << '\n';
    out << "Settings file: " << Vantor::settingsFilePath() << '\n';
    out << "Collections (UUID, order, name, file):\n";
    for (const QUuid &uuid : registry.orderedCollectionUuids()) {
        QSharedPointer<Vantor::DB::Collection> collection;
        Vantor::DB::loadCollection(uuid, collection);
        const Vantor::DB::CollectionLocation location = registry.collectionLocation(uuid);
        out << uuid.toString() << '\t' << location.order << '\t' << (collection ? collection->name : QString()) << '\t'
            << location.databasePath << '\n';
    }
}

// What the command line asks for.
struct Options
{
    QString screenshot;
    bool listCollections = false;
    bool pick = false;
    bool accept = false;
    QString format = QStringLiteral("json");
    QString title;
    Palettra::PickerView view;
};

constexpr int Continue = -1;

// Reads the command line into `options`: Continue, or the program's exit code (after
// --help or --version, or an option that is wrong).
int parseOptions(int argc, char *argv[], Options &options)
{
    Palettra::PickerView &view = options.view;
    const std::pair<const char *, QString *> valueOptions[] = {
        {"--screenshot", &options.screenshot}, {"--collection", &view.collection}, {"--search", &view.search},
        {"--tab", &view.tab}, {"--scheme", &view.scheme}, {"--neutral-form", &view.neutralForm},
        {"--load-palette", &view.palette}, {"--format", &options.format}, {"--title", &options.title}};
    const std::pair<const char *, bool *> flagOptions[] = {{"--list-collections", &options.listCollections},
                                                           {"--full-view", &view.fullView},
                                                           {"--pick", &options.pick},
                                                           {"--accept", &options.accept}};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            QCoreApplication application(argc, argv);
            std::fputs(qPrintable(Vantor::versionReport(QStringLiteral("palettra"))), stdout);
            return 0;
        }
        // "--option value" and "--option=value" alike.
        std::string name = argv[i];
        const std::size_t equals = name.rfind("--", 0) == 0 ? name.find('=') : std::string::npos;
        const bool inlineValue = equals != std::string::npos;
        if (inlineValue)
            name.resize(equals);
        QString *value = nullptr;
        for (const auto &[option, target] : valueOptions) {
            if (name == option)
                value = target;
        }
        bool *flag = nullptr;
        for (const auto &[option, target] : flagOptions) {
            if (name == option)
                flag = target;
        }
        if (value) {
            if (!inlineValue && i + 1 >= argc) {
                std::fprintf(stderr, "palettra: %s needs a value\n%s", name.c_str(), Usage);
                return 2;
            }
            *value = QString::fromLocal8Bit(inlineValue ? argv[i] + equals + 1 : argv[++i]);
        } else if (flag && !inlineValue) {
            *flag = true;
        } else if (flag) {
            std::fprintf(stderr, "palettra: %s takes no value\n%s", name.c_str(), Usage);
            return 2;
        } else {
            std::fprintf(stderr, "palettra: unknown option %s\n%s", argv[i], Usage);
            return 2;
        }
    }
    return Continue;
}

// Refuses options that do not go together, and chooses the platform: Continue, or 2.
int settleOptions(Options &options)
{
    if (options.format != QLatin1String("json") && options.format != QLatin1String("hex")) {
        std::fprintf(stderr, "palettra: --format takes json or hex\n%s", Usage);
        return 2;
    }
    if ((options.accept || options.format != QLatin1String("json")) && !options.pick) {
        std::fprintf(stderr, "palettra: --accept and --format go with --pick\n%s", Usage);
        return 2;
    }
    if (options.pick && (!options.screenshot.isEmpty() || options.listCollections)) {
        std::fprintf(stderr, "palettra: --pick does not go with --screenshot or --list-collections\n%s", Usage);
        return 2;
    }
    // Without a display there is no window to show: list the collections and draw the
    // window into a picture instead, so the run still shows what the picker looks like.
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    // A pick that waits for a person needs a screen a person can see: not none, and not a
    // platform that draws into memory; else it would wait for ever.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool invisible = noDisplay || platform.startsWith("offscreen") || platform.startsWith("minimal");
    if (options.pick && invisible && !options.accept) {
        std::fprintf(stderr, "palettra: --pick needs a display to pick on, or --accept\n");
        return 2;
    }
    if (options.pick && options.accept)
        chooseOffscreenPlatformWithoutDisplay(noDisplay);
    if (noDisplay && options.screenshot.isEmpty() && !options.listCollections && !options.pick) {
        options.listCollections = true;
        options.screenshot = QDir::temp().filePath(QStringLiteral("palettra.png"));
    }
    chooseOffscreenPlatformWithoutDisplay(!options.screenshot.isEmpty() || options.listCollections);
    return Continue;
}

// The engine found no collection: said on standard error, and in a window where the
// program was started from a menu, where nobody reads the terminal.
int reportNoCollections(const Options &options, int started)
{
    std::fprintf(stderr, "palettra: the engine did not start (code %d): no collection in %s\n", started,
                 qPrintable(Vantor::databaseFolder()));
    if (options.pick)
        return 2;
    if (!options.screenshot.isEmpty() || options.listCollections || QGuiApplication::platformName() == QLatin1String("offscreen"))
        return 1;
    Palettra::NoCollectionsWindow window(Vantor::databaseFolder());
    window.show();
    QApplication::exec();
    return 1;
}

// The picker's window, at the view the options ask for, until it is closed, a pick is
// made or its picture is drawn.
int runPicker(const Options &options)
{
    Palettra::StandalonePicker picker;
    // A pick prints the chip for the script that asked and ends the program with 0.
    bool picked = false;
    if (options.pick) {
        picker.enablePickMode();
        const Palettra::PickFormat pickFormat = options.format == QLatin1String("hex") ? Palettra::PickFormat::Hex
                                                                                        : Palettra::PickFormat::Json;
        QObject::connect(&picker, &Palettra::StandalonePicker::chipPicked, &picker,
                         [&picked, pickFormat, &picker](QUuid collection, Vantor::DB::ColorEntry chip) {
                             if (picked)
                                 return;
                             picked = true;
                             std::fputs(qPrintable(Palettra::pickedChipLine(collection, chip, pickFormat) + QLatin1Char('\n')),
                                        stdout);
                             std::fflush(stdout);
                             picker.close();
                         });
    }
    if (!options.title.isEmpty())
        picker.setWindowTitle(options.title);
    if (options.pick)
        picker.showCentred();
    else
        picker.show();
    Palettra::FrontRequests frontRequests;
    QObject::connect(&frontRequests, &Palettra::FrontRequests::frontRequested, &picker,
                     &Palettra::StandalonePicker::bringToFront);
    QString error;
    switch (picker.openView(options.view, error)) {
    case Palettra::StandalonePicker::ViewOpened::Shown:
        break;
    case Palettra::StandalonePicker::ViewOpened::NothingFound:
        // A pick that found nothing is not a pick; a person at the picker sees it there.
        if (options.pick) {
            std::fprintf(stderr, "palettra: %s\n", qPrintable(error));
            return 1;
        }
        break;
    case Palettra::StandalonePicker::ViewOpened::Failed:
        std::fprintf(stderr, "palettra: %s\n", qPrintable(error));
        return 2;
    }
    if (options.pick) {
        if (options.accept && !picker.acceptNow()) {
            std::fprintf(stderr, "palettra: no chip to pick\n");
            return 1;
        }
        if (!picked)
            QApplication::exec();
        return picked ? 0 : 1;
    }
    if (!options.screenshot.isEmpty()) {
        QApplication::processEvents();
        if (!picker.grab().save(options.screenshot, "PNG")) {
            std::fprintf(stderr, "palettra: cannot write %s\n", qPrintable(options.screenshot));
            return 1;
        }
        return 0;
    }
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    Options options;
    if (const int done = parseOptions(argc, argv, options); done != Continue)
        return done;
    if (const int refused = settleOptions(options); refused != Continue)
        return refused;
    // Who the program is, before any window exists: docks match the window to its desktop
    // entry by these.
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orva Tavel"));
    QCoreApplication::setApplicationName(QStringLiteral("palettra"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Palettra"));
    QGuiApplication::setDesktopFileName(QStringLiteral("palettra"));
    const int started = Vantor::initializeEngineInHost(Vantor::engineModuleHandle(), engineFilesPath());
    QGuiApplication::setWindowIcon(Vantor::applicationWindowIcon());
    if (started < 0)
        return reportNoCollections(options, started);
    if (options.listCollections) {
        QTextStream out(stdout);
        printCollections(out);
        if (options.screenshot.isEmpty())
            return 0;
        out << "No display: the picker window is drawn into " << options.screenshot << '\n';
    }
    return runPicker(options);
}
