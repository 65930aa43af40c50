#pragma once

// Colours the nearest-colour benchmarks search among and for: the same for the engine
// and for its yardstick, made once per process.

#include "engine/colour/ColourDifference.h"

#include <QVector>

namespace Palettra::Bench {

// `count` random sRGB colours as Lab candidates, their ROW ids their places.
const QVector<Vantor::DB::LabCandidate> &randomCandidates(int count);
// 64 random targets.
const QVector<Vantor::LabColour> &randomTargets();

} // namespace Palettra::Bench
