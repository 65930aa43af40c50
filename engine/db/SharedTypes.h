#pragma once

#include <QUuid>

namespace Vantor {

// The virtual collection that every database file holds; its connection serves the
// queries that span all collections of a file.
inline const QUuid SystemWideCollectionUuid{QStringLiteral("{FFFFFFFF-FFFF-FFFF-FFFF-FFFFFFFFFFFF}")};

// 1 to 6 are the moods stored in the database; 7 selects all moods.
enum Mood : int {
    MoodFresh = 1,
    MoodWarm = 2,
    MoodCalm = 3,
    MoodRich = 4,
    MoodOffWhite = 5,
    MoodNeutral = 6,
    MoodAll = 7,
};

enum SchemeKind : int {
    SchemeNone = 0,
    SchemeHarmonic = 1,
    SchemeContrast = 2,
    SchemeWideContrast = 3,
    SchemeDynamic = 4,
    SchemeDramatic = 5,
    SchemeNeutral = 6,
    SchemeTonalNeutral = 7,
    SchemeComplementaryNeutral = 8,
    SchemeNaturalNeutral = 9,
};

// Bit values: a collection's available pages form a bit set.
enum TabBarPage : int {
    NoTabBarPage = 0,
    PageOfColorSchemes = 1,
    PageOfProducts = 2,
    PageOfProspect = 4,
    PageOfTextures = 8,
};

enum Direction : int {
    Forward = 0,
    Backward = 1,
};

enum PaletteFileFormat : int {
    PaletteFileXml = 0,
    PaletteFileText = 1,
    // The palette files of other design tools, chosen per save and never stored as the
    // save format.
    PaletteFileGpl = 2,
    PaletteFileAse = 3,
    PaletteFileCxf = 4,
    PaletteFileCss = 5,
    // A colour board for a client (PDF), likewise per save.
    PaletteFileBoard = 6,
};

} // namespace Vantor
