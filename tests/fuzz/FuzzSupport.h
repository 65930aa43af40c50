#pragma once

// What the fuzz targets share: a Qt application on the offscreen platform, settings and
// data folders of their own, and a small collection file registered as the engine's, so
// that what refers to chips can resolve them.

#include <QUuid>
#include <QVariant>

#include <cstddef>
#include <cstdint>

namespace Palettra::Fuzz {

// The collection of the small file: six cards of four chips, codes "F-<card>-<chip>".
extern const QUuid Collection;

// Starts the application and the engine on the small file, once per process.
void startEngineOnce();

// Stops the process with a message when a promise of the code under test is broken.
[[noreturn]] void broken(const char *what);

} // namespace Palettra::Fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
