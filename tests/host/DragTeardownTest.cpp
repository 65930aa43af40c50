// A host that tears the picker down while the user drags a chip out of it. Runs on Qt's
// minimal platform, where a drag runs an event loop of its own as on a desktop (the
// offscreen platform ends every drag at once).
#include "PluginTestSupport.h"

#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/NestedDialogs.h"

#include <QApplication>
#include <QPointer>

using namespace PluginTesting;

namespace {

enum class Source { PaletteCell, DeckChip };
enum class Teardown { ModelessDestroy, ModelessDeleteThis, ModalDeleteThis, OwnerDeleted };

// Presses on a chip of `source` and moves far enough for a drag: returns once the drag
// is over.
void dragOut(ZylaMainWidgetBridge *bridge, Source source)
{
    QWidget *widget = nullptr;
    QPoint from;
    if (source == Source::PaletteCell) {
        widget = bridge->mainWidget()->myPaletteWidget();
        from = bridge->mainWidget()->myPaletteWidget()->cellGeometry(0, 1).center();
    } else {
        Vantor::CardRollerWidget *roller = bridge->mainWidget()->cardRollerWidget();
        roller->grab(); // lays the chips out
        ASSERT_FALSE(roller->paintedChips(1).isEmpty());
        widget = roller;
        from = roller->paintedChips(1).at(0).center();
    }
    const QPointer<QWidget> guard(widget);
    // Within the chip: a drag starts only over a chip.
    const int step = QApplication::startDragDistance() + 2;
    const QPoint move = source == Source::PaletteCell ? QPoint(step, 0) : QPoint(0, step);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(widget, from + move);
    if (guard)
        QTest::mouseMove(widget, from + move + QPoint(1, 1));
}

} // namespace

// The drag is cancelled, its loop returns into live widgets, the widgets go afterwards,
// and the host sees no callback; the same owner then picks with a new picker.
TEST_F(PluginTest, TeardownDuringAChipDrag)
{
    for (const Source source : {Source::PaletteCell, Source::DeckChip}) {
        for (const Teardown teardown :
             {Teardown::ModelessDestroy, Teardown::ModelessDeleteThis, Teardown::ModalDeleteThis, Teardown::OwnerDeleted}) {
            SCOPED_TRACE(int(source) * 10 + int(teardown));
            if (!picker)
                picker = static_cast<ColPick *>(LibClassDesc(0)->Create(FALSE));
            auto *host = new HostWindow;
            const HWND owner = host->handle;
            RecordingCallback callback;
            ColorPicker *modeless = nullptr;
            QPointer<ZylaMainWidgetBridge> bridge;
            bool draggingAtTeardown = false;
            bool dragReturned = false;

            auto tearDown = [&] {
                draggingAtTeardown = bridge && Vantor::NestedDialogs::runningUnder(bridge);
                switch (teardown) {
                case Teardown::ModelessDestroy:
                    modeless->Destroy();
                    break;
                case Teardown::ModelessDeleteThis:
                case Teardown::ModalDeleteThis:
                    picker->DeleteThis();
                    picker = nullptr;
                    break;
                case Teardown::OwnerDeleted:
                    delete host;
                    host = nullptr;
                    break;
                }
                // The user goes on moving, lets go and presses Escape over what is left.
                if (QWidget *left = QApplication::topLevelWidgets().value(0)) {
                    QTest::mouseMove(left, QPoint(5, 5));
                    QTest::mouseRelease(left, Qt::LeftButton, Qt::NoModifier, QPoint(6, 6));
                    QTest::keyClick(left, Qt::Key_Escape);
                }
            };
            auto openAndDrag = [&](ZylaMainWidgetBridge *opened) {
                bridge = opened;
                loadDemoPalette(opened);
                QTimer::singleShot(100, tearDown);
                dragOut(opened, source);
                dragReturned = true;
            };

            if (teardown == Teardown::ModalDeleteThis) {
                QTimer::singleShot(0, [&] { openAndDrag(bridgeOf(owner)); });
                DWORD colour = 0x00123456;
                EXPECT_EQ(picker->ModalColorPicker(owner, &colour, nullptr, &callback, static_cast<const MCHAR *>(nullptr)), 0);
                EXPECT_EQ(colour, 0x00123456u);
            } else {
                modeless = picker->CreateColorPicker(owner, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
                openAndDrag(bridgeOf(owner));
            }
            EXPECT_TRUE(draggingAtTeardown); // the teardown came while the drag's loop ran
            EXPECT_TRUE(dragReturned);
            EXPECT_TRUE(callback.events.isEmpty()) << callback.events.join(QLatin1Char('|')).toStdString();
            // A picker whose owner went keeps its record until the host destroys it.
            if (teardown == Teardown::OwnerDeleted)
                modeless->Destroy();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            EXPECT_TRUE(bridge.isNull());
            if (picker) {
                EXPECT_EQ(colPick().recordCount(), 0u);
            }
            delete modeless;
            delete host;
        }
    }

    HostWindow host;
    expectOwnerPicksAgain(host.handle);
}
