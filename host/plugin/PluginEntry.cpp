#include "PluginEntry.h"

#include "engine/ui/AboutBox.h"

#include <QGuiApplication>
#include <QThreadPool>

#include "ZylaMaxColPickClassDesc.h"

#include "engine/EngineApplication.h"
#include "engine/db/SqlSupport.h"
#include "engine/palette/PictureReads.h"

extern "C" {

const MCHAR *LibDescription()
{
    return _M("Orva Tavel Color Picker");
}

int LibNumberClasses()
{
    return 1;
}

ClassDesc *LibClassDesc(int i)
{
    return i == 0 ? &ZylaMaxColPickClassDesc::instance() : nullptr;
}

ULONG LibVersion()
{
    return VERSION_3DSMAX;
}

int LibInitialize()
{
    const bool started = Vantor::initializeEngineInHost(Vantor::engineModuleHandle()) == Vantor::StartupOk;
    // A host without an icon of its own (the simulator) shows the picker's on its dialogs.
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(Vantor::applicationWindowIcon());
    ZylaMaxColPickClassDesc::setEngineStarted(started);
    return started ? 1 : 0;
}

int LibShutdown()
{
    // Reads for the search field, and pictures whose reading was cancelled, may still
    // run on their threads: they end before the host goes on to unload or exit.
    Vantor::DB::backgroundReads().waitForDone();
    Vantor::waitForPictureReads();
    return 1;
}

} // extern "C"
