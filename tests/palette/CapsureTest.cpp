// The Capsure import: measurement names from CxF3 files, matches in priority order, the
// match dialog, the selector's button on a real watched folder, and hostile files.
#include "StandardDeck.h"
#include "TestEnvironment.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/CapsureImport.h"
#include "engine/widgets/CapsureSelectDialog.h"
#include "engine/colour/CxfFile.h"
#include "engine/colour/UntrustedXml.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/TaskButton.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/DropDownButton.h"
#include "engine/widgets/ImageButton.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace Vantor;
using Palettra::Test::StandardDeck;

namespace {

QByteArray measurement(const QStringList &names, const char *ns = CxfCoreNamespace)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cc:CxF xmlns:cc=\"" + QByteArray(ns)
        + "\"><cc:Resources><cc:ObjectCollection>";
    for (const QString &name : names)
        xml += "<cc:Object ObjectType=\"Standard\" Name=\"" + name.toUtf8() + "\"><cc:ColorValues/></cc:Object>";
    return xml + "</cc:ObjectCollection></cc:Resources></cc:CxF>";
}

TEST(CxfDocuments, ObjectNamesInDocumentOrder)
{
    QByteArray xml = "<?xml version=\"1.0\"?><x:Root xmlns:x=\"http://colorexchangeformat.com/CxF3-core\">"
                     "<x:Object Name=\"First\"/><Other><x:Object Name=\"Deeper\"/></Other><x:Object Name=\"\"/>"
                     "<x:Object/><y:Object xmlns:y=\"urn:other\" Name=\"Foreign\"/></x:Root>";
    XmlDocument document = parseUntrustedXml(xml);
    ASSERT_TRUE(document);
    // Any prefix, any depth; an empty name or another namespace is not a name.
    EXPECT_EQ(cxfObjectNames(document.get()), (QStringList{QStringLiteral("First"), QStringLiteral("Deeper")}));

    document = parseUntrustedXml(measurement({QStringLiteral("OT 1")}, "http://example.invalid/not-cxf"));
    ASSERT_TRUE(document);
    EXPECT_TRUE(cxfObjectNames(document.get()).isEmpty());
}

TEST(CxfDocuments, WrittenDocumentsReadBack)
{
    CxfObject measured;
    measured.name = QStringLiteral("Tide & \"Pool\" <1>");
    measured.hasLab = true;
    measured.lab = {52.25, -10.5, 3.125};
    measured.hasRgb = true;
    measured.rgb = QColor(110, 156, 159);
    CxfObject named;
    named.name = QStringLiteral("Name only");
    const QByteArray bytes = cxfDocument(QStringLiteral("Test"), {measured, named});
    const XmlDocument document = parseUntrustedXml(bytes);
    ASSERT_TRUE(document);
    EXPECT_EQ(cxfObjectNames(document.get()), (QStringList{measured.name, named.name}));
    const QVector<CxfObject> objects = cxfObjects(document.get());
    ASSERT_EQ(objects.size(), 2);
    EXPECT_TRUE(objects.at(0).hasLab);
    EXPECT_DOUBLE_EQ(objects.at(0).lab.a, -10.5);
    EXPECT_EQ(objects.at(0).rgb, measured.rgb);
    EXPECT_FALSE(objects.at(1).hasLab || objects.at(1).hasRgb);
}

// Three Capsure collections in one file: A (priority 7), B (3) and D (5), each with a
// colour named "Harbour Blue"; C is not enabled.
class CapsureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto &w = deck.deck().writer();
        idD = w.addCollection(D, QStringLiteral("THIRD"), QStringLiteral("Third"), 4);
        const qint64 page = w.addPage(idD, 1, 1, QStringLiteral("Card D"));
        Palettra::Deck::RowSpec row;
        row.code = QStringLiteral("D-1-1");
        row.name = QStringLiteral("Harbour Blue");
        row.names = {QStringLiteral("Harbour Blue")};
        row.rgb = QColor(47, 75, 92);
        rowD = w.addRow(idD, page, row);
        const std::pair<qint64, int> priorities[] = {{deck.idA(), 7}, {deck.idB(), 3}, {idD, 5}};
        for (const auto &[collection, priority] : priorities) {
            w.addSetting(collection, QStringLiteral("capsure.enabled"), 1);
            w.addSetting(collection, QStringLiteral("capsure.priority"), priority);
            w.addSettingList(collection, QStringLiteral("row.name.search.order"), {QStringLiteral("0")});
            w.addSetting(collection, QStringLiteral("card.type"), QStringLiteral("normal"));
        }
        w.addText(deck.idA(), QStringLiteral("capsure.dialog.todo"), QStringLiteral("Choose"));
        w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = 'Harbour Blue' WHERE ID = ?"), {deck.rowIdA(2, 1)});
        w.exec(QStringLiteral("UPDATE \"ROW\" SET NAME0 = 'Harbour Blue' WHERE CODE = 'B-1-2'"));
        ASSERT_TRUE(w.ok()) << w.lastError().toStdString();
        ASSERT_TRUE(files.isValid());
    }

    void start()
    {
        ASSERT_TRUE(deck.deck().writer().ok()) << deck.deck().writer().lastError().toStdString();
        ASSERT_EQ(startEngine(modulePathOf(engineModuleHandle()), deck.baseFolder()), StartupOk);
    }

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = files.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    static QStringList codes(const QVector<DB::ColorEntry> &entries)
    {
        QStringList list;
        for (const DB::ColorEntry &entry : entries)
            list << entry.code;
        return list;
    }

    StandardDeck deck;
    QTemporaryDir files;
    const QUuid A = StandardDeck::A;
    const QUuid B = StandardDeck::B;
    const QUuid D{QStringLiteral("{dddddddd-0000-4000-8000-00000000000d}")};
    qint64 idD = 0;
    qint64 rowD = 0;
};

TEST_F(CapsureTest, MatchesGroupedByPriorityEachOnce)
{
    start();
    // One name in three collections: by priority, whatever the database's order.
    EXPECT_EQ(codes(capsureMatches({QStringLiteral("Harbour Blue")})),
              (QStringList{QStringLiteral("B-1-2"), QStringLiteral("D-1-1"), QStringLiteral("A-2-1")}));
    // Two names of the same colour, and a code in small letters for one stored in capitals.
    EXPECT_EQ(codes(capsureMatches({QStringLiteral("a-2-1"), QStringLiteral("Harbour Blue"), QStringLiteral("A-2-1")})),
              (QStringList{QStringLiteral("B-1-2"), QStringLiteral("D-1-1"), QStringLiteral("A-2-1")}));
    // Colours of a collection that takes no part are left out; nothing for nothing.
    EXPECT_TRUE(capsureMatches({QStringLiteral("C-1-1")}).isEmpty());
    EXPECT_TRUE(capsureMatches({QStringLiteral("nowhere")}).isEmpty());
    EXPECT_TRUE(capsureMatches({}).isEmpty());
}

TEST_F(CapsureTest, HostileMeasurementFilesGiveNoNames)
{
    start();
    EXPECT_EQ(capsureMeasurementNames(write(QStringLiteral("good.cxf"), measurement({QStringLiteral("A-2-1")}))),
              QStringList{QStringLiteral("A-2-1")});
    EXPECT_TRUE(capsureMeasurementNames(write(QStringLiteral("text.cxf"), "this is no XML <<<")).isEmpty());
    EXPECT_TRUE(capsureMeasurementNames(write(QStringLiteral("empty.cxf"), QByteArray())).isEmpty());
    const QByteArray entities =
        "<?xml version=\"1.0\"?><!DOCTYPE cc:CxF [<!ENTITY a \"A-2-1\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>"
        "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Object Name=\"&b;\"/></cc:CxF>";
    EXPECT_TRUE(capsureMeasurementNames(write(QStringLiteral("entities.cxf"), entities)).isEmpty());
    const QByteArray external = "<?xml version=\"1.0\"?><!DOCTYPE cc:CxF SYSTEM \"http://example.invalid/cxf.dtd\">"
                                "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Object Name=\"A-2-1\"/></cc:CxF>";
    EXPECT_TRUE(capsureMeasurementNames(write(QStringLiteral("external.cxf"), external)).isEmpty());
    QByteArray huge = measurement({QStringLiteral("A-2-1")});
    huge.insert(huge.indexOf("<cc:Resources>"), QByteArray(MaximumCxfFileSize, ' '));
    EXPECT_TRUE(capsureMeasurementNames(write(QStringLiteral("huge.cxf"), huge)).isEmpty());
    EXPECT_TRUE(capsureMeasurementNames(files.filePath(QStringLiteral("missing.cxf"))).isEmpty());
    QDir(files.path()).mkdir(QStringLiteral("folder.cxf"));
    EXPECT_TRUE(capsureMeasurementNames(files.filePath(QStringLiteral("folder.cxf"))).isEmpty());
    EXPECT_FALSE(capsureFileAvailable(files.filePath(QStringLiteral("folder.cxf"))));
}

// A measurement the user may only read (a read-only share, a file of the device
// software's account) still counts. Checked by a child process without root's
// privileges, which would ignore the file's mode.
TEST_F(CapsureTest, ReadOnlyMeasurementIsAvailable)
{
    start();
    const QString path = write(QStringLiteral("read-only.cxf"), measurement({QStringLiteral("A-2-1")}));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QFile::setPermissions(files.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const pid_t child = fork();
    if (child == 0) {
        if (getuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        _exit(capsureFileAvailable(path) && capsureMeasurementNames(path) == QStringList{QStringLiteral("A-2-1")} ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(CapsureTest, DialogListsCodesAndShowsTheChosenColour)
{
    start();
    DB::ColorEntry a, b, d;
    ASSERT_EQ(DB::loadColorById(A, deck.rowIdA(2, 1), a), DB::StatusOk);
    ASSERT_EQ(DB::loadColorById(D, rowD, d), DB::StatusOk);
    ASSERT_EQ(DB::findColorByCode(QStringLiteral("B-1-2"), b), DB::StatusOk);

    // One collection: bare codes; the same colour twice is one item.
    CapsureSelectDialog single({a, a}, nullptr);
    EXPECT_EQ(single.size(), QSize(320, 200));
    ASSERT_EQ(single.matchList()->count(), 1);
    EXPECT_EQ(single.matchList()->itemText(0), QStringLiteral("A-2-1"));
    EXPECT_TRUE(single.okButton()->isEnabled());
    EXPECT_EQ(single.chosenColour().id, a.id);
    EXPECT_EQ(single.swatchWidget()->styleSheet(), QStringLiteral("background-color: rgba(80, 20, 100, 255);"));
    EXPECT_EQ(single.instructionLabel()->text(), QStringLiteral("Choose"));

    // Several collections: each code with its collection's name.
    CapsureSelectDialog several({b, d, a}, nullptr);
    ASSERT_EQ(several.matchList()->count(), 3);
    EXPECT_EQ(several.matchList()->itemText(0), QStringLiteral("B-1-2 (Exterior)"));
    EXPECT_EQ(several.matchList()->itemText(1), QStringLiteral("D-1-1 (Third)"));
    EXPECT_EQ(several.matchList()->itemText(2), QStringLiteral("A-2-1 (Interior)"));
    several.matchList()->setCurrentIndex(1);
    EXPECT_EQ(several.chosenColour().id, rowD);
    EXPECT_EQ(several.swatchWidget()->styleSheet(), QStringLiteral("background-color: rgba(47, 75, 92, 255);"));
    // The layout's formulas.
    const int listHeight = several.matchList()->sizeHint().height();
    EXPECT_EQ(several.matchList()->geometry(), QRect(QPoint(48, 20), QPoint(320 - 49, listHeight + 21)));
    const int labelTop = 200 - 1 - QFontMetrics(several.font()).lineSpacing() - 7;
    EXPECT_EQ(several.instructionLabel()->geometry(), QRect(QPoint(-1, labelTop), QPoint(320, 200)));
    EXPECT_EQ(several.okButton()->geometry(), QRect((320 - 80) / 2, labelTop - 34, 80, 22));
    EXPECT_EQ(several.swatchWidget()->geometry().top(), several.matchList()->geometry().bottom() + 12);
    EXPECT_EQ(several.swatchWidget()->geometry().bottom(), several.okButton()->y() - 12);

    // Nothing to choose: OK stays off and the swatch is see-through.
    CapsureSelectDialog none({}, nullptr);
    EXPECT_FALSE(none.okButton()->isEnabled());
    EXPECT_EQ(none.swatchWidget()->styleSheet(), QStringLiteral("background-color: rgba(0, 0, 0, 0);"));

    // Escape is no choice.
    QTimer::singleShot(0, &several, [&several] { QTest::keyClick(&several, Qt::Key_Escape); });
    EXPECT_EQ(several.exec(), int(QDialog::Rejected));
}

// The picker on a real watched folder: the button follows the file, and its choice
// jumps the deck, across collections.
TEST_F(CapsureTest, WatchedFileShowsTheButtonAndItsChoiceJumpsTheDeck)
{
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.folder.to.watch.windows"), files.path());
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.filename.to.watch"), QStringLiteral("capsure.cxf"));
    start();
    MainWidget main(nullptr);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    CollectionSelectWidget *selector = main.collectionSelectWidget();
    ImageButton *button = selector->capsureButton();
    EXPECT_TRUE(button->isHidden());
    const int dropDownAlone = selector->dropDownButton()->geometry().right();

    // The file appears: the button shows and pulses, and the layout makes room for it.
    write(QStringLiteral("capsure.cxf"), measurement({QStringLiteral("b-2-1")}));
    ASSERT_TRUE(QTest::qWaitFor([button] { return !button->isHidden(); }, 5000));
    EXPECT_TRUE(button->attentionRunning());
    // Its left edge at R − its width, R = W − 1 − m, once the selector has laid it out;
    // the drop-down moves left of it.
    const int left = selector->width() - 1 - (selector->height() - 20) / 2 - 20;
    EXPECT_TRUE(QTest::qWaitFor([button, left] { return button->geometry().left() == left; }, 5000));
    EXPECT_EQ(button->size(), QSize(20, 20));
    EXPECT_EQ(button->geometry().right(), dropDownAlone);
    EXPECT_EQ(selector->dropDownButton()->geometry().right(), button->geometry().left() - 3); // 2 pixels between

    // A click offers B-2-1 of collection B; OK makes it the current colour there.
    // The dialog is looked for until it shows (its loop runs the poll), then answered.
    bool dialogSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&poll, &dialogSeen] {
        auto *dialog = qobject_cast<CapsureSelectDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        dialogSeen = true;
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    });
    poll.start(5);
    QTest::mouseClick(button, Qt::LeftButton);
    poll.stop();
    EXPECT_TRUE(dialogSeen);
    EXPECT_EQ(lastUsedCollection(), B);
    EXPECT_EQ(pageIndex(B), 2);
    EXPECT_EQ(rowIndex(B), 1);

    // Collection B does not watch the folder: the button goes.
    EXPECT_TRUE(button->isHidden());
    main.collectionChangedInteractively(A);
    ASSERT_TRUE(QTest::qWaitFor([button] { return !button->isHidden(); }, 5000));
    // The file removed: the button goes too.
    QFile::remove(files.filePath(QStringLiteral("capsure.cxf")));
    EXPECT_TRUE(QTest::qWaitFor([button] { return button->isHidden(); }, 5000));
}

TEST_F(CapsureTest, DisabledCapsureNeverShowsTheButton)
{
    deck.deck().writer().exec(QStringLiteral("UPDATE SETTING SET VALUE = '0' WHERE NAME = 'capsure.enabled' AND COLLECTION_ID = ?"),
                              {deck.idA()});
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.folder.to.watch.windows"), files.path());
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.filename.to.watch"), QStringLiteral("capsure.cxf"));
    write(QStringLiteral("capsure.cxf"), measurement({QStringLiteral("A-2-1")}));
    start();
    MainWidget main(nullptr);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    write(QStringLiteral("capsure.cxf"), measurement({QStringLiteral("A-2-1"), QStringLiteral("A-1-1")}));
    // Nothing watches the folder, so nothing can hear the change.
    EXPECT_TRUE(main.watchedCapsurePaths().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_TRUE(main.collectionSelectWidget()->capsureButton()->isHidden());
}

// Hostile or useless measurement files open no dialog and change nothing.
TEST_F(CapsureTest, HostileFilesOpenNoDialog)
{
    start();
    CollectionSelectWidget selector;
    QSignalSpy chosen(&selector, &CollectionSelectWidget::capsureItemSelectedInteractively);
    const QList<QByteArray> hostile{
        "not XML at all",
        "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY e \"A-2-1\">]><cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\">"
        "<cc:Object Name=\"&e;\"/></cc:CxF>",
        measurement({QStringLiteral("A-2-1")}, "http://example.invalid/wrong"),
        measurement({}),
        measurement({QStringLiteral("no such colour")}),
    };
    int opened = 0;
    for (int i = 0; i < hostile.size(); ++i) {
        const QString path = write(QStringLiteral("hostile-%1.cxf").arg(i), hostile.at(i));
        selector.capsureFileChanged(path);
        QTimer::singleShot(0, [&opened] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                ++opened;
                dialog->close();
            }
        });
        selector.capsureButtonClicked();
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(chosen.count(), 0);
    EXPECT_EQ(lastUsedCollection(), A);
}

} // namespace

// The measurement folder a user can write: the machine's data folder where it is
// writable, else the user's own; a folder made after the picker started is taken up by
// the next picker window, not watched for meanwhile.
TEST_F(CapsureTest, TheWatchedFolderIsOneTheUserCanWriteAndMayComeLater)
{
    const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", files.filePath(QStringLiteral("no-such-folder")).toLocal8Bit());
    EXPECT_EQ(capsureFolderFor(QStringLiteral("%PROGRAMDATA%/Orva Tavel/Capsure")),
              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Orva Tavel/Capsure"));
    qputenv("XDG_DATA_DIRS", files.path().toLocal8Bit());
    EXPECT_EQ(capsureFolderFor(QStringLiteral("%programdata%/Orva Tavel/Capsure")), files.path() + QStringLiteral("/Orva Tavel/Capsure"));
    qputenv("XDG_DATA_DIRS", dataDirs);

    const QString later = files.filePath(QStringLiteral("later/Capsure"));
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.folder.to.watch.windows"), later);
    deck.deck().writer().addSetting(deck.idA(), QStringLiteral("capsure.filename.to.watch"), QStringLiteral("capsure.cxf"));
    start();
    MainWidget main(nullptr);
    main.show();
    ImageButton *button = main.collectionSelectWidget()->capsureButton();
    EXPECT_TRUE(button->isHidden());
    ASSERT_TRUE(QDir().mkpath(later));
    QFile file(later + QStringLiteral("/capsure.cxf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(measurement({QStringLiteral("A-2-1")}));
    file.close();
    EXPECT_TRUE(main.watchedCapsurePaths().isEmpty());
    MainWidget next(nullptr);
    EXPECT_FALSE(next.collectionSelectWidget()->capsureButton()->isHidden());
    EXPECT_TRUE(next.watchedCapsurePaths().contains(later));
}
