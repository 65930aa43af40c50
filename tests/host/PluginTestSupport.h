#pragma once

// What the plug-in tests share: a host window that records its messages, a callback
// that records what the picker tells the host, and a fixture with the plug-in started.
#include "TestEnvironment.h"

#include "host/plugin/PickerDialog.h"
#include "host/plugin/PickerRecord.h"
#include "host/plugin/PluginEntry.h"
#include "host/plugin/ZylaMAXColPick.h"
#include "host/plugin/ZylaMainWidgetBridge.h"

#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/MainWidget.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace PluginTesting {

// Deletions a teardown deferred, done now as the host's event loop would.
inline void runDeferredDeletions()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Calls `action` once, the first time `watched` hears an event of type `type`: a host's
// event filter on its own window.
struct EventHook : QObject
{
    EventHook(QObject *watched, QEvent::Type type, std::function<void()> action)
        : type(type)
        , action(std::move(action))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (!fired && event->type() == type) {
            fired = true;
            action();
        }
        return false;
    }
    QEvent::Type type;
    std::function<void()> action;
    bool fired = false;
};

const QString DemoPalette = QStringLiteral(PALETTRA_SOURCE_DIR "/data/demo/palette.xml");
// Chips of the demo palette: (row, column) → colour.
constexpr DWORD SummerJade = 0x0091B169;   // 0,0: (105, 177, 145)
constexpr DWORD ShadowLilac = 0x009F5673;  // 0,1: (115, 86, 159)
constexpr DWORD CloudPebble = 0x00BBC5CB;  // 1,0: (203, 197, 187)

inline QString text(const MCHAR *value)
{
    return value ? QString::fromUtf16(value) : QString();
}

struct RecordingCallback : HSVCallback
{
    QStringList events;
    void ColorChanged(DWORD col, BOOL buttonUp) override
    {
        events << QStringLiteral("ColorChanged %1 %2").arg(col, 8, 16, QLatin1Char('0')).arg(buttonUp);
    }
    void BeingDestroyed(IPoint2 pos) override { events << QStringLiteral("BeingDestroyed %1 %2").arg(pos.x).arg(pos.y); }
    void OnOK() override { events << QStringLiteral("OnOK"); }
};

inline QString changed(DWORD colour)
{
    return QStringLiteral("ColorChanged %1 1").arg(colour, 8, 16, QLatin1Char('0'));
}

// A host window that records the messages sent to it.
struct HostWindow
{
    QWidget widget;
    HWND handle = nullptr;
    QList<QPair<UINT, WPARAM>> messages;

    HostWindow()
    {
        widget.resize(400, 300);
        handle = Win32Layer::createHostWindow(
            &widget,
            [](HWND, UINT message, WPARAM wParam, LPARAM, void *context) -> LRESULT {
                static_cast<HostWindow *>(context)->messages << qMakePair(message, wParam);
                return 0;
            },
            this);
    }
};

class PluginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        qputenv("XDG_DATA_DIRS", PALETTRA_DATA_DIR);
        ASSERT_EQ(LibInitialize(), 1);
        picker = static_cast<ColPick *>(LibClassDesc(0)->Create(FALSE));
        ASSERT_NE(picker, nullptr);
    }
    void TearDown() override
    {
        if (picker)
            picker->DeleteThis();
    }

    ZylaMAXColPick &colPick() const { return *static_cast<ZylaMAXColPick *>(picker); }
    ZylaMainWidgetBridge *bridgeOf(HWND owner) const { return colPick().record(owner).bridge; }

    static Vantor::MyPaletteWidget *paletteOf(ZylaMainWidgetBridge *bridge)
    {
        return bridge->mainWidget()->myPaletteWidget();
    }
    static void loadDemoPalette(ZylaMainWidgetBridge *bridge) { paletteOf(bridge)->loadPalette(DemoPalette); }
    static void clickCell(ZylaMainWidgetBridge *bridge, int row, int column, Qt::KeyboardModifiers modifiers = {})
    {
        Vantor::MyPaletteWidget *palette = paletteOf(bridge);
        QTest::mouseClick(palette, Qt::LeftButton, modifiers, palette->cellGeometry(row, column).center());
    }
    static void pressTask(ZylaMainWidgetBridge *bridge) { QTest::mouseClick(bridge->taskButton(), Qt::LeftButton); }
    // Loads the demo palette, selects its Shadow Lilac and presses the task button.
    static void pickShadowLilac(ZylaMainWidgetBridge *bridge)
    {
        loadDemoPalette(bridge);
        clickCell(bridge, 0, 1);
        pressTask(bridge);
    }

    // Runs `steps` inside the modal picker's own loop, then the picker.
    int runModal(HWND owner, DWORD *colour, IPoint2 *position, HSVCallback *callback,
                 const std::function<void(ZylaMainWidgetBridge *)> &steps, const MCHAR *name = nullptr)
    {
        QTimer::singleShot(0, [this, owner, steps] {
            ZylaMainWidgetBridge *bridge = bridgeOf(owner);
            EXPECT_NE(bridge, nullptr);
            if (!bridge)
                return;
            // The record knows the modal dialog only through the bridge inside it.
            const HWND dialog = bridge->parentWindow();
            steps(bridge);
            // Never leave the loop waiting for a user.
            if (IsWindow(dialog) && IsWindowVisible(dialog))
                Win32Layer::widgetOf(dialog)->close();
        });
        return picker->ModalColorPicker(owner, colour, position, callback, name);
    }

    // The host goes on with its window after whatever happened to its last picker: a new
    // picker (of a new picker object where the host deleted its own) reports a pick.
    void expectOwnerPicksAgain(HWND owner)
    {
        if (!picker)
            picker = static_cast<ColPick *>(LibClassDesc(0)->Create(FALSE));
        RecordingCallback next;
        ColorPicker *again = picker->CreateColorPicker(owner, 0, nullptr, &next, static_cast<const MCHAR *>(nullptr), FALSE);
        ZylaMainWidgetBridge *fresh = bridgeOf(owner);
        ASSERT_NE(fresh, nullptr);
        pickShadowLilac(fresh);
        EXPECT_EQ(next.events, QStringList{changed(ShadowLilac)});
        again->Destroy();
        delete again;
    }

    ColPick *picker = nullptr;
};


} // namespace PluginTesting
