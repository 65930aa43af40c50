#include "TestEnvironment.h"

#include "engine/palette/ColourDifference.h"

#include <QFile>
#include <QTextStream>
#include <gtest/gtest.h>

#include <cmath>

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
