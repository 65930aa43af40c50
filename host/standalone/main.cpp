// palettra: the picker as a program of its own, started the way a host starts the engine.

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstring>

namespace {

// Without a display the program still runs, on Qt's offscreen platform.
void chooseOffscreenPlatformWithoutDisplay()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

void printCollections(QTextStream &out)
{
    auto &registry = Vantor::DB::CollectionRegistry::instance();
    for (const QUuid &uuid : registry.orderedCollectionUuids()) {
        QSharedPointer<Vantor::DB::Collection> collection;
        Vantor::DB::loadCollection(uuid, collection);
        const Vantor::DB::CollectionLocation location = registry.collectionLocation(uuid);
        out << uuid.toString() << '\t' << location.order << '\t' << (collection ? collection->name : QString())
            << '\t' << location.databasePath << '\n';
    }
}

} // namespace

int main(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("usage: palettra\n"
                        "Starts the colour picker engine on the collection files below\n"
                        "<first entry of XDG_DATA_DIRS>/Orva Tavel/Palettra/SQLite/Contents/Resources\n"
                        "and lists the collections it finds.\n");
            return 0;
        }
        std::fprintf(stderr, "palettra: unknown option %s\n", argv[i]);
        return 2;
    }

    chooseOffscreenPlatformWithoutDisplay();
    const int started = Vantor::initializeEngineInHost(Vantor::engineModuleHandle());

    QTextStream out(stdout);
    out << "Database folder: " << Vantor::databaseFolder() << '\n';
    out << "Settings file: " << Vantor::settingsFilePath() << '\n';
    if (started < 0) {
        out << "The engine did not start (code " << started << "): no collection found.\n";
        return 1;
    }
    out << "Collections (UUID, order, name, file):\n";
    printCollections(out);
    return 0;
}
