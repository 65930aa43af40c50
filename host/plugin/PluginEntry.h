#pragma once

// The functions 3ds Max looks up by name in the plug-in library.

#include "host/sdk/MaxSdk.h"

#define PALETTRA_PLUGIN_EXPORT __attribute__((visibility("default")))

extern "C" {
PALETTRA_PLUGIN_EXPORT const MCHAR *LibDescription();
PALETTRA_PLUGIN_EXPORT int LibNumberClasses();
PALETTRA_PLUGIN_EXPORT ClassDesc *LibClassDesc(int i);
PALETTRA_PLUGIN_EXPORT ULONG LibVersion();
PALETTRA_PLUGIN_EXPORT int LibInitialize();
PALETTRA_PLUGIN_EXPORT int LibShutdown();
}

// The entry points as a host resolves them.
using LibDescriptionFunction = const MCHAR *(*)();
using LibNumberClassesFunction = int (*)();
using LibClassDescFunction = ClassDesc *(*)(int);
using LibVersionFunction = ULONG (*)();
using LibInitializeFunction = int (*)();
using LibShutdownFunction = int (*)();
