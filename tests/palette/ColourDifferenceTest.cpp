#include "TestEnvironment.h"

#include "engine/colour/ColourDifference.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

using namespace Vantor;

namespace {

struct SharmaPair
{
    LabColour first;
    LabColour second;
    double expected;
};

QVector<SharmaPair> sharmaPairs()
{
    QVector<SharmaPair> pairs;
    QFile file(QStringLiteral(PALETTRA_TEST_DATA_DIR "/ciede2000-sharma.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return pairs;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        if (f.size() != 7)
            continue;
        pairs.append({{f[0].toDouble(), f[1].toDouble(), f[2].toDouble()},
                      {f[3].toDouble(), f[4].toDouble(), f[5].toDouble()},
                      f[6].toDouble()});
    }
    return pairs;
}

TEST(DeltaE2000, ReproducesThePublishedTestDataToFourDecimals)
{
    const QVector<SharmaPair> pairs = sharmaPairs();
    ASSERT_EQ(pairs.size(), 34);
    for (const SharmaPair &pair : pairs) {
        const double forward = deltaE2000(pair.first, pair.second);
        const double backward = deltaE2000(pair.second, pair.first);
        EXPECT_NEAR(forward, pair.expected, 0.00005) << pair.first.l << ' ' << pair.first.a << ' ' << pair.first.b;
        EXPECT_NEAR(backward, forward, 1e-12);
    }
}

TEST(DeltaE2000, ZeroForIdenticalColours)
{
    for (const LabColour &colour : {LabColour{50, 20, -30}, LabColour{0, 0, 0}, LabColour{100, 0, 0}})
        EXPECT_EQ(deltaE2000(colour, colour), 0.0);
}

TEST(LabFromColour, WhiteBlackAndAKnownColour)
{
    const LabColour white = labFromColour(QColor(255, 255, 255));
    EXPECT_NEAR(white.l, 100.0, 1e-3);
    EXPECT_NEAR(white.a, 0.0, 0.02);
    EXPECT_NEAR(white.b, 0.0, 0.02);
    const LabColour black = labFromColour(QColor(0, 0, 0));
    EXPECT_DOUBLE_EQ(black.l, 0.0);
    EXPECT_DOUBLE_EQ(black.a, 0.0);
    EXPECT_DOUBLE_EQ(black.b, 0.0);
    // sRGB red under D65 with the four-decimal sRGB matrix: L 53.24, a 80.11, b 67.22
    // (the often quoted 80.09 and 67.20 come from a more precise matrix).
    const LabColour red = labFromColour(QColor(255, 0, 0));
    EXPECT_NEAR(red.l, 53.24, 0.01);
    EXPECT_NEAR(red.a, 80.11, 0.01);
    EXPECT_NEAR(red.b, 67.22, 0.01);
    // Below the linear threshold (dark greys) the formula's other branch applies.
    EXPECT_NEAR(labFromColour(QColor(1, 1, 1)).l, 0.2742, 0.001);
}

TEST(NearestColours, KeepsTheSmallestDifferencesInOrder)
{
    const LabColour target{50, 0, 0};
    const QVector<DB::LabCandidate> candidates{
        {60, 0, 0, 1}, {50, 0, 0, 2}, {40, 0, 0, 3}, {52, 0, 0, 4}, {50, 10, 0, 5},
    };
    const QVector<ColourMatch> best = nearestColours(target, candidates, 3);
    ASSERT_EQ(best.size(), 3);
    EXPECT_EQ(best.at(0).second, 2);
    EXPECT_EQ(best.at(0).first, 0.0);
    EXPECT_EQ(best.at(1).second, 4);
    EXPECT_LE(best.at(1).first, best.at(2).first);
    EXPECT_TRUE(nearestColours(target, candidates, 0).isEmpty());
    EXPECT_TRUE(nearestColours(target, {}, 1).isEmpty());
    EXPECT_EQ(nearestColours(target, candidates, 10).size(), 5);
}

TEST(NearestColours, EqualDifferencesKeepCandidateOrder)
{
    const LabColour target{50, 0, 0};
    // 55 and 45 lie at the same difference from 50 only if the lightness weighting is
    // symmetric around 50, which it is.
    const QVector<DB::LabCandidate> candidates{{55, 0, 0, 10}, {45, 0, 0, 11}, {50, 0, 0, 12}, {50, 0, 0, 13}};
    const QVector<ColourMatch> best = nearestColours(target, candidates, 1);
    ASSERT_EQ(best.size(), 1);
    EXPECT_EQ(best.first().second, 12);
    const QVector<ColourMatch> two = nearestColours(target, {{55, 0, 0, 10}, {45, 0, 0, 11}}, 1);
    EXPECT_EQ(two.first().second, 10);
}

} // namespace

namespace {

// The nearest colours as the plain definition has them: every candidate in list order,
// a later one only before those strictly farther.
QVector<Vantor::ColourMatch> fullScan(const Vantor::LabColour &target, const QVector<Vantor::DB::LabCandidate> &candidates,
                                      int count)
{
    QVector<Vantor::ColourMatch> all;
    for (const Vantor::DB::LabCandidate &candidate : candidates)
        all << Vantor::ColourMatch(Vantor::deltaE2000(target, {candidate.l, candidate.a, candidate.b}), candidate.rowId);
    std::stable_sort(all.begin(), all.end(), [](const auto &x, const auto &y) { return x.first < y.first; });
    return all.mid(0, count);
}

} // namespace

// The search skips candidates it can prove too far: its answer must be the plain scan's,
// ties and their order included, for any target.
TEST(NearestColours, SameAnswerAsTheFullScanForRandomTargets)
{
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> channel(0, 255);
    QVector<Vantor::DB::LabCandidate> candidates;
    for (int i = 0; i < 20000; ++i) {
        const Vantor::LabColour lab = Vantor::labFromColour(QColor(channel(random), channel(random), channel(random)));
        candidates.append({lab.l, lab.a, lab.b, 1000 + i});
    }
    // Exact twins (equal differences to everything) and a few colours on a grid that
    // many targets see at the same distance.
    for (int i = 0; i < 300; ++i) {
        Vantor::DB::LabCandidate twin = candidates.at(i * 37);
        twin.rowId = 900000 + i;
        candidates.insert(int((i * 7919) % candidates.size()), twin);
    }
    for (double l : {20.0, 50.0, 80.0})
        for (double a : {-20.0, 0.0, 20.0})
            candidates.append({l, a, 0.0, qint64(800000 + l * 10 + a)});
    for (int t = 0; t < 160; ++t) {
        Vantor::LabColour target;
        if (t % 4 == 0) {
            // On a candidate, or exactly between grid colours.
            const Vantor::DB::LabCandidate &on = candidates.at((t * 131) % candidates.size());
            target = {on.l, on.a, on.b};
        } else if (t % 4 == 1) {
            target = {50.0, 0.0, 0.0};
        } else if (t % 4 == 3) {
            // Round the hue circle at every chroma, through the blues where the
            // formula's rotation term is strongest.
            const double hue = t * 9.0 * 3.14159265358979 / 180.0;
            const double chroma = (t % 7) * 22.0;
            target = {double(t % 101), chroma * std::cos(hue), chroma * std::sin(hue)};
        } else {
            target = Vantor::labFromColour(QColor(channel(random), channel(random), channel(random)));
        }
        const QVector<Vantor::ColourMatch> expected = fullScan(target, candidates, 5);
        for (int count : {1, 2, 5})
            ASSERT_EQ(Vantor::nearestColours(target, candidates, count), expected.mid(0, count)) << "target " << t << " count " << count;
    }
    // Far outside every candidate: still the same.
    const Vantor::LabColour outside{150.0, 300.0, -300.0};
    EXPECT_EQ(Vantor::nearestColours(outside, candidates, 3), fullScan(outside, candidates, 3));
}

TEST(NearestColours, ValuesThatAreNoNumbersAnswerAsThePlainScan)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QVector<Vantor::DB::LabCandidate> candidates{{50, 0, 0, 1}, {nan, 0, 0, 2}, {60, 5, 5, 3}, {40, -5, -5, 4}};
    const Vantor::LabColour target{52, 1, 1};
    // The plain definition's answer, whatever a NaN does to it.
    QVector<Vantor::ColourMatch> plain;
    for (const auto &candidate : candidates) {
        const double d = Vantor::deltaE2000(target, {candidate.l, candidate.a, candidate.b});
        const auto at = std::upper_bound(plain.begin(), plain.end(), d, [](double x, const auto &m) { return x < m.first; });
        if (at - plain.begin() < 2) {
            plain.insert(at - plain.begin(), Vantor::ColourMatch(d, candidate.rowId));
            if (plain.size() > 2)
                plain.removeLast();
        }
    }
    const QVector<Vantor::ColourMatch> found = Vantor::nearestColours(target, candidates, 2);
    ASSERT_EQ(found.size(), plain.size());
    for (int i = 0; i < found.size(); ++i)
        EXPECT_EQ(found.at(i).second, plain.at(i).second);
}
