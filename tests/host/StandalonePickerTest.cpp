#include "host/standalone/FrontRequests.h"
#include "host/standalone/NoCollectionsWindow.h"
#include "StandardDeck.h"
#include "TestEnvironment.h"
#include "host/standalone/PickedChip.h"

#include "engine/EngineStartup.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/ui/MainWidget.h"
#include "engine/ui/TabBarWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/SearchWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QUndoStack>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QProcessEnvironment demoEnvironment(const QString &config)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral(PALETTRA_DATA_DIR));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

bool xSocketAnswers(int display)
{
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (socket < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QByteArrayLiteral("/tmp/.X11-unix/X") + QByteArray::number(display);
    std::strncpy(address.sun_path, path.constData(), sizeof(address.sun_path) - 1);
    const bool answers = ::connect(socket, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
    ::close(socket);
    return answers;
}

// An X server of the test's own; its display name, empty when it did not start. Servers
// started together may reach for the same display: the one that loses exits at once (the
// display's lock is taken), and the next number is tried.
QString startXServer(QProcess &server, const QString &xvfb)
{
    const int first = 200 + int(QCoreApplication::applicationPid() % 400);
    for (int number = first; number < first + 20; ++number) {
        server.start(xvfb, {QStringLiteral(":%1").arg(number), QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        if (!server.waitForStarted(10000))
            return QString();
        // Up once its socket answers, and still ours a moment later.
        for (int wait = 0; wait < 100 && server.state() == QProcess::Running; ++wait) {
            if (xSocketAnswers(number) && !server.waitForFinished(300))
                return QStringLiteral(":%1").arg(number);
            server.waitForFinished(100);
        }
        server.kill();
        server.waitForFinished(10000);
    }
    return QString();
}

// The first window of the picker's class that xdotool finds within 30 s; empty when none.
QString pickerWindow(const QString &xdotool, const QProcessEnvironment &environment)
{
    QProcess search;
    search.setProcessEnvironment(environment);
    search.start(xdotool, {QStringLiteral("search"), QStringLiteral("--sync"), QStringLiteral("--class"), QStringLiteral("palettra")});
    if (!search.waitForFinished(30000)) {
        search.kill();
        search.waitForFinished(10000);
        return QString();
    }
    return QString::fromLatin1(search.readAllStandardOutput()).split(QLatin1Char('\n')).value(0);
}

// A picker on an X server of the test's own, with the demo collections; skipped where
// Xvfb or xdotool is not installed.
class StandalonePickerOnADisplay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        if (xvfb.isEmpty() || xdotool.isEmpty())
            GTEST_SKIP() << "Xvfb or xdotool is not installed";
        const QString display = startXServer(server, xvfb);
        ASSERT_FALSE(display.isEmpty());
        environment = demoEnvironment(dir.path());
        environment.insert(QStringLiteral("DISPLAY"), display);
        picker.setProcessEnvironment(environment);
    }
    void TearDown() override
    {
        for (QProcess *process : {&picker, &server}) {
            process->kill();
            process->waitForFinished(10000);
        }
    }

    QString xdotool;
    QProcess server;
    QTemporaryDir dir;
    QProcessEnvironment environment;
    QProcess picker;
};

TEST(StandalonePicker, DrawsItsWindowWithoutADisplay)
{
    QTemporaryDir dir;
    const QString shot = dir.filePath(QStringLiteral("picker.png"));
    QProcess process;
    process.setProcessEnvironment(demoEnvironment(dir.filePath(QStringLiteral("config"))));
    process.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--screenshot"), shot});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    const QImage image(shot);
    ASSERT_EQ(image.size(), QSize(800, 600));
    // The banner is the demo's dark band, not a white placeholder.
    EXPECT_LT(qGray(image.pixel(400, 5)), 80);
    // The separator line right of the collection selector.
    EXPECT_EQ(QColor(image.pixel(234, 300)), QColor(188, 188, 188));
    // The picker remembered the collection it showed.
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("config/Orva Tavel/Palettra.3DSMax.ini"))));
}

TEST(StandalonePicker, ListsTheDemoCollections)
{
    QTemporaryDir dir;
    QProcess process;
    process.setProcessEnvironment(demoEnvironment(dir.path()));
    process.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--list-collections")});
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(out.contains(QStringLiteral("\t1\tOrva Interior\t")));
    EXPECT_TRUE(out.contains(QStringLiteral("\t3\tOrva Pulvex\t")));
}

TEST(StandalonePicker, HelpPageLiesBesideTheProgram)
{
    const QString help = QFileInfo(QStringLiteral(PALETTRA_PROGRAM)).absolutePath() + QStringLiteral("/Contents/Resources/help/main.html");
    QFile file(help);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("My Palette"));
}

// A real window on a real (virtual) display: its WM_CLASS names the desktop entry, so that
// docks match the window to it.
TEST_F(StandalonePickerOnADisplay, WindowClassMatchesTheDesktopEntry)
{
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (xprop.isEmpty())
        GTEST_SKIP() << "xprop is not installed";
    picker.start(QStringLiteral(PALETTRA_PROGRAM), QStringList());
    const QString window = pickerWindow(xdotool, environment);
    QString classes;
    if (!window.isEmpty()) {
        QProcess property;
        property.setProcessEnvironment(environment);
        property.start(xprop, {QStringLiteral("-id"), window, QStringLiteral("WM_CLASS")});
        property.waitForFinished(10000);
        classes = QString::fromLatin1(property.readAllStandardOutput()).trimmed();
    }
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(classes, QStringLiteral("WM_CLASS(STRING) = \"palettra\", \"palettra\""));
    QFile entry(QStringLiteral(PALETTRA_SOURCE_DIR "/resources/palettra.desktop"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(entry.readAll().contains("\nStartupWMClass=palettra\n"));
}

// A chip dragged from the deck onto another program's window arrives as a colour (what
// a colour well takes) and as text (the chip in words), beside the picker's own record.
TEST_F(StandalonePickerOnADisplay, ADeckChipDroppedOnAnotherProgramIsAColourAndText)
{
    QProcess target;
    target.setProcessEnvironment(environment);
    target.start(QStringLiteral(PALETTRA_DROP_TARGET), {QStringLiteral("900"), QStringLiteral("100")});
    ASSERT_TRUE(target.waitForReadyRead(30000));
    picker.start(QStringLiteral(PALETTRA_PROGRAM), QStringList());
    const QString window = pickerWindow(xdotool, environment);
    // Without a window manager the picker's window stands at the screen's corner: the
    // middle card's fourth chip, then out over the other program's window in steps, as a
    // hand drags.
    QProcess drag;
    drag.setProcessEnvironment(environment);
    drag.start(xdotool, QStringLiteral("mousemove 117 440 sleep 0.3 mousedown 1 sleep 0.2 mousemove 140 445 sleep 0.2 "
                                       "mousemove 400 400 sleep 0.2 mousemove 950 200 sleep 0.3 mousemove 1000 250 sleep 0.5 "
                                       "mouseup 1")
                           .split(QLatin1Char(' ')));
    drag.waitForFinished(30000);
    const bool dropped = target.waitForFinished(30000);
    if (!dropped)
        target.kill();
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(dropped);
    const QStringList lines = QString::fromUtf8(target.readAllStandardOutput()).split(QLatin1Char('\n'));
    const QString formats = lines.filter(QStringLiteral("formats=")).value(0);
    const QString colour = lines.filter(QStringLiteral("color=")).value(0).mid(6);
    const QString text = lines.filter(QStringLiteral("text=")).value(0).mid(5);
    EXPECT_TRUE(formats.contains(QStringLiteral("application/x-color"))) << formats.toStdString();
    EXPECT_TRUE(formats.contains(QStringLiteral("text/plain"))) << formats.toStdString();
    EXPECT_TRUE(formats.contains(QStringLiteral("orva.tavel.zyla/color.chip.dnd.info"))) << formats.toStdString();
    // The colour and the words name the same chip of the demo deck.
    ASSERT_EQ(colour.size(), 7) << colour.toStdString();
    EXPECT_TRUE(text.startsWith(QStringLiteral("OT "))) << text.toStdString();
    EXPECT_TRUE(text.contains(colour.toUpper())) << text.toStdString();
}

// Without collections the picker tells where it looked, in a window of its own.
TEST(StandalonePicker, SaysWhereItLookedWhenThereAreNoCollections)
{
    Palettra::NoCollectionsWindow window(QStringLiteral("/srv/colours/Orva Tavel/Palettra/SQLite"));
    EXPECT_TRUE(window.message().contains(QStringLiteral("/srv/colours/Orva Tavel/Palettra/SQLite/Contents/Resources")));
    EXPECT_TRUE(window.message().contains(QStringLiteral("XDG_DATA_DIRS")));
    // Without a display it says so on standard error and fails.
    QTemporaryDir dir;
    QProcess process;
    QProcessEnvironment environment = demoEnvironment(dir.path());
    environment.insert(QStringLiteral("XDG_DATA_DIRS"), dir.filePath(QStringLiteral("nothing")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(PALETTRA_PROGRAM), QStringList());
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_TRUE(process.readAllStandardError().contains("no collection"));
}

// palettra --pick for scripts: the chip on standard output, 0 for a pick, 1 for a cancel,
// 2 for an error.
TEST(StandalonePicker, PickPrintsTheChipForScripts)
{
    QTemporaryDir dir;
    auto pick = [&dir](const QStringList &arguments, QString *out = nullptr, const QString &data = QString()) {
        QProcess process;
        QProcessEnvironment environment = demoEnvironment(dir.path());
        if (!data.isEmpty())
            environment.insert(QStringLiteral("XDG_DATA_DIRS"), data);
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(PALETTRA_PROGRAM), arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        if (out)
            *out = QString::fromUtf8(process.readAllStandardOutput());
        return process.exitCode();
    };
    QString out;
    ASSERT_EQ(pick({QStringLiteral("--pick"), QStringLiteral("--search"), QStringLiteral("OT 1042"), QStringLiteral("--accept")}, &out), 0);
    EXPECT_EQ(out, QStringLiteral("{\"collection\":\"{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4001}\",\"collectionName\":\"Orva Interior\","
                                  "\"code\":\"OT 1042\",\"names\":[\"Studio Seafoam\"],\"hex\":\"#56bdc6\",\"rgb\":[86,189,198],"
                                  "\"lab\":[71.18064970025945,-27.1176304235774,-13.585298972615178]}\n"));
    ASSERT_EQ(pick({QStringLiteral("--pick"), QStringLiteral("--format=hex"), QStringLiteral("--search=OT 1117"),
                    QStringLiteral("--accept")},
                   &out),
              0);
    EXPECT_TRUE(out.startsWith(QLatin1Char('#')) && out.size() == 8) << out.toStdString();
    // What designers paste or type for Studio Seafoam: each leads to it, and nothing but
    // the chip is printed anywhere.
    for (const char *form : {"56bdc6", "Lab 71.18 -27.12 -13.59", "RGB 86 189 198", "86 189 198", "86, 189, 198",
                             "seafoam studio", "studio seafom"}) {
        QProcess process;
        process.setProcessEnvironment(demoEnvironment(dir.path()));
        process.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--pick"), QStringLiteral("--search"),
                                                          QString::fromUtf8(form), QStringLiteral("--accept"),
                                                          QStringLiteral("--format"), QStringLiteral("hex")});
        ASSERT_TRUE(process.waitForFinished(60000));
        EXPECT_EQ(process.readAllStandardOutput(), QByteArray("#56bdc6\n")) << form;
        EXPECT_EQ(process.readAllStandardError(), QByteArray()) << form;
    }
    // Malformed options and a picker without collections: 2, nothing printed.
    for (const QStringList &wrong : {QStringList{QStringLiteral("--pick"), QStringLiteral("--format"), QStringLiteral("xml")},
                                     QStringList{QStringLiteral("--accept")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--tab"), QStringLiteral("nowhere"),
                                                 QStringLiteral("--accept")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--load-palette"),
                                                 dir.filePath(QStringLiteral("gone.palette")), QStringLiteral("--accept")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--accept"), QStringLiteral("--list-collections")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--accept"), QStringLiteral("--screenshot=x.png")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--accept=yes")},
                                     QStringList{QStringLiteral("--pick"), QStringLiteral("--accept"), QStringLiteral("--format")},
                                     QStringList{QStringLiteral("--pick")}}) {
        EXPECT_EQ(pick(wrong, &out), 2) << wrong.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
    // A search that finds nothing picks nothing.
    EXPECT_EQ(pick({QStringLiteral("--pick"), QStringLiteral("--search"), QStringLiteral("qqq zzz xxx"), QStringLiteral("--accept")},
                   &out),
              1);
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(pick({QStringLiteral("--pick"), QStringLiteral("--accept")}, &out, dir.filePath(QStringLiteral("none"))), 2);
    // Nor is there a pick on a platform that draws into memory: no one could pick there.
    QProcess offscreen;
    QProcessEnvironment environment = demoEnvironment(dir.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    offscreen.setProcessEnvironment(environment);
    offscreen.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--pick")});
    ASSERT_TRUE(offscreen.waitForFinished(60000));
    EXPECT_EQ(offscreen.exitCode(), 2);
}

// On a real display, closing the picker is a cancel. Its title says what the pick is for,
// and SIGUSR1 (an add-on's second press) brings it to the front instead of ending it.
TEST_F(StandalonePickerOnADisplay, ClosingThePickIsACancel)
{
    const QString title = QStringLiteral("Pick a paint colour for Cube (kitchen.blend)");
    picker.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--pick"), QStringLiteral("--title"), title});
    const QString window = pickerWindow(xdotool, environment);
    QProcess name;
    name.setProcessEnvironment(environment);
    name.start(xdotool, {QStringLiteral("getwindowname"), window});
    name.waitForFinished(10000);
    EXPECT_EQ(QString::fromUtf8(name.readAllStandardOutput()).trimmed(), title + QStringLiteral(" \u2014 Palettra"));
    ::kill(static_cast<pid_t>(picker.processId()), SIGUSR1);
    QProcess key;
    key.setProcessEnvironment(environment);
    key.start(xdotool, {QStringLiteral("key"), QStringLiteral("--window"), window, QStringLiteral("Escape")});
    key.waitForFinished(10000);
    ASSERT_TRUE(picker.waitForFinished(30000));
    EXPECT_EQ(picker.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(picker.exitCode(), 1);
    EXPECT_TRUE(picker.readAllStandardOutput().isEmpty());
}

TEST(StandalonePicker, UnknownOptionsAreRefused)
{
    QProcess process;
    process.start(QStringLiteral(PALETTRA_PROGRAM), {QStringLiteral("--frobnicate")});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
}

} // namespace

#include "host/standalone/StandalonePicker.h"

#include <QTest>
#include "StandardDeck.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/PaletteFile.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/CardRollerWidget.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QMimeData>
#include <QGuiApplication>

namespace {

// The copy button hands out a colour exactly when one selected cell holds a chip.
TEST(StandalonePickerWindow, CopyButtonFollowsTheSelection)
{
    Palettra::Test::StandardDeck deck;
    ASSERT_EQ(Vantor::startEngine(QString(), deck.baseFolder()), Vantor::StartupOk);
    Palettra::StandalonePicker picker;
    QAbstractButton *copy = picker.mainWidget()->headerButton(picker.copyButtonId());
    EXPECT_FALSE(copy->isEnabled());

    Vantor::MyPaletteModel &palette = picker.mainWidget()->myPaletteWidget()->model();
    Vantor::DB::ColorEntry orange;
    ASSERT_EQ(Vantor::DB::loadColorById(Palettra::Test::StandardDeck::A, deck.rowIdA(6, 1), orange), Vantor::DB::StatusOk);
    palette.setCell(QPoint(0, 0), Palettra::Test::StandardDeck::A, orange);
    palette.pressCell(QPoint(1, 0), Qt::NoModifier); // an empty cell
    EXPECT_FALSE(copy->isEnabled());
    palette.pressCell(QPoint(0, 0), Qt::NoModifier);
    EXPECT_TRUE(copy->isEnabled());
    copy->click();
    // In words for a text editor, and the colour itself; the button says it worked.
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("A-6-1 — #F01464 — rgb(240, 20, 100) — Lab(60.00, 1.00, -1.00)"));
    ASSERT_NE(QGuiApplication::clipboard()->mimeData(), nullptr);
    EXPECT_EQ(QGuiApplication::clipboard()->mimeData()->colorData().value<QColor>(), QColor(0xF0, 0x14, 0x64));
    EXPECT_EQ(copy->text(), QStringLiteral("Copied"));

    palette.setCell(QPoint(2, 0), Palettra::Test::StandardDeck::A, orange);
    palette.pressCell(QPoint(2, 0), Qt::ControlModifier); // two chips selected
    EXPECT_FALSE(copy->isEnabled());
}

// Pick mode: "Use colour" follows the selection like the plug-in's task button; it, Enter
// on it and a double click on a cell pick; --accept takes the selected cell, else the
// deck's chip.
TEST(StandalonePickerWindow, PickModeButtonEnterDoubleClickAndAccept)
{
    Palettra::Test::StandardDeck deck;
    ASSERT_EQ(Vantor::startEngine(QString(), deck.baseFolder()), Vantor::StartupOk);
    Palettra::StandalonePicker picker;
    picker.enablePickMode();
    picker.show();
    QList<qint64> picks;
    QObject::connect(&picker, &Palettra::StandalonePicker::chipPicked, &picker,
                     [&picks](QUuid, Vantor::DB::ColorEntry chip) { picks << chip.id; });
    QAbstractButton *use = picker.mainWidget()->headerButton(picker.useButtonId());
    EXPECT_EQ(use->text(), QStringLiteral("Use colour"));
    EXPECT_FALSE(use->isEnabled());

    // Without a selection --accept takes the deck's current chip.
    Vantor::setPageIndex(Palettra::Test::StandardDeck::A, 2);
    Vantor::setRowIndex(Palettra::Test::StandardDeck::A, 3);
    ASSERT_TRUE(picker.acceptNow());
    ASSERT_EQ(picks.size(), 1);
    EXPECT_EQ(picks.last(), deck.rowIdA(2, 3));

    Vantor::MyPaletteWidget *palette = picker.mainWidget()->myPaletteWidget();
    Vantor::DB::ColorEntry chip;
    ASSERT_EQ(Vantor::DB::loadColorById(Palettra::Test::StandardDeck::A, deck.rowIdA(4, 1), chip), Vantor::DB::StatusOk);
    palette->model().setCell(QPoint(1, 1), Palettra::Test::StandardDeck::A, chip);
    QTest::mouseClick(palette, Qt::LeftButton, {}, palette->cellGeometry(1, 1).center());
    EXPECT_TRUE(use->isEnabled());
    use->setFocus(Qt::TabFocusReason);
    QTest::keyClick(use, Qt::Key_Return);
    ASSERT_EQ(picks.size(), 2);
    EXPECT_EQ(picks.last(), deck.rowIdA(4, 1));
    QTest::mouseDClick(palette, Qt::LeftButton, {}, palette->cellGeometry(1, 1).center());
    ASSERT_EQ(picks.size(), 3);
    ASSERT_TRUE(picker.acceptNow()); // the selected cell now
    EXPECT_EQ(picks.last(), deck.rowIdA(4, 1));
    // A double click on an empty cell picks nothing.
    QTest::mouseDClick(palette, Qt::LeftButton, {}, palette->cellGeometry(0, 0).center());
    EXPECT_EQ(picks.size(), 4);

    // After a view's search --accept takes the chip the search landed on, whatever cell
    // is selected; after a view's palette file, that palette's selected chip, else its
    // first. A view that leads nowhere is no pick.
    palette->model().pressCell(QPoint(1, 1), Qt::NoModifier);
    Palettra::PickerView view;
    QString error;
    view.search = QStringLiteral("A-5-2");
    ASSERT_EQ(picker.openView(view, error), Palettra::StandalonePicker::ViewOpened::Shown);
    ASSERT_TRUE(picker.acceptNow());
    EXPECT_EQ(picks.last(), deck.rowIdA(5, 2));
    Vantor::MyPaletteModel saved(Vantor::MyPaletteModel::Storage::MemoryOnly);
    ASSERT_EQ(Vantor::DB::loadColorById(Palettra::Test::StandardDeck::A, deck.rowIdA(6, 3), chip), Vantor::DB::StatusOk);
    saved.setCell(QPoint(3, 0), Palettra::Test::StandardDeck::A, chip);
    QTemporaryDir files;
    const QString file = files.filePath(QStringLiteral("one.palette"));
    ASSERT_TRUE(Vantor::savePaletteFile(saved, Vantor::PaletteFileXml, file));
    view = Palettra::PickerView();
    view.palette = file;
    ASSERT_EQ(picker.openView(view, error), Palettra::StandalonePicker::ViewOpened::Shown);
    ASSERT_TRUE(picker.acceptNow());
    EXPECT_EQ(picks.last(), deck.rowIdA(6, 3));
    view.palette = files.filePath(QStringLiteral("gone.palette"));
    EXPECT_EQ(picker.openView(view, error), Palettra::StandalonePicker::ViewOpened::Failed);
    EXPECT_EQ(error, QStringLiteral("gone.palette: no such file"));
    view = Palettra::PickerView();
    view.search = QStringLiteral("qqq zzz xxx");
    EXPECT_EQ(picker.openView(view, error), Palettra::StandalonePicker::ViewOpened::NothingFound);

    // A double click on the deck's chip picks it too, in a window that says so.
    Vantor::CardRollerWidget *cards = picker.mainWidget()->cardRollerWidget();
    Vantor::setPageIndex(Palettra::Test::StandardDeck::A, 3);
    Vantor::setRowIndex(Palettra::Test::StandardDeck::A, 2);
    cards->update();
    cards->grab();
    ASSERT_GE(cards->paintedChips(1).size(), 2);
    QTest::mouseDClick(cards, Qt::LeftButton, {}, cards->paintedChips(1).at(1).center());
    EXPECT_EQ(picks.last(), deck.rowIdA(3, 2));
    EXPECT_TRUE(picker.windowTitle().startsWith(QStringLiteral("Pick a paint colour")));
    // Never kept above the window of the program that asked: its questions (save
    // changes?) would be hidden behind the picker.
    EXPECT_FALSE(picker.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

} // namespace

// One Lab for a chip wherever it leaves the picker: the one its collection stores, not
// the one its RGB gives, in the clipboard's words, an export and a pick's JSON alike.
// SIGUSR1 brings a minimised picker back; requests that come together are one.
TEST(StandalonePickerWindow, FrontRequestsUnminimise)
{
    Palettra::Test::StandardDeck deck;
    ASSERT_EQ(Vantor::startEngine(QString(), deck.baseFolder()), Vantor::StartupOk);
    Palettra::StandalonePicker picker;
    picker.enablePickMode();
    Palettra::FrontRequests requests;
    ASSERT_TRUE(requests.isListening());
    int requested = 0;
    QObject::connect(&requests, &Palettra::FrontRequests::frontRequested, &picker, [&] {
        ++requested;
        picker.bringToFront();
    });
    picker.showMinimized();
    ASSERT_TRUE(picker.isMinimized());
    ::kill(::getpid(), SIGUSR1);
    ::kill(::getpid(), SIGUSR1);
    QTRY_VERIFY(!picker.isMinimized());
    EXPECT_TRUE(picker.isVisible());
    EXPECT_EQ(requested, 1);
}

TEST(PickedChip, TheStoredLabLeavesThePickerEverywhere)
{
    Palettra::Test::StandardDeck deck;
    const Vantor::LabColour stored{61.25, -4.5, 17.75};
    deck.deck().writer().exec(QStringLiteral("UPDATE \"ROW\" SET L = ?, A = ?, B = ? WHERE ID = ?"),
                              {stored.l, stored.a, stored.b, deck.rowIdA(2, 2)});
    ASSERT_TRUE(deck.deck().writer().ok());
    ASSERT_EQ(Vantor::startEngine(QString(), deck.baseFolder()), Vantor::StartupOk);
    Vantor::DB::ColorEntry chip;
    ASSERT_EQ(Vantor::DB::loadColorById(Palettra::Test::StandardDeck::A, deck.rowIdA(2, 2), chip), Vantor::DB::StatusOk);

    const QJsonArray picked = QJsonDocument::fromJson(Palettra::pickedChipLine(Palettra::Test::StandardDeck::A, chip,
                                                                               Palettra::PickFormat::Json)
                                                          .toUtf8())
                                  .object()
                                  .value(QStringLiteral("lab"))
                                  .toArray();
    EXPECT_EQ(picked, (QJsonArray{stored.l, stored.a, stored.b}));

    Vantor::MyPaletteModel palette;
    palette.setCell(QPoint(0, 0), Palettra::Test::StandardDeck::A, chip);
    const QVector<Vantor::ExchangeChip> exported = Vantor::exchangeChips(palette);
    ASSERT_EQ(exported.size(), 1);
    EXPECT_EQ(exported.first().lab.l, stored.l);
    EXPECT_EQ(exported.first().lab.b, stored.b);

    Vantor::MainWidget main(nullptr);
    main.myPaletteWidget()->model().setCell(QPoint(0, 0), Palettra::Test::StandardDeck::A, chip);
    main.myPaletteWidget()->model().pressCell(QPoint(0, 0), Qt::NoModifier);
    ASSERT_TRUE(main.copySelectedColour());
    EXPECT_TRUE(QGuiApplication::clipboard()->text().endsWith(QStringLiteral("Lab(61.25, -4.50, 17.75)")))
        << QGuiApplication::clipboard()->text().toStdString();
}


// From a search to My Palette in two keys: the phrase and Return, then Return (or Insert)
// on the search widget puts the chip found into My Palette, as a drop would (undoable);
// Ctrl+C there copies it; the field names it meanwhile. Escape never ends the picker as a
// program of its own. The Tab key goes through the window in reading order.
TEST(StandalonePickerWindow, SearchReturnReturnCollectsCopiesAndEscapeStays)
{
    Palettra::Test::StandardDeck deck;
    ASSERT_EQ(Vantor::startEngine(QString(), deck.baseFolder()), Vantor::StartupOk);
    Palettra::StandalonePicker picker;
    picker.show();
    picker.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&picker));
    Vantor::MainWidget *main = picker.mainWidget();
    Vantor::SearchWidget *search = main->searchWidget();
    const Vantor::MyPaletteModel &palette = main->myPaletteWidget()->model();

    QTest::mouseClick(search->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(search->lineEdit(), QStringLiteral("a-4-2"));
    QTest::keyClick(search->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(search->hasFocus());
    EXPECT_TRUE(search->lineEdit()->placeholderText().startsWith(QStringLiteral("A-4-2")));
    QTest::keyClick(search, Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("A-4-2"))) << QGuiApplication::clipboard()->text().toStdString();
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(4, 2));
    QTest::keyClick(search, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(palette.cell(QPoint(0, 0)).isOccupied());
    QTest::keyClick(search, Qt::Key_Insert);
    EXPECT_EQ(palette.cell(QPoint(0, 0)).index.rowId, deck.rowIdA(4, 2));
    // Typing starts a new search; the chip is no longer named.
    QTest::keyClick(search, Qt::Key_B);
    EXPECT_TRUE(search->lineEdit()->hasFocus());
    EXPECT_FALSE(search->hasFoundChip());

    QTest::keyClick(search->lineEdit(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(picker.isVisible());

    // Reading order: the left column, the right, then Save, Load, Copy, help and about.
    QList<QWidget *> stops;
    QWidget *stop = main->collectionSelectWidget();
    for (int step = 0; step < 200; ++step, stop = stop->nextInFocusChain()) {
        if (stop->isVisible() && (stop->focusPolicy() & Qt::TabFocus) && !stops.contains(stop))
            stops << stop;
    }
    const qsizetype deckAt = stops.indexOf(main->cardRollerWidget());
    const qsizetype fieldAt = stops.indexOf(search->lineEdit());
    const qsizetype paletteAt = stops.indexOf(main->myPaletteWidget());
    const qsizetype saveAt = stops.indexOf(main->headerButton(Vantor::MainWidget::SaveButtonId));
    EXPECT_LT(deckAt, fieldAt);
    EXPECT_LT(fieldAt, stops.indexOf(main->tabBarWidget()));
    EXPECT_LT(stops.indexOf(main->myPaletteWidget()->descriptionEditor()), saveAt);
    EXPECT_LT(paletteAt, saveAt);
    const QList<quint16> header{Vantor::MainWidget::SaveButtonId, Vantor::MainWidget::LoadButtonId, picker.copyButtonId(),
                                Vantor::MainWidget::HelpButtonId, Vantor::MainWidget::AboutButtonId};
    for (int i = 0; i < header.size(); ++i)
        EXPECT_EQ(stops.indexOf(main->headerButton(header.at(i))), saveAt + i) << i;
}
