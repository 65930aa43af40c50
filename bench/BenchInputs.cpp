#include "BenchInputs.h"

#include <QHash>
#include <QRandomGenerator>

namespace Palettra::Bench {

const QVector<Vantor::DB::LabCandidate> &randomCandidates(int count)
{
    static QHash<int, QVector<Vantor::DB::LabCandidate>> made;
    auto found = made.find(count);
    if (found == made.end()) {
        QVector<Vantor::DB::LabCandidate> candidates;
        candidates.reserve(count);
        QRandomGenerator random(7);
        for (int i = 0; i < count; ++i) {
            const Vantor::LabColour lab = Vantor::labFromColour(QColor::fromRgb(random.generate() & 0xffffff));
            candidates.append({lab.l, lab.a, lab.b, i});
        }
        found = made.insert(count, candidates);
    }
    return *found;
}

const QVector<Vantor::LabColour> &randomTargets()
{
    static const QVector<Vantor::LabColour> targets = [] {
        QVector<Vantor::LabColour> made;
        QRandomGenerator random(11);
        for (int i = 0; i < 64; ++i)
            made << Vantor::labFromColour(QColor::fromRgb(random.generate() & 0xffffff));
        return made;
    }();
    return targets;
}

} // namespace Palettra::Bench
