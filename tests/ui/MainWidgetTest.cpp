#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteFile.h"
#include "engine/widgets/ColorSchemerPulvexWidget.h"
#include "engine/widgets/ColorSchemerWidget.h"
#include "engine/widgets/ProductsWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/SearchWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/ColourDifference.h"
#include "engine/ui/AboutBox.h"
#include "engine/widgets/Captions.h"
#include "engine/ui/HelpWindow.h"
#include "engine/ui/MainWidget.h"
#include "engine/ui/TabBarWidget.h"

#include <QSettings>
#include "engine/widgets/TaskButton.h"
#include "WidgetEvents.h"

#include <QAbstractButton>
#include <QBuffer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QLineEdit>
#include <QMimeData>
#include <QSqlQuery>
#include <QDragEnterEvent>
#include <QSignalSpy>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

using Palettra::Test::UrlRecorder;

using Palettra::Test::dropChipRecord;

namespace {

class MainWidgetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        w.addSetting(deck.idA(), QStringLiteral("card.type"), QStringLiteral("normal"));
        w.addSetting(deck.idB(), QStringLiteral("card.type"), QStringLiteral("pulvex"));
        w.addSettingList(deck.idA(), QStringLiteral("schemes"), {QStringLiteral("dynamic"), QStringLiteral("harmonic")});
        w.addSettingList(deck.idA(), QStringLiteral("tab.bar.page"), {QStringLiteral("PageOfTextures"), QStringLiteral("PageOfProducts"), QStringLiteral("PageOfColorSchemes")});
        w.addSetting(deck.idA(), QStringLiteral("has.product.groups.page"), 1);
        w.addSetting(deck.idA(), QStringLiteral("header.link"), QStringLiteral("https://example.invalid/colours"));
        w.addText(deck.idA(), QStringLiteral("license.copyright"), QStringLiteral("<p>Licence of the demo</p>"));
        w.addText(deck.idA(), QStringLiteral("motto"), QStringLiteral("Colour that lasts"));
        w.addText(deck.idA(), QStringLiteral("aboutbox.version"), QStringLiteral("Version"));
        w.addText(deck.idA(), QStringLiteral("aboutbox.main"), QStringLiteral("Orva Tavel Colour Picker"));
        w.addText(deck.idA(), QStringLiteral("tab.bar.products.caption"), QStringLiteral("Products"));
        w.addText(deck.idA(), QStringLiteral("tab.bar.color.schemes.caption"), QStringLiteral("Schemes"));
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
        ASSERT_EQ(lastUsedCollection(), StandardDeck::A);
    }

    void TearDown() override
    {
        delete widget;
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    MainWidget &main()
    {
        if (!widget)
            widget = new MainWidget(&pointer);
        return *widget;
    }

    // True CIELAB for the chips, as real collections have.
    void storeTrueLab()
    {
        auto &w = deck.deck().writer();
        for (int page = 1; page <= 6; ++page)
            for (int row = 1; row <= 3; ++row) {
                const LabColour lab = labFromColour(QColor(40 * page, 20 * row, 100));
                w.exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                       {lab.l, lab.a, lab.b, deck.rowIdA(page, row)});
            }
        ASSERT_TRUE(w.ok());
    }

    StandardDeck deck;
    MainWidget *widget = nullptr;
    MainWidget *pointer = nullptr;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
};

TEST_F(MainWidgetTest, ConstructionStoresDefaultTabPageAndSchemeKind)
{
    main();
    EXPECT_EQ(pointer, widget);
    EXPECT_EQ(MainWidget::current(), widget);
    EXPECT_EQ(widget->size(), QSize(800, 600));
    // Textures are not offered (the shared collection does not switch them on).
    EXPECT_EQ(tabPageIndex(A), PageOfProducts);
    EXPECT_EQ(schemeKind(A), SchemeDynamic);
    EXPECT_TRUE(widget->productsWidget()->isVisibleTo(widget));
    EXPECT_FALSE(widget->colorSchemerWidget()->isVisibleTo(widget));
}

TEST_F(MainWidgetTest, CollectionSwitchOnlyToAnotherRegisteredCollection)
{
    QSignalSpy switched(&main(), &MainWidget::selectedCollectionChanged);
    widget->collectionChangedInteractively(A);
    widget->collectionChangedInteractively(QUuid::createUuid());
    widget->collectionChangedInteractively(StandardDeck::C);
    EXPECT_EQ(switched.count(), 0);
    EXPECT_EQ(lastUsedCollection(), A);

    widget->collectionChangedInteractively(B);
    ASSERT_EQ(switched.count(), 1);
    EXPECT_EQ(switched.first().first().value<QUuid>(), B);
    EXPECT_EQ(lastUsedCollection(), B);
    EXPECT_EQ(CollectionSettings::cachedCollection(), B);
    EXPECT_TRUE(widget->isEnabled());
    // B offers only the schemes page and has the pulvex card type.
    EXPECT_TRUE(widget->pulvexSchemerWidget()->isVisibleTo(widget));
}

TEST_F(MainWidgetTest, WheelSegmentLeadsToTheFirstCardUnderTheFilters)
{
    setMoodFilter(A, MoodFresh);
    main().segmentChangedInteractivelyByWheel(2);
    EXPECT_EQ(segmentIndex(A), 2);
    EXPECT_EQ(pageIndex(A), 6); // the first fresh card at or after segment 2
    // The action's changes are written together, and are in the file when it returns.
    const QSettings file(settingsFilePath(), QSettings::IniFormat);
    EXPECT_EQ(file.value(A.toString() + QStringLiteral("/SegmentIndex")).toInt(), 2);
    EXPECT_EQ(file.value(A.toString() + QStringLiteral("/PageIndex")).toInt(), 6);

    setPageIndex(A, 3);
    widget->segmentChangedInteractivelyByWheel(2); // same segment: nothing
    EXPECT_EQ(pageIndex(A), 3);
}

TEST_F(MainWidgetTest, FilterChangesRefilterTheCards)
{
    main();
    ASSERT_EQ(segmentIndex(A), 1);
    widget->moodFilterChangedInteractively(MoodCalm);
    EXPECT_EQ(moodFilter(A), MoodCalm);
    EXPECT_EQ(segmentIndex(A), 2);
    EXPECT_EQ(pageIndex(A), 4);

    widget->moodFilterChangedInteractively(MoodAll);
    EXPECT_EQ(pageIndex(A), 4); // card 4 is still the first of segment 2
    widget->exteriorFilterChangedInteractively(true);
    EXPECT_TRUE(exteriorColors(A));
    // Segment stepping under all moods leaves out the off-white card 3 and wraps.
    EXPECT_EQ(segmentIndex(A), 1);
    EXPECT_EQ(pageIndex(A), 2);

    widget->showMtoChangedInteractively(true);
    EXPECT_TRUE(showMto(A));
}

TEST_F(MainWidgetTest, PulvexCollectionsDoNotStepSegmentsOnFilterChanges)
{
    setLastUsedCollection(B);
    setSegmentIndex(B, 7);
    setPageIndex(B, 2);
    main().moodFilterChangedInteractively(MoodWarm);
    EXPECT_EQ(moodFilter(B), MoodWarm);
    EXPECT_EQ(segmentIndex(B), 7);
    EXPECT_EQ(pageIndex(B), 2);
}

TEST_F(MainWidgetTest, RollingWrapsAndFollowsSegments)
{
    setPageIndex(A, 6);
    setSegmentIndex(A, 3);
    main().rollCards(Forward);
    EXPECT_EQ(pageIndex(A), 1);
    EXPECT_EQ(segmentIndex(A), 1);
    widget->rollCards(Backward);
    EXPECT_EQ(pageIndex(A), 6);
    EXPECT_EQ(segmentIndex(A), 3);
    widget->rollCards(Backward);
    EXPECT_EQ(pageIndex(A), 4); // 5 is neutral, left out under all moods
}

TEST_F(MainWidgetTest, PageAndRowChangesAreStored)
{
    main().pageChangedInteractively(5);
    widget->rowChangedInteractively(3);
    EXPECT_EQ(pageIndex(A), 5);
    EXPECT_EQ(rowIndex(A), 3);
}

TEST_F(MainWidgetTest, SearchHitRules)
{
    main();
    // A hit that is not for exteriors turns the exterior filter off.
    setExteriorColors(A, true);
    setMoodFilter(A, MoodWarm);
    widget->searchForPhrase(QStringLiteral("A-4-2"));
    EXPECT_FALSE(exteriorColors(A));
    EXPECT_EQ(moodFilter(A), MoodAll); // calm hit resets a specific mood
    EXPECT_EQ(segmentIndex(A), 2);
    EXPECT_EQ(pageIndex(A), 4);
    EXPECT_EQ(rowIndex(A), 2);

    // A hit of mood 5 or 6 sets that mood.
    widget->searchForPhrase(QStringLiteral("a-5-3"));
    EXPECT_EQ(moodFilter(A), MoodNeutral);
    EXPECT_EQ(pageIndex(A), 5);
    EXPECT_EQ(rowIndex(A), 3);

    // Nothing found: nothing changes.
    widget->searchForPhrase(QStringLiteral("nowhere"));
    EXPECT_EQ(pageIndex(A), 5);
}

TEST_F(MainWidgetTest, TabAndSchemeSelections)
{
    main().tabPageSelected(PageOfColorSchemes);
    EXPECT_EQ(tabPageIndex(A), PageOfColorSchemes);
    EXPECT_TRUE(widget->colorSchemerWidget()->isVisibleTo(widget));
    EXPECT_FALSE(widget->productsWidget()->isVisibleTo(widget));
    widget->schemeKindChangedInteractively(SchemeHarmonic);
    EXPECT_EQ(schemeKind(A), SchemeHarmonic);
    widget->schemeNeutralSubKindChangedInteractively(SchemeComplementaryNeutral);
    EXPECT_EQ(schemeNeutralSubKind(A), SchemeComplementaryNeutral);
}

// The header band is at most 23 pixels high; round buttons are squares of band - 2; the
// text buttons share what is left with 4-pixel gaps.
TEST_F(MainWidgetTest, HeaderButtonGeometry)
{
    main();
    const QRect palette = widget->myPaletteWidget()->geometry();
    const int span = (palette.right() - 12) - (palette.left() + 12) + 1;
    int band = widget->searchWidget()->height();
    while (band > 23)
        band -= 2; // shrinks by a pixel at each end, keeping its centre
    ASSERT_EQ(band, 22);
    auto check = [&](int textButtons, int roundButtons) {
        const double textWidth = (span - 4.0 * (textButtons + roundButtons - 1) - roundButtons * (band - 2)) / textButtons;
        double x = palette.left() + 12;
        for (quint16 id : widget->headerButtonOrder()) {
            const QRect geometry = widget->headerButton(id)->geometry();
            EXPECT_EQ(geometry.left(), int(x)) << id;
            if (id == MainWidget::HelpButtonId || id == MainWidget::AboutButtonId) {
                EXPECT_EQ(geometry.size(), QSize(band - 2, band - 2));
                x += band - 2 + 4;
            } else {
                EXPECT_EQ(geometry.width(), int(textWidth));
                EXPECT_EQ(geometry.height(), band);
                x += textWidth + 4;
            }
        }
    };
    check(2, 1);
    EXPECT_EQ(widget->addAboutButton(), MainWidget::AboutButtonId);
    check(2, 2);
    const quint16 task = widget->addTaskButton(MainWidget::LoadButtonId);
    EXPECT_EQ(task, MainWidget::FirstTaskButtonId);
    EXPECT_EQ(widget->headerButtonOrder(), (QList<quint16>{1, 2, 1000, 3, 4}));
    check(3, 2);
    EXPECT_EQ(widget->addTaskButton(0), 1001);
    EXPECT_EQ(widget->headerButtonOrder().last(), 1001);
    EXPECT_FALSE(widget->headerButton(999)->isVisible());
}

TEST_F(MainWidgetTest, LinkFilesHoldTheirTexts)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    main().linkActivated(QStringLiteral("links/copyright"));
    const QString copyright = widget->linkFilePath(QStringLiteral("links/copyright"));
    ASSERT_FALSE(copyright.isEmpty());
    QFile file(copyright);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), QStringLiteral("<p>Licence of the demo</p>"));
    EXPECT_TRUE(QFileInfo(copyright).fileName().startsWith(QStringLiteral("qt_temp_")));
    EXPECT_TRUE(copyright.endsWith(QStringLiteral(".html")));

    widget->linkActivated(QStringLiteral("links/motto"));
    QFile motto(widget->linkFilePath(QStringLiteral("links/motto")));
    ASSERT_TRUE(motto.open(QIODevice::ReadOnly));
    EXPECT_EQ(motto.readAll(), QByteArray("Colour that lasts"));
    motto.close();

    // The same file written again with a shorter text holds that text alone.
    deck.deck().writer().exec(QStringLiteral("UPDATE LOCALE SET STRING = ? WHERE \"KEY\" = ?"),
                              {QStringLiteral("Hue"), QStringLiteral("motto")});
    widget->linkActivated(QStringLiteral("links/motto"));
    ASSERT_TRUE(motto.open(QIODevice::ReadOnly));
    EXPECT_EQ(motto.readAll(), QByteArray("Hue"));

    // The banner is the header link.
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, QPoint(400, 30));
    ASSERT_EQ(recorder.urls.size(), 4);
    EXPECT_EQ(recorder.urls.at(0), QUrl::fromLocalFile(copyright));
    EXPECT_EQ(recorder.urls.at(3), QUrl(QStringLiteral("https://example.invalid/colours")));

    delete widget;
    widget = nullptr;
    EXPECT_FALSE(QFile::exists(copyright)); // the widget takes its link files with it
}

TEST_F(MainWidgetTest, HelpOpensThePageBesideTheProgram)
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
    main().helpButtonClicked();
    ASSERT_EQ(recorder.urls.size(), 1);
    const QString folder = QFileInfo(QFileInfo(modulePath()).absolutePath()).canonicalFilePath();
    EXPECT_EQ(recorder.urls.first().toString(), QStringLiteral("file://%1/Contents/Resources/help/main.html").arg(folder));
}

// Where no program opens the page (here none does), the picker shows it in a window of
// its own, one however often the user asks.
TEST_F(MainWidgetTest, HelpShowsThePageItselfWhereNoProgramOpensIt)
{
    main().helpButtonClicked();
    const QList<HelpWindow *> windows = main().findChildren<HelpWindow *>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_TRUE(windows.first()->isVisible());
    const QString folder = QFileInfo(QFileInfo(modulePath()).absolutePath()).canonicalFilePath();
    EXPECT_EQ(windows.first()->browser()->source(),
              QUrl::fromLocalFile(folder + QStringLiteral("/Contents/Resources/help/main.html")));
    QTest::keyClick(&main(), Qt::Key_F1);
    EXPECT_EQ(main().findChildren<HelpWindow *>().size(), 1);
}

TEST_F(MainWidgetTest, PaletteDialogsEmitAndRememberTheChoice)
{
    QTemporaryDir folder;
    const QString tmp = folder.path() + QLatin1Char('/');
    QStringList seenFilters;
    QString openFilters;
    QString openStart;
    // The filter the user picks: the first one holding this text.
    QString pick = QStringLiteral("(*.palette)");
    QString savedPath = (tmp + QStringLiteral("mine.palette"));
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &, const QString &filters, QString *selected) {
            seenFilters = filters.split(QStringLiteral(";;"));
            for (const QString &filter : seenFilters) {
                if (filter.contains(pick, Qt::CaseInsensitive)) {
                    *selected = filter;
                    break;
                }
            }
            return savedPath;
        },
        [&](QWidget *, const QString &, const QString &start, const QString &filters) {
            openFilters = filters;
            openStart = start;
            return (tmp + QStringLiteral("theirs.palette"));
        });
    QSignalSpy saved(&main(), &MainWidget::savePaletteTo);
    QSignalSpy loaded(widget, &MainWidget::loadPaletteFrom);
    const QStringList otherTools{QStringLiteral("GIMP palette (*.gpl)"), QStringLiteral("Adobe Swatch Exchange (*.ase)"),
                                 QStringLiteral("CxF3 colour exchange (*.cxf)"), QStringLiteral("CSS custom properties (*.css)"),
                                 QStringLiteral("Colour board (*.pdf)")};

    // An empty palette has nothing to save: the button is off.
    EXPECT_FALSE(widget->headerButton(MainWidget::SaveButtonId)->isEnabled());
    // Without the text format palette files are offered, then the other tools' formats.
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 1);
    EXPECT_EQ(seenFilters.mid(1), otherTools);
    EXPECT_TRUE(seenFilters.first().endsWith(QStringLiteral("(*.palette)")));
    EXPECT_EQ(saved.first().at(0).value<PaletteFileFormat>(), PaletteFileXml);
    EXPECT_EQ(myPaletteSaveFileFormat(), 0);
    EXPECT_EQ(myPaletteLastSavePath(), (tmp + QStringLiteral("mine.palette")));
    // A text list needs a chip to list.
    DB::ColorEntry chip;
    ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(1, 1), chip), DB::StatusOk);
    widget->myPaletteWidget()->model().setCell(QPoint(0, 0), A, chip);

    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("save.palette.text.format"), 1);
    CollectionSettings::useCollection(B);
    pick = QStringLiteral("(*.txt)");
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 2);
    EXPECT_EQ(seenFilters.size(), 7);
    EXPECT_TRUE(seenFilters.at(1).endsWith(QStringLiteral("(*.txt)")));
    EXPECT_EQ(seenFilters.mid(2), otherTools);
    EXPECT_EQ(saved.last().at(0).value<PaletteFileFormat>(), PaletteFileText);
    EXPECT_EQ(myPaletteSaveFileFormat(), 1);

    // Which filter was chosen is compared without regard to letter case.
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &, const QString &filters, QString *selected) {
            *selected = filters.split(QStringLiteral(";;")).at(1).toUpper();
            return (tmp + QStringLiteral("mine.txt"));
        },
        nullptr);
    setMyPaletteSaveFileFormat(0);
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 3);
    EXPECT_EQ(saved.last().at(0).value<PaletteFileFormat>(), PaletteFileText);

    // Another tool's format is for this save only: neither it nor the path is kept.
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &, const QString &filters, QString *selected) {
            *selected = filters.split(QStringLiteral(";;")).filter(QStringLiteral("*.ase")).value(0);
            return (tmp + QStringLiteral("for-adobe.ase"));
        },
        [&](QWidget *, const QString &, const QString &start, const QString &filters) {
            openFilters = filters;
            openStart = start;
            return (tmp + QStringLiteral("theirs.palette"));
        });
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 4);
    EXPECT_EQ(saved.last().at(0).value<PaletteFileFormat>(), PaletteFileAse);
    EXPECT_EQ(saved.last().at(1).toString(), (tmp + QStringLiteral("for-adobe.ase")));
    EXPECT_EQ(myPaletteSaveFileFormat(), 1);
    EXPECT_EQ(myPaletteLastSavePath(), (tmp + QStringLiteral("mine.txt")));

    ASSERT_TRUE(savePaletteFile(widget->myPaletteWidget()->model(), PaletteFileXml, tmp + QStringLiteral("theirs.palette")));
    widget->headerButton(MainWidget::LoadButtonId)->click();
    ASSERT_EQ(loaded.count(), 1);
    EXPECT_EQ(loaded.first().at(1).toString(), (tmp + QStringLiteral("theirs.palette")));
    EXPECT_EQ(myPaletteSaveFileFormat(), 0);
    // The open dialog shows the palette files first, then every kind it reads together
    // and each alone; it proposes the last palette file itself.
    const QStringList offered = openFilters.split(QStringLiteral(";;"));
    ASSERT_EQ(offered.size(), 5);
    EXPECT_TRUE(offered.first().endsWith(QStringLiteral("(*.palette)")));
    for (const char *pattern : {"*.palette", "*.xml", "*.gpl", "*.ase", "*.cxf", "*.jpg", "*.png"})
        EXPECT_TRUE(offered.at(1).contains(QLatin1String(pattern))) << pattern;
    EXPECT_TRUE(offered.at(2).endsWith(QStringLiteral("(*.gpl *.ase *.cxf)")));
    EXPECT_TRUE(offered.at(3).contains(QStringLiteral("*.jpg")) && offered.at(3).contains(QStringLiteral("*.png")));
    EXPECT_TRUE(offered.last().endsWith(QStringLiteral("(*)"))); // files recognised by what they hold
    EXPECT_EQ(openStart, tmp + QStringLiteral("mine.txt"));

    // An export named without a suffix gets its format's; the picker's own formats are
    // saved under the name the user gave.
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &, const QString &filters, QString *selected) {
            *selected = filters.split(QStringLiteral(";;")).filter(pick).value(0);
            return (tmp + QStringLiteral("living-room"));
        },
        nullptr);
    pick = QStringLiteral("*.gpl");
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 5);
    EXPECT_EQ(saved.last().at(1).toString(), (tmp + QStringLiteral("living-room.gpl")));
    pick = QStringLiteral("*.palette");
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 6);
    EXPECT_EQ(saved.last().at(1).toString(), (tmp + QStringLiteral("living-room")));

    // A colour board asks for its options first; cancelled there, nothing is saved.
    int asked = 0;
    bool answer = false;
    MainWidget::setBoardOptionsDialog([&](QWidget *, bool &vision, bool &) {
        ++asked;
        vision = true;
        return answer;
    });
    pick = QStringLiteral("*.pdf");
    widget->saveButtonClicked();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(saved.count(), 6);
    answer = true;
    widget->saveButtonClicked();
    ASSERT_EQ(saved.count(), 7);
    EXPECT_EQ(saved.last().at(0).value<PaletteFileFormat>(), PaletteFileBoard);

    // After a photo was loaded, a save proposes a palette beside it, never the photo.
    QTemporaryDir photos;
    const QString photo = photos.filePath(QStringLiteral("room.jpg"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(photo));
    QString proposed;
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &start, const QString &, QString *) {
            proposed = start;
            return QString();
        },
        [&](QWidget *, const QString &, const QString &, const QString &) { return photo; });
    widget->headerButton(MainWidget::LoadButtonId)->click();
    widget->myPaletteWidget()->finishReadingPicture();
    widget->saveButtonClicked();
    EXPECT_EQ(proposed, photos.filePath(QStringLiteral("room.palette")));

    // A save or a load that fails says why in the palette's bar, and the next dialog
    // opens where the last one that worked left it.
    QLabel *bar = widget->myPaletteWidget()->statusLabel();
    MainWidget::setFileDialogs(
        [&](QWidget *, const QString &, const QString &, const QString &filters, QString *selected) {
            *selected = filters.split(QStringLiteral(";;")).first();
            return tmp + QStringLiteral("gone/mine.palette");
        },
        [&](QWidget *, const QString &, const QString &, const QString &) { return tmp + QStringLiteral("missing.palette"); });
    widget->saveButtonClicked();
    EXPECT_EQ(bar->toolTip(), QStringLiteral("mine.palette: not saved: no such folder"));
    EXPECT_EQ(myPaletteLastSavePath(), photo);
    widget->headerButton(MainWidget::LoadButtonId)->click();
    EXPECT_EQ(bar->toolTip(), QStringLiteral("missing.palette: no such file"));
    EXPECT_EQ(myPaletteLastSavePath(), photo);
    MainWidget::setFileDialogs(
        [](QWidget *, const QString &, const QString &, const QString &, QString *) { return QString(); },
        [](QWidget *, const QString &, const QString &, const QString &) { return QString(); });
}

// Every place the Tab key stops answers keys: the collection name, the mood filter, the
// tab bar and the scheme page; the widget itself takes the focus but hands the keyboard's
// on to its panels, forward and back.
TEST_F(MainWidgetTest, EveryTabStopAnswersKeys)
{
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    EXPECT_EQ(widget->focusPolicy(), Qt::StrongFocus);
    widget->setFocus(Qt::TabFocusReason);
    QWidget *forward = QApplication::focusWidget();
    ASSERT_NE(forward, nullptr);
    EXPECT_NE(forward, widget);
    EXPECT_TRUE(widget->isAncestorOf(forward));
    widget->setFocus(Qt::BacktabFocusReason);
    EXPECT_NE(QApplication::focusWidget(), widget);
    EXPECT_NE(QApplication::focusWidget(), forward);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(400, 590));
    EXPECT_EQ(QApplication::focusWidget(), widget);

    CollectionSelectWidget *collections = widget->collectionSelectWidget();
    QTest::keyClick(collections, Qt::Key_Down, Qt::AltModifier);
    EXPECT_TRUE(collections->collectionList()->isVisible());

    MoodSelectWidget *moods = widget->moodSelectWidget();
    ASSERT_EQ(moodFilter(A), MoodAll);
    QTest::keyClick(moods, Qt::Key_Right);
    EXPECT_EQ(moodFilter(A), MoodFresh);
    QTest::keyClick(moods, Qt::Key_Left);
    EXPECT_EQ(moodFilter(A), MoodAll);
    const bool exterior = exteriorColors(A);
    QTest::keyClick(moods, Qt::Key_Space);
    EXPECT_NE(exteriorColors(A), exterior);

    TabBarWidget *tabs = widget->tabBarWidget();
    ASSERT_EQ(tabPageIndex(A), PageOfProducts);
    QTest::keyClick(tabs, Qt::Key_Right);
    EXPECT_EQ(tabPageIndex(A), PageOfColorSchemes);
    QTest::keyClick(tabs, Qt::Key_Space); // round again
    EXPECT_EQ(tabPageIndex(A), PageOfProducts);
    QTest::keyClick(tabs, Qt::Key_Left);
    EXPECT_EQ(tabPageIndex(A), PageOfProducts);
    QTest::keyClick(tabs, Qt::Key_Space);
    ASSERT_EQ(tabPageIndex(A), PageOfColorSchemes);

    ASSERT_EQ(schemeKind(A), SchemeDynamic);
    QTest::keyClick(widget->colorSchemerWidget(), Qt::Key_Right);
    EXPECT_EQ(schemeKind(A), SchemeHarmonic);
    QTest::keyClick(widget->colorSchemerWidget(), Qt::Key_Left);
    EXPECT_EQ(schemeKind(A), SchemeDynamic);
}

TEST_F(MainWidgetTest, CapsureFileInAWatchedFolderIsReported)
{
    QTemporaryDir capsure;
    auto &w = deck.deck().writer();
    w.addSetting(deck.idA(), QStringLiteral("capsure.enabled"), 1);
    w.addSetting(deck.idA(), QStringLiteral("capsure.folder.to.watch.windows"), capsure.path());
    w.addSetting(deck.idA(), QStringLiteral("capsure.filename.to.watch"), QStringLiteral("export.cxf"));
    ASSERT_TRUE(w.ok());
    CollectionSettings::useCollection(B);
    main();
    const QString expected = capsure.path() + QStringLiteral("/export.cxf");
    EXPECT_EQ(widget->capsureFilePath(), expected);
    EXPECT_TRUE(widget->watchedCapsurePaths().contains(capsure.path()));

    QSignalSpy changed(widget, &MainWidget::onCapsureFileChanged);
    QFile file(expected);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<cxf/>");
    file.close();
    ASSERT_TRUE(changed.wait(5000));
    EXPECT_EQ(changed.first().first().toString(), expected);
    EXPECT_TRUE(widget->watchedCapsurePaths().contains(expected));
}

TEST_F(MainWidgetTest, FullViewSlidesInAndOut)
{
    main().zoomMyPaletteClicked();
    EXPECT_TRUE(widget->myPaletteFullWidget()->isVisibleTo(widget));
    EXPECT_EQ(widget->fullViewAnimation()->endValue().toPoint(), QPoint(0, 0));
    widget->fullViewAnimation()->setCurrentTime(350);
    EXPECT_EQ(widget->myPaletteFullWidget()->pos(), QPoint(0, 0));
    widget->unzoomMyPaletteClicked();
    EXPECT_EQ(widget->fullViewAnimation()->endValue().toPoint(), QPoint(-800, 0));
    QSignalSpy finished(widget->fullViewAnimation(), &QPropertyAnimation::finished);
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_FALSE(widget->myPaletteFullWidget()->isVisibleTo(widget));

    // Zoomed again while sliding out: the view that slides in stays.
    widget->zoomMyPaletteClicked();
    widget->fullViewAnimation()->setCurrentTime(350);
    widget->unzoomMyPaletteClicked();
    widget->zoomMyPaletteClicked();
    ASSERT_TRUE(finished.wait(2000));
    EXPECT_TRUE(widget->myPaletteFullWidget()->isVisibleTo(widget));
    EXPECT_EQ(widget->myPaletteFullWidget()->pos(), QPoint(0, 0));
}

TEST_F(MainWidgetTest, EditBoxFocusIsReported)
{
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    QSignalSpy got(widget, &MainWidget::anEditBoxGotFocus);
    QSignalSpy lost(widget, &MainWidget::anEditBoxLostFocus);
    widget->searchWidget()->lineEdit()->setFocus();
    EXPECT_EQ(got.count(), 1);
    widget->tabBarWidget()->setFocus();
    EXPECT_EQ(lost.count(), 1);
    widget->myPaletteWidget()->descriptionEditor()->setFocus();
    EXPECT_EQ(got.count(), 2);
}

// A bare colour dropped on the deck finds the nearest chip of the collection, but only
// within the collection's first colour-difference interval.
TEST_F(MainWidgetTest, DroppedColoursSnapToTheNearestChipWithinTheThreshold)
{
    auto &w = deck.deck().writer();
    storeTrueLab();
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    CardRollerWidget *roller = widget->cardRollerWidget();
    roller->grab();
    const QPoint inside = roller->currentLayout().cards[1].center();
    QSignalSpy pages(roller, &CardRollerWidget::pageChangedInteractively);

    auto dropColour = [&](const QColor &colour) {
        dropChipRecord(roller, inside, DB::writeColourRecord(DB::FromProspectGroups, colour, QString(), QString()));
    };
    // Close to chip A-5-2 (200, 40, 100), but not exactly: the default threshold (0.05) refuses.
    dropColour(QColor(201, 41, 100));
    EXPECT_EQ(pages.count(), 0);
    w.addSetting(deck.idA(), QStringLiteral("cie2000.delta.intervals"), QStringLiteral("3.0"));
    CollectionSettings::useCollection(B);
    dropColour(QColor(201, 41, 100));
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.first().first().toInt(), 5);
    // Far from every chip: refused even so.
    dropColour(QColor(10, 200, 20));
    EXPECT_EQ(pages.count(), 1);
}

// A host may hold several picker windows: each panel works with its own main widget,
// also once a newer window is gone.
TEST_F(MainWidgetTest, EachPickerWindowKeepsToItsOwnPanels)
{
    storeTrueLab();
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("cie2000.delta.intervals"), QStringLiteral("3.0"));
    main().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    auto *newer = new MainWidget(nullptr);
    EXPECT_EQ(MainWidget::current(), newer);
    EXPECT_EQ(MainWidget::of(widget->cardRollerWidget()), widget);
    EXPECT_EQ(MainWidget::of(newer->myPaletteWidget()), newer);
    QAbstractButton *olderSave = widget->headerButton(MainWidget::SaveButtonId);
    QAbstractButton *newerSave = newer->headerButton(MainWidget::SaveButtonId);
    ASSERT_FALSE(olderSave->isEnabled());
    ASSERT_FALSE(newerSave->isEnabled());

    // A chip dropped into the older window's palette enables that window's Save button.
    DB::ColorEntry chip;
    ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(2, 1), chip), DB::StatusOk);
    MyPaletteWidget *palette = widget->myPaletteWidget();
    dropChipRecord(palette, palette->cellGeometry(0, 0).center(), DB::writeChipRecord(DB::FromCardRoller, A, chip));
    ASSERT_EQ(myPaletteEntry(0, 0).rowId, deck.rowIdA(2, 1));
    EXPECT_TRUE(olderSave->isEnabled());
    EXPECT_FALSE(newerSave->isEnabled());

    // The newer window goes first: the older one still resolves colours by nearness.
    delete newer;
    EXPECT_EQ(MainWidget::current(), nullptr);
    CardRollerWidget *roller = widget->cardRollerWidget();
    roller->grab();
    QSignalSpy pages(roller, &CardRollerWidget::pageChangedInteractively);
    dropChipRecord(roller, roller->currentLayout().cards[1].center(),
               DB::writeColourRecord(DB::FromProspectGroups, QColor(201, 41, 100), QString(), QString()));
    ASSERT_EQ(pages.count(), 1);
    EXPECT_EQ(pages.first().first().toInt(), 5);
}

TEST_F(MainWidgetTest, CardsWithoutChipsPaintNoChips)
{
    deck.deck().writer().exec(QStringLiteral("DELETE FROM \"ROW\" WHERE PAGE_ID = ?"), {deck.pageIdA(1)});
    setPageIndex(A, 1);
    main();
    CardRollerWidget *roller = widget->cardRollerWidget();
    roller->grab();
    EXPECT_TRUE(roller->paintedChips(1).isEmpty());
    EXPECT_EQ(roller->paintedChips(0).size(), 3);
}

class TabBarTest : public MainWidgetTest
{
protected:
    void SetUp() override
    {
        MainWidgetTest::SetUp();
        // A dark bar, as every theme has.
        QImage bar(30, 30, QImage::Format_RGB32);
        bar.fill(QColor(60, 64, 70));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        bar.save(&buffer, "PNG");
        deck.deck().writer().addThemeItem(0, QStringLiteral("image.widget.bar.background"), png);
        ASSERT_TRUE(deck.deck().writer().ok());
    }
};

TEST_F(TabBarTest, VisiblePagesChordsAndCaptionColours)
{
    TabBarWidget bar;
    bar.resize(560, 30);
    EXPECT_EQ(bar.visiblePageList(), (QVector<TabBarPage>{PageOfProducts, PageOfColorSchemes}));
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy selected(&bar, &TabBarWidget::tabPageSelected);
    setTabPageIndex(A, PageOfProducts);
    QTest::keyClick(&bar, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(&bar, Qt::Key_2, Qt::ControlModifier);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.first().first().value<TabBarPage>(), PageOfColorSchemes);
    QTest::keyClick(&bar, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(&bar, Qt::Key_3, Qt::ControlModifier);
    QTest::keyClick(&bar, Qt::Key_T, Qt::ControlModifier);
    QTest::keyClick(&bar, Qt::Key_1, Qt::ControlModifier); // already the stored page
    EXPECT_EQ(selected.count(), 1);

    const QImage image = bar.grab().toImage();
    const QRect active = bar.tabRect(PageOfProducts);
    const QRect inactive = bar.tabRect(PageOfColorSchemes);
    ASSERT_FALSE(active.isEmpty());
    EXPECT_EQ(inactive.left(), active.right() + 1);
    auto darkest = [&image](const QRect &rect) {
        int value = 255;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x < rect.right(); ++x)
                value = std::min(value, qGray(image.pixel(x, y)));
        return value;
    };
    auto lightest = [&image](const QRect &rect) {
        int value = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x < rect.right(); ++x)
                value = std::max(value, qGray(image.pixel(x, y)));
        return value;
    };
    EXPECT_LE(darkest(active), 60);       // dark caption on the white-tinted tab
    EXPECT_GE(lightest(active), 180);
    EXPECT_NEAR(lightest(inactive), 128, 6); // mid-grey caption on the bar
    // The caption text of the active tab is within the tab: the mouse selects it.
    QTest::mouseClick(&bar, Qt::LeftButton, Qt::NoModifier, inactive.center());
    EXPECT_EQ(selected.count(), 2);
}

TEST_F(TabBarTest, OfferedPagesFollowTheAvailableSet)
{
    EXPECT_EQ(TabBarWidget::pagesOffered({PageOfProducts}, PageOfColorSchemes), QVector<TabBarPage>{});
    EXPECT_EQ(TabBarWidget::pagesOffered({}, PageOfColorSchemes | PageOfTextures),
              (QVector<TabBarPage>{PageOfColorSchemes, PageOfTextures}));
    EXPECT_EQ(TabBarWidget::pagesOffered({0}, 0), QVector<TabBarPage>{NoTabBarPage});
}

TEST_F(MainWidgetTest, AboutBoxTexts)
{
    AboutBox plain(nullptr, QString());
    EXPECT_EQ(plain.versionText(), QStringLiteral("Version 4.0.0 (64bit)"));
    EXPECT_EQ(plain.versionLabel()->text(), plain.versionText());
    EXPECT_EQ(plain.titleLabel()->text(), QStringLiteral("Orva Tavel Colour Picker"));
    EXPECT_EQ(plain.size(), QSize(680, 480));
    EXPECT_TRUE(plain.isModal());
    AboutBox product(nullptr, QStringLiteral("2026.1"));
    EXPECT_EQ(product.versionText(), QStringLiteral("2026.1 (engine 4.0.0) (64bit)"));
    EXPECT_FALSE(applicationWindowIcon().availableSizes().isEmpty());
}

// The parts stand where the layout table puts them, for every size the box takes.
TEST_F(MainWidgetTest, AboutBoxLayout)
{
    AboutBox box(nullptr, QString());
    auto check = [&box](const char *when) {
        SCOPED_TRACE(when);
        const int w = box.width();
        const int h = box.height();
        const QLabel *logo = nullptr;
        for (QLabel *label : box.findChildren<QLabel *>()) {
            if (!label->pixmap().isNull())
                logo = label;
        }
        ASSERT_NE(logo, nullptr);
        EXPECT_EQ(logo->pos(), QPoint(16, 16));
        const int left = 16 + logo->width() + 16;
        EXPECT_EQ(box.titleLabel()->pos(), QPoint(left, 16));
        EXPECT_EQ(box.noticeLabel()->pos(), QPoint(left, box.titleLabel()->geometry().bottom() + 5));
        EXPECT_EQ(box.versionLabel()->pos(), QPoint(left, box.noticeLabel()->geometry().bottom() + 5));
        const QList<QPushButton *> buttons = box.findChildren<QPushButton *>();
        ASSERT_EQ(buttons.size(), 2);
        const QPushButton *qtLicense = buttons.at(0)->isDefault() ? buttons.at(1) : buttons.at(0);
        const QPushButton *close = buttons.at(0)->isDefault() ? buttons.at(0) : buttons.at(1);
        const QTextEdit *licence = box.findChild<QTextEdit *>();
        ASSERT_NE(licence, nullptr);
        EXPECT_EQ(licence->geometry(), QRect(QPoint(left, box.versionLabel()->geometry().bottom() + 5),
                                             QPoint(w - 17, h - close->height() - 33)));
        EXPECT_EQ(qtLicense->pos(), QPoint(left, h - qtLicense->height() - 16));
        EXPECT_EQ(close->pos(), QPoint(w - close->width() - 16, qtLicense->y()));
    };
    check("at 680 x 480");
    box.setFixedSize(720, 520);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    check("after a resize");
}

TEST_F(MainWidgetTest, DisabledTaskButtonLooksFlat)
{
    TaskButton button;
    button.setText(QStringLiteral("Copy"));
    button.resize(120, 23);
    button.setEnabled(false);
    const QImage image = button.grab().toImage();
    // Flat fill: the darkened bottom colour at the top and the bottom alike.
    const QColor flat = QColor(204, 204, 204).darker(120);
    EXPECT_EQ(QColor(image.pixel(6, 4)), flat);
    EXPECT_EQ(QColor(image.pixel(6, 18)), flat);
    // No mouse event reaches a disabled button: the cursor follows the state itself.
    EXPECT_EQ(button.cursor().shape(), Qt::ForbiddenCursor);
    button.setEnabled(true);
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);
}

// A caption far longer than the button (a collection file holding megabytes of text):
// drawn cut to the button with an ellipsis, from its start, as a short caption that says
// the same would be.
TEST_F(MainWidgetTest, OverlongCaptionsAreElidedToTheButton)
{
    QString huge = QStringLiteral("Save palette ");
    huge += QString(10 * 1024 * 1024, QLatin1Char('W'));
    TaskButton button;
    button.setText(huge);
    button.resize(140, 23);
    const QString fitted = button.fittedCaption(button.width());
    EXPECT_TRUE(fitted.startsWith(QStringLiteral("Save")));
    EXPECT_TRUE(fitted.endsWith(QChar(0x2026)));
    EXPECT_LE(QFontMetrics(button.font()).horizontalAdvance(fitted), button.width());

    TaskButton same;
    same.setText(fitted);
    same.resize(button.size());
    EXPECT_EQ(button.grab().toImage(), same.grab().toImage());

    // Short captions stay whole.
    button.setText(QStringLiteral("Load"));
    EXPECT_EQ(button.fittedCaption(button.width()), QStringLiteral("Load"));
    // Text that has no width at all still ends in an ellipsis once cut.
    EXPECT_TRUE(elideCaption(QString(100000, QChar(0x200B)), QFontMetrics(button.font()), 50).endsWith(QChar(0x2026)));
}

} // namespace

