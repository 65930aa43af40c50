#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <gtest/gtest.h>

using namespace Vantor;
using Vantor::DB::ItemIndex;

namespace {

const QUuid First("{11111111-1111-4111-8111-111111111111}");
const QUuid Second("{22222222-2222-4222-8222-222222222222}");

// Writes values the way a person editing the file would leave them.
void handEdit(const QString &key, const QVariant &value)
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.setValue(key, value);
}

QString key(const QUuid &collection, const char *name)
{
    return collection.toString() + QLatin1Char('/') + QLatin1String(name);
}

TEST(PersistentState, LivesInTheUsersConfigFolder)
{
    EXPECT_EQ(settingsFilePath(),
              Palettra::Test::configHome() + QStringLiteral("/Orva Tavel/Palettra.3DSMax.ini"));
    EXPECT_EQ(settingsApplicationName(), QStringLiteral("Palettra.3DSMax"));
}

// A settings file that cannot be written (here a folder stands in its place) is said
// once, and what is written is read back until the process ends.
TEST(PersistentState, AnUnwritableFileKeepsTheStateInMemory)
{
    ASSERT_TRUE(QDir().mkpath(settingsFilePath()));
    setPageIndex(First, 9);
    setMyPaletteEntry(0, 1, ItemIndex{Second, 5, 42});
    {
        const PersistentStateBatch batch;
        setRowIndex(First, 3);
    }
    EXPECT_EQ(pageIndex(First), 9);
    EXPECT_EQ(rowIndex(First), 3);
    EXPECT_EQ(myPaletteEntry(0, 1).rowId, 42);
    setMyPaletteEntry(0, 1, ItemIndex());
    EXPECT_LE(myPaletteEntry(0, 1).rowId, 0);
}

// A batch reads its own writes at once and writes the file once, when the outermost ends.
TEST(PersistentState, BatchesWriteTheFileWhenTheOutermostEnds)
{
    // The file itself: settings objects of one process share what is not written yet.
    const QString path = settingsFilePath();
    auto fileText = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    {
        const PersistentStateBatch outer;
        setPageIndex(First, 7);
        {
            const PersistentStateBatch inner;
            setMyPaletteEntry(1, 2, ItemIndex{Second, 5, 42});
        }
        EXPECT_EQ(pageIndex(First), 7);
        EXPECT_EQ(myPaletteEntry(1, 2).rowId, 42);
        EXPECT_FALSE(fileText().contains(QStringLiteral("PageIndex")));
    }
    EXPECT_TRUE(fileText().contains(QStringLiteral("PageIndex=7")));
    EXPECT_EQ(myPaletteEntry(1, 2).rowId, 42);
}

TEST(PersistentState, EmptyStoreGivesTheDefaults)
{
    EXPECT_TRUE(lastUsedCollection().isNull());
    EXPECT_EQ(hostApplicationPid(), 0);
    EXPECT_EQ(segmentIndex(First), 1);
    EXPECT_EQ(pageIndex(First), 1);
    EXPECT_EQ(rowIndex(First), 1);
    EXPECT_EQ(moodFilter(First), 7);
    EXPECT_FALSE(exteriorColors(First));
    EXPECT_FALSE(showMto(First));
    EXPECT_EQ(tabPageIndex(First), 0);
    EXPECT_EQ(schemeKind(First), 0);
    EXPECT_EQ(schemeNeutralSubKind(First), 7);
    EXPECT_TRUE(prospectGroupOpenState(First, 5, true));
    EXPECT_FALSE(prospectGroupOpenState(First, 5, false));
    EXPECT_EQ(myPaletteEntry(0, 0), ItemIndex());
    EXPECT_FALSE(myPaletteCellSelected(3, 5));
    EXPECT_TRUE(myPaletteGridVisible());
    EXPECT_EQ(myPaletteZoomed(), QPoint(-1, -1));
    EXPECT_EQ(myPaletteSaveFileFormat(), 0);
    EXPECT_TRUE(myPaletteLastSavePath().isEmpty());
    EXPECT_EQ(myPaletteFullBackgroundColor(), 176);
    // Reading never creates the file.
    EXPECT_FALSE(QFile::exists(settingsFilePath()));
}

TEST(PersistentState, CollectionsKeepIndependentPositionsAndFilters)
{
    setSegmentIndex(First, 4);
    setPageIndex(First, 17);
    setRowIndex(First, 3);
    setMoodFilter(First, 2);
    setExteriorColors(First, true);
    setShowMto(First, true);
    setTabPageIndex(First, 8);
    setSchemeKind(First, 5);
    setSchemeNeutralSubKind(First, 9);
    setProspectGroupOpenState(First, 12345678901LL, false);

    EXPECT_EQ(segmentIndex(First), 4);
    EXPECT_EQ(pageIndex(First), 17);
    EXPECT_EQ(rowIndex(First), 3);
    EXPECT_EQ(moodFilter(First), 2);
    EXPECT_TRUE(exteriorColors(First));
    EXPECT_TRUE(showMto(First));
    EXPECT_EQ(tabPageIndex(First), 8);
    EXPECT_EQ(schemeKind(First), 5);
    EXPECT_EQ(schemeNeutralSubKind(First), 9);
    EXPECT_FALSE(prospectGroupOpenState(First, 12345678901LL, true));

    EXPECT_EQ(segmentIndex(Second), 1);
    EXPECT_EQ(pageIndex(Second), 1);
    EXPECT_EQ(moodFilter(Second), 7);
    EXPECT_FALSE(exteriorColors(Second));
    EXPECT_TRUE(prospectGroupOpenState(Second, 12345678901LL, true));

    // Written through at once, in the collection's own group.
    QSettings raw(settingsFilePath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(key(First, "PageIndex")).toInt(), 17);
    EXPECT_EQ(raw.value(key(First, "ProspectGroup_12345678901_OpenState")).toBool(), false);
}

TEST(PersistentState, NeutralSubKindWriterStoresOnlyNeutralKinds)
{
    setSchemeNeutralSubKind(First, 8);
    EXPECT_EQ(QSettings(settingsFilePath(), QSettings::IniFormat).value(key(First, "SchemeNeutralSubKind")).toInt(), 8);
    setSchemeNeutralSubKind(First, 3);
    EXPECT_EQ(QSettings(settingsFilePath(), QSettings::IniFormat).value(key(First, "SchemeNeutralSubKind")).toInt(), 7);
}

TEST(PersistentState, OutOfRangeValuesFallBack)
{
    handEdit(key(First, "TabPageIndex"), 3);
    handEdit(key(Second, "TabPageIndex"), 16);
    handEdit(key(First, "SchemeKind"), 10);
    handEdit(key(First, "SchemeNeutralSubKind"), 5);
    handEdit(key(First, "MoodFilter"), 0);
    handEdit(key(Second, "MoodFilter"), 8);
    handEdit(QStringLiteral("MyPalette/MyPaletteSaveFileFormat"), 2);

    EXPECT_EQ(tabPageIndex(First), 0);
    EXPECT_EQ(tabPageIndex(Second), 0);
    EXPECT_EQ(schemeKind(First), 0);
    EXPECT_EQ(schemeNeutralSubKind(First), 7);
    EXPECT_EQ(moodFilter(First), 7);
    EXPECT_EQ(moodFilter(Second), 7);
    EXPECT_EQ(myPaletteSaveFileFormat(), 0);

    handEdit(QStringLiteral("MyPalette/MyPaletteSaveFileFormat"), 1);
    EXPECT_EQ(myPaletteSaveFileFormat(), 1);
}

TEST(PersistentState, UnconvertibleValuesReadAsDocumented)
{
    handEdit(key(First, "SegmentIndex"), QStringLiteral("abc"));
    handEdit(key(First, "PageIndex"), QStringLiteral("twelve"));
    handEdit(key(First, "RowIndex"), QStringLiteral("1.5"));
    handEdit(key(First, "MoodFilter"), QStringLiteral("calm"));
    handEdit(key(First, "ExteriorColors"), QStringLiteral("perhaps"));
    handEdit(key(First, "ShowMto"), QStringLiteral("TRUE"));
    handEdit(key(First, "ProspectGroup_7_OpenState"), QStringLiteral("open"));
    handEdit(QStringLiteral("HostApplicationPID"), QStringLiteral("pid"));
    handEdit(QStringLiteral("MyPalette/MyPaletteZoomed"), QStringLiteral("middle"));
    handEdit(QStringLiteral("MyPalette/(0,0).Entry"), QStringLiteral("ItemIndex(garbage)"));
    // A list is not a single value at all: the default applies.
    handEdit(key(Second, "SegmentIndex"), QStringList{QStringLiteral("3"), QStringLiteral("4")});
    handEdit(key(Second, "PageIndex"), QStringLiteral(" 9 "));

    EXPECT_EQ(segmentIndex(First), 0);
    EXPECT_EQ(pageIndex(First), 0);
    EXPECT_EQ(rowIndex(First), 0);
    EXPECT_EQ(moodFilter(First), 7);
    EXPECT_FALSE(exteriorColors(First));
    EXPECT_TRUE(showMto(First));
    EXPECT_TRUE(prospectGroupOpenState(First, 7, true));
    EXPECT_FALSE(prospectGroupOpenState(First, 7, false));
    EXPECT_EQ(hostApplicationPid(), 0);
    EXPECT_EQ(myPaletteZoomed(), QPoint(-1, -1));
    EXPECT_EQ(myPaletteEntry(0, 0), ItemIndex());
    EXPECT_EQ(segmentIndex(Second), 1);
    EXPECT_EQ(pageIndex(Second), 9);
}

TEST(PersistentState, GarbageFileReadsAsDefaultsAndStaysWritable)
{
    QFileInfo info(settingsFilePath());
    QDir().mkpath(info.absolutePath());
    QFile file(settingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 7919) % 256));
    file.write(garbage);
    file.close();

    EXPECT_EQ(pageIndex(First), 1);
    EXPECT_EQ(moodFilter(First), 7);
    setPageIndex(First, 6);
    EXPECT_EQ(pageIndex(First), 6);
}

TEST(PersistentState, LastUsedCollectionIsCachedForTheProcess)
{
    handEdit(QStringLiteral("UuidOfLastUsedCollection"), First.toString());
    EXPECT_EQ(lastUsedCollection(), First);

    // Hand edits after the first read are not seen until the process ends.
    handEdit(QStringLiteral("UuidOfLastUsedCollection"), Second.toString());
    EXPECT_EQ(lastUsedCollection(), First);

    PersistentStateInternals::forgetCachedLastUsedCollection();
    EXPECT_EQ(lastUsedCollection(), Second);

    setLastUsedCollection(First);
    EXPECT_EQ(lastUsedCollection(), First);
    EXPECT_EQ(QSettings(settingsFilePath(), QSettings::IniFormat).value(QStringLiteral("UuidOfLastUsedCollection")).toString(),
              First.toString());
}

TEST(PersistentState, AbsentLastUsedCollectionIsAskedForAgain)
{
    EXPECT_TRUE(lastUsedCollection().isNull());
    handEdit(QStringLiteral("UuidOfLastUsedCollection"), Second.toString());
    EXPECT_EQ(lastUsedCollection(), Second);
}

TEST(PersistentState, HostProcessIdIsA64BitValue)
{
    setHostApplicationPid(4294967296LL + 17);
    EXPECT_EQ(hostApplicationPid(), 4294967296LL + 17);
}

TEST(PersistentState, PaletteCellsRemoveTheirKeysWhenEmptiedOrDeselected)
{
    const ItemIndex entry{First, 12, 34};
    setMyPaletteEntry(2, 5, entry);
    setMyPaletteCellSelected(2, 5, true);
    EXPECT_EQ(myPaletteEntry(2, 5), entry);
    EXPECT_TRUE(myPaletteCellSelected(2, 5));
    {
        QSettings raw(settingsFilePath(), QSettings::IniFormat);
        EXPECT_EQ(raw.value(QStringLiteral("MyPalette/(2,5).Entry")).toString(),
                  QStringLiteral("ItemIndex(%1,12,34)").arg(First.toString()));
    }

    setMyPaletteEntry(2, 5, ItemIndex{First, 12, 0});
    setMyPaletteCellSelected(2, 5, false);
    QSettings raw(settingsFilePath(), QSettings::IniFormat);
    EXPECT_FALSE(raw.contains(QStringLiteral("MyPalette/(2,5).Entry")));
    EXPECT_FALSE(raw.contains(QStringLiteral("MyPalette/(2,5).Selected")));
    EXPECT_EQ(myPaletteEntry(2, 5), ItemIndex());
}

TEST(PersistentState, PaletteSettings)
{
    setMyPaletteGridVisible(false);
    setMyPaletteSaveFileFormat(1);
    setMyPaletteLastSavePath(QStringLiteral("/home/someone/My Palettes/kitchen.palette"));
    setMyPaletteDescription(QStringLiteral("Kitchen, north light"));
    setMyPaletteFullBackgroundColor(96);
    handEdit(QStringLiteral("MyPalette/MyPaletteZoomed"), QPoint(2, 1));

    EXPECT_FALSE(myPaletteGridVisible());
    EXPECT_EQ(myPaletteSaveFileFormat(), 1);
    EXPECT_EQ(myPaletteLastSavePath(), QStringLiteral("/home/someone/My Palettes/kitchen.palette"));
    EXPECT_EQ(myPaletteFullBackgroundColor(), 96);
    EXPECT_EQ(myPaletteZoomed(), QPoint(2, 1));
    EXPECT_EQ(QSettings(settingsFilePath(), QSettings::IniFormat).value(QStringLiteral("MyPalette/MyPaletteDescription")).toString(),
              QStringLiteral("Kitchen, north light"));
}

} // namespace
