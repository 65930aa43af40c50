// A host that hears what the picker tells the rest of the desktop (the clipboard, its
// window's title, the focus) and tears the picker down on the very notice: nothing the
// picker still runs is freed under it, and the host picks again afterwards.
#include "PluginTestSupport.h"

#include "engine/PersistentState.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/SearchWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace PluginTesting;

namespace {

const QUuid Interior(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4001}"));
const QUuid Facade(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4002}"));

enum class Teardown { Destroy, DeleteThis };

} // namespace

class NotifyingHostTest : public PluginTest
{
protected:
    // Opens a modeless picker on the demo palette; `tearDown` destroys it as the host
    // chose, once.
    ZylaMainWidgetBridge *open(HostWindow &host, Teardown how)
    {
        modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
        ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
        loadDemoPalette(bridge);
        // Keys and the focus go to the active window only.
        QWidget *window = Win32Layer::widgetOf(bridge->parentWindow());
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        tearDown = [this, how] {
            if (tornDown)
                return;
            tornDown = true;
            if (how == Teardown::Destroy) {
                modeless->Destroy();
            } else {
                picker->DeleteThis();
                picker = nullptr;
            }
        };
        return bridge;
    }
    // After the teardown: no callback reached the host, the widgets went once control
    // was back in the loop, and the owner picks again.
    void expectGoneAndPickingAgain(HostWindow &host, const QPointer<ZylaMainWidgetBridge> &bridge)
    {
        EXPECT_TRUE(tornDown);
        EXPECT_TRUE(callback.events.isEmpty()) << callback.events.join(QLatin1Char('|')).toStdString();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(bridge.isNull());
        delete modeless;
        modeless = nullptr;
        tornDown = false;
        expectOwnerPicksAgain(host.handle);
    }

    RecordingCallback callback;
    ColorPicker *modeless = nullptr;
    std::function<void()> tearDown;
    bool tornDown = false;
};

// Ctrl+C on the deck: a host that watches the clipboard tears the picker down from the
// notice that the copy sends, inside the copy.
TEST_F(NotifyingHostTest, ClipboardNoticeOfACopy)
{
    for (Teardown how : {Teardown::Destroy, Teardown::DeleteThis}) {
        SCOPED_TRACE(int(how));
        HostWindow host;
        const QPointer<ZylaMainWidgetBridge> bridge = open(host, how);
        Vantor::CardRollerWidget *deck = bridge->mainWidget()->cardRollerWidget();
        deck->setFocus();
        const QMetaObject::Connection watching =
            QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [this] { tearDown(); });
        QTest::keyClick(deck, Qt::Key_C, Qt::ControlModifier);
        QObject::disconnect(watching);
        EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QLatin1String("#")));
        expectGoneAndPickingAgain(host, bridge);
    }
}

// A collection switch retitles the host's window; the host tears the picker down when
// it hears the title change.
TEST_F(NotifyingHostTest, WindowTitleOfACollectionSwitch)
{
    for (Teardown how : {Teardown::Destroy, Teardown::DeleteThis}) {
        SCOPED_TRACE(int(how));
        HostWindow host;
        const QPointer<ZylaMainWidgetBridge> bridge = open(host, how);
        const EventHook hook(Win32Layer::widgetOf(bridge->parentWindow()), QEvent::WindowTitleChange, [this] { tearDown(); });
        bridge->mainWidget()->collectionChangedInteractively(Vantor::lastUsedCollection() == Facade ? Interior : Facade);
        expectGoneAndPickingAgain(host, bridge);
    }
}

// The focus comes back to the picker after a save was accepted, or moves inside it at
// a click; the host's slot on the focus tears the picker down inside Qt's own emission.
TEST_F(NotifyingHostTest, FocusChangeAfterASaveOrAClick)
{
    QTemporaryDir folder;
    const QString saved = folder.filePath(QStringLiteral("saved.palette"));
    for (bool afterSave : {true, false}) {
        for (Teardown how : {Teardown::Destroy, Teardown::DeleteThis}) {
            SCOPED_TRACE(std::to_string(afterSave) + " " + std::to_string(int(how)));
            HostWindow host;
            const QPointer<ZylaMainWidgetBridge> bridge = open(host, how);
            Vantor::MainWidget *main = bridge->mainWidget();
            QLineEdit *field = main->searchWidget()->lineEdit();
            main->cardRollerWidget()->setFocus();
            bool watch = false;
            const QMetaObject::Connection watching =
                QObject::connect(qApp, &QApplication::focusChanged, [&](QWidget *, QWidget *now) {
                    if (watch && now)
                        tearDown();
                });
            if (afterSave) {
                // The dialog took the focus away; it comes back as the save returns.
                Vantor::MainWidget::setFileDialogs(
                    [&](QWidget *, const QString &, const QString &, const QString &, QString *) {
                        if (QWidget *focus = QApplication::focusWidget())
                            focus->clearFocus();
                        watch = true;
                        return saved;
                    },
                    nullptr);
                QTest::mouseClick(main->headerButton(Vantor::MainWidget::SaveButtonId), Qt::LeftButton);
            } else {
                watch = true;
                QTest::mouseClick(field, Qt::LeftButton);
            }
            QObject::disconnect(watching);
            Vantor::MainWidget::setFileDialogs(
                [](QWidget *, const QString &, const QString &, const QString &, QString *) { return QString(); }, nullptr);
            expectGoneAndPickingAgain(host, bridge);
        }
    }
}

// The host tears the picker down while a picture is read into its palette: the teardown
// does not wait for the read, nothing of it reaches the gone picker, and LibShutdown
// returns once the cancelled read has stopped.
TEST_F(NotifyingHostTest, TeardownDuringAPictureRead)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.png"));
    QImage photo(1600, 1200, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256));
    }
    ASSERT_TRUE(photo.save(path, "PNG", 100));
    for (Teardown how : {Teardown::Destroy, Teardown::DeleteThis}) {
        SCOPED_TRACE(int(how));
        HostWindow host;
        const QPointer<ZylaMainWidgetBridge> bridge = open(host, how);
        const QPointer<Vantor::MyPaletteWidget> palette = paletteOf(bridge);
        palette->loadPaletteFrom(Vantor::PaletteFileXml, path);
        ASSERT_TRUE(palette->isReadingPicture());
        tearDown();
        EXPECT_EQ(LibShutdown(), 1);
        QCoreApplication::processEvents();
        expectGoneAndPickingAgain(host, bridge);
    }
}
