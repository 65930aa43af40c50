#pragma once

// The engine's start-up where it needs widgets: the application object of the host
// process. The rest of start-up (EngineStartup.h) needs none, so that tools without a
// window start the engine too.

#include "engine/EngineStartup.h"

#include <QString>

namespace Vantor {

// Creates the application object when the process has none yet, and keeps the module
// loaded for the rest of the process. Returns whether it created the object.
bool ensureApplication(ModuleHandle handle);

// What the plug-in's initialisation entry point does before it answers the host: name
// the settings store, restrict Qt's plug-in folders, make sure an application object
// exists, then start the engine on the module's path and the database folder. Returns
// the code of startEngine. `modulePath`, when given, stands for the module's file where
// the engine looks for what lies beside it (the help page): a program installed apart
// from the folder that holds those.
int initializeEngineInHost(ModuleHandle handle, const QString &modulePath = QString());

} // namespace Vantor
