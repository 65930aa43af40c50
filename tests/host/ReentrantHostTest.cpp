// A host that calls the plug-in again from inside its own calls: from event filters on
// its windows and slots on the focus while a picker is made or destroyed, with picker
// objects it kept from earlier pickers, and with callbacks it replaces.
#include "PluginTestSupport.h"

#include "host/plugin/ZylaMaxModelessColorPicker.h"

#include "engine/widgets/SearchWidget.h"

#include <QApplication>
#include <QLineEdit>

#include <memory>

using namespace PluginTesting;

namespace {

// The picker windows the host's window owns, once deferred deletions ran.
int pickerWindowsOf(HostWindow &host)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    int windows = 0;
    for (const QWidget *child : host.widget.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        windows += child->isWindow() ? 1 : 0;
    return windows;
}

ColorPicker *createPicker(ColPick *picker, HostWindow &host, HSVCallback *callback)
{
    return picker->CreateColorPicker(host.handle, 0, nullptr, callback, static_cast<const MCHAR *>(nullptr), FALSE);
}

} // namespace

class ReentrantHostTest : public PluginTest
{
protected:
    ColPick *livePicker()
    {
        if (!picker)
            picker = static_cast<ColPick *>(LibClassDesc(0)->Create(FALSE));
        return picker;
    }
    void deletePicker()
    {
        picker->DeleteThis();
        picker = nullptr;
    }
};

// While Destroy() runs, the host hears its window lose a child, the focus move off the
// search field, or the picker window hide, and calls DeleteThis() or Destroy() again.
TEST_F(ReentrantHostTest, ReentryWhileAPickerIsDestroyed)
{
    enum class Trigger { ChildRemoved, FocusChanged, Hide };
    for (const Trigger trigger : {Trigger::ChildRemoved, Trigger::FocusChanged, Trigger::Hide}) {
        for (const bool deleteThis : {false, true}) {
            SCOPED_TRACE(int(trigger) * 2 + int(deleteThis));
            HostWindow host;
            RecordingCallback callback;
            ColorPicker *modeless = createPicker(livePicker(), host, &callback);
            const HWND dialog = colPick().record(host.handle).dialog;
            QPointer<ZylaMainWidgetBridge> bridge = bridgeOf(host.handle);
            bool reentered = false;
            auto reenter = [&] {
                reentered = true;
                if (deleteThis)
                    deletePicker();
                else
                    modeless->Destroy();
            };
            std::unique_ptr<EventHook> hook;
            QMetaObject::Connection focusSlot;
            if (trigger == Trigger::ChildRemoved) {
                hook = std::make_unique<EventHook>(&host.widget, QEvent::ChildRemoved, reenter);
            } else if (trigger == Trigger::Hide) {
                hook = std::make_unique<EventHook>(Win32Layer::widgetOf(dialog), QEvent::Hide, reenter);
            } else {
                QWidget *window = Win32Layer::widgetOf(dialog);
                window->activateWindow();
                ASSERT_TRUE(QTest::qWaitForWindowActive(window));
                bridge->mainWidget()->searchWidget()->lineEdit()->setFocus();
                ASSERT_TRUE(bridge->mainWidget()->searchWidget()->lineEdit()->hasFocus());
                focusSlot = QObject::connect(qApp, &QApplication::focusChanged, [&] {
                    if (!reentered)
                        reenter();
                });
            }
            modeless->Destroy();
            QObject::disconnect(focusSlot);
            EXPECT_TRUE(reentered);
            EXPECT_FALSE(IsWindow(dialog));
            EXPECT_TRUE(callback.events.isEmpty());
            EXPECT_EQ(pickerWindowsOf(host), 0);
            EXPECT_TRUE(bridge.isNull());
            if (picker) {
                EXPECT_EQ(colPick().recordCount(), 0u);
            }
            modeless->Destroy(); // and once more, afterwards
            delete modeless;
            expectOwnerPicksAgain(host.handle);
            EXPECT_EQ(pickerWindowsOf(host), 0);
        }
    }
}

// While CreateColorPicker or ModalColorPicker makes its window, the host hears its window
// gain a child and deletes the picker, destroys an older picker of the same owner through
// the object it kept, or asks for another picker of the same owner.
TEST_F(ReentrantHostTest, ReentryWhileAPickerIsMade)
{
    enum class Action { DeleteThis, StaleDestroy, CreateAgain };
    for (const bool modal : {false, true}) {
        for (const Action action : {Action::DeleteThis, Action::StaleDestroy, Action::CreateAgain}) {
            SCOPED_TRACE(int(modal) * 3 + int(action));
            HostWindow host;
            RecordingCallback callback;
            ColorPicker *stale = createPicker(livePicker(), host, &callback);
            stale->Destroy();
            ColorPicker *inner = nullptr;
            EventHook hook(&host.widget, QEvent::ChildAdded, [&] {
                if (action == Action::DeleteThis)
                    deletePicker();
                else if (action == Action::StaleDestroy)
                    stale->Destroy();
                else
                    inner = createPicker(picker, host, &callback);
            });
            // Never wait for a user: a modal picker still open is closed.
            bool closedByTimer = false;
            QTimer closer;
            closer.setSingleShot(true);
            QObject::connect(&closer, &QTimer::timeout, [&] {
                for (QWidget *child : host.widget.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly)) {
                    if (child->isWindow() && child->isVisible()) {
                        closedByTimer = true;
                        child->close();
                    }
                }
            });
            closer.start(300);
            ColorPicker *outer = nullptr;
            int result = -2;
            if (modal)
                result = livePicker()->ModalColorPicker(host.handle, static_cast<DWORD *>(nullptr), nullptr, &callback,
                                                        static_cast<const MCHAR *>(nullptr));
            else
                outer = createPicker(livePicker(), host, &callback);
            EXPECT_TRUE(hook.fired);
            if (action == Action::DeleteThis) {
                // Nothing is left on screen, and a modal call returned at once.
                EXPECT_EQ(pickerWindowsOf(host), 0);
                if (modal) {
                    EXPECT_EQ(result, 0);
                }
                EXPECT_FALSE(closedByTimer);
            } else if (!modal) {
                // One window, shared by both objects when the host asked twice.
                EXPECT_EQ(pickerWindowsOf(host), 1);
                ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
                ASSERT_NE(bridge, nullptr);
                pickShadowLilac(bridge);
                EXPECT_EQ(callback.events, QStringList{changed(ShadowLilac)});
                outer->Destroy();
                EXPECT_EQ(pickerWindowsOf(host), 0);
            } else {
                EXPECT_EQ(result, 0); // closed without a pick
            }
            if (inner)
                inner->Destroy();
            EXPECT_EQ(pickerWindowsOf(host), 0);
            delete inner;
            delete outer;
            delete stale;
            expectOwnerPicksAgain(host.handle);
            EXPECT_EQ(pickerWindowsOf(host), 0);
        }
    }
}

// A picker asked for from inside Destroy() of the same owner's picker is a picker of its
// own: it picks, and its own Destroy() takes its window away.
TEST_F(ReentrantHostTest, PickerMadeWhileTheLastOneIsDestroyed)
{
    HostWindow host;
    RecordingCallback first, second;
    ColorPicker *modeless = createPicker(picker, host, &first);
    ColorPicker *replacement = nullptr;
    EventHook hook(&host.widget, QEvent::ChildRemoved, [&] { replacement = createPicker(picker, host, &second); });
    modeless->Destroy();
    ASSERT_NE(replacement, nullptr);
    EXPECT_EQ(pickerWindowsOf(host), 1);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    ASSERT_NE(bridge, nullptr);
    pickShadowLilac(bridge);
    EXPECT_EQ(second.events, QStringList{changed(ShadowLilac)});
    EXPECT_TRUE(first.events.isEmpty());
    modeless->Destroy(); // the old object leaves the new picker alone
    EXPECT_EQ(pickerWindowsOf(host), 1);
    replacement->Destroy();
    EXPECT_EQ(pickerWindowsOf(host), 0);
    EXPECT_EQ(colPick().recordCount(), 0u);
    delete modeless;
    delete replacement;
}

// A null callback keeps the one installed (a host renaming its picker still hears the
// picks), and an object of a destroyed picker does not steer the owner's next picker.
TEST_F(ReentrantHostTest, RenamedPickersAndStaleObjects)
{
    HostWindow host;
    RecordingCallback installed;
    ColorPicker *modeless = createPicker(picker, host, &installed);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    loadDemoPalette(bridge);
    clickCell(bridge, 0, 1);
    modeless->InstallNewCB(0, nullptr, _M("Diffuse"));
    EXPECT_EQ(bridge->taskButton()->text(), QStringLiteral("Diffuse"));
    pressTask(bridge);
    EXPECT_EQ(installed.events, QStringList{changed(ShadowLilac)});
    RecordingCallback attached;
    modeless->InstallNewCB(0, &attached, static_cast<const MCHAR *>(nullptr));
    pressTask(bridge);
    EXPECT_EQ(attached.events, QStringList{changed(ShadowLilac)});
    EXPECT_EQ(installed.events.size(), 1);

    modeless->Destroy();
    RecordingCallback current, other;
    ColorPicker *next = createPicker(picker, host, &current);
    const HWND dialog = colPick().record(host.handle).dialog;
    modeless->InstallNewCB(0, &other, _M("Stale"));
    modeless->Destroy();
    EXPECT_EQ(modeless->GetPosition().x, 0);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(colPick().record(host.handle).callback, &current);
    EXPECT_NE(bridgeOf(host.handle)->taskButton()->text(), QStringLiteral("Stale"));
    next->Destroy();
    EXPECT_FALSE(IsWindow(dialog));
    delete next;
    delete modeless;
}
