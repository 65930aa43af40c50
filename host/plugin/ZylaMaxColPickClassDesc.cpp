#include "ZylaMaxColPickClassDesc.h"

#include "PluginEntry.h"
#include "ZylaMAXColPick.h"

#include "engine/EngineStartup.h"

namespace {
bool engineStarted = false;
}

ZylaMaxColPickClassDesc &ZylaMaxColPickClassDesc::instance()
{
    static ZylaMaxColPickClassDesc descriptor;
    return descriptor;
}

void ZylaMaxColPickClassDesc::setEngineStarted(bool started)
{
    engineStarted = started;
}

void *ZylaMaxColPickClassDesc::Create(BOOL)
{
    // Without a running engine a picker could not build a single widget.
    if (!engineStarted)
        return nullptr;
    return static_cast<ColPick *>(new ZylaMAXColPick);
}

const MCHAR *ZylaMaxColPickClassDesc::Category()
{
    return _M("Color Picker");
}

const MCHAR *ZylaMaxColPickClassDesc::InternalName()
{
    return LibDescription();
}

HINSTANCE ZylaMaxColPickClassDesc::HInstance()
{
    return static_cast<HINSTANCE>(const_cast<void *>(Vantor::engineModuleHandle()));
}
