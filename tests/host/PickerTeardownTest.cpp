// Hosts that tear pickers down at awkward moments, the about box as the plug-in shows
// it, and the dialog details of the Win32 stand-in that the picker relies on.
#include "PluginTestSupport.h"

#include "host/plugin/ZylaMaxModelessColorPicker.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

using namespace PluginTesting;

namespace {

// A host that destroys its modeless picker from one of the picker's callbacks.
struct DestroyingCallback : RecordingCallback
{
    enum class When { BeingDestroyed, OnOK, ColorChanged };
    When when = When::BeingDestroyed;
    ColorPicker *modeless = nullptr;

    void destroyIf(When now)
    {
        if (now == when && modeless)
            modeless->Destroy();
    }
    void ColorChanged(DWORD col, BOOL buttonUp) override
    {
        RecordingCallback::ColorChanged(col, buttonUp);
        destroyIf(When::ColorChanged);
    }
    void BeingDestroyed(IPoint2 pos) override
    {
        RecordingCallback::BeingDestroyed(pos);
        destroyIf(When::BeingDestroyed);
    }
    void OnOK() override
    {
        RecordingCallback::OnOK();
        destroyIf(When::OnOK);
    }
};

} // namespace

TEST_F(PluginTest, HostMayDestroyThePickerFromTheCallbacksOfItsClose)
{
    for (const auto when : {DestroyingCallback::When::BeingDestroyed, DestroyingCallback::When::OnOK}) {
        HostWindow host;
        DestroyingCallback callback;
        callback.when = when;
        ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
        callback.modeless = modeless;
        const HWND dialog = colPick().record(host.handle).dialog;
        const QPointer<QWidget> window = Win32Layer::widgetOf(dialog);
        const QPointer<ZylaMainWidgetBridge> bridge = bridgeOf(host.handle);
        ASSERT_TRUE(window && bridge);

        window->close(); // the window's close button: WM_CLOSE
        EXPECT_FALSE(IsWindow(dialog));
        EXPECT_FALSE(colPick().hasRecord(host.handle));
        // Nothing more is asked of a picker the host has destroyed.
        const QStringList expected = when == DestroyingCallback::When::BeingDestroyed
            ? QStringList{QStringLiteral("BeingDestroyed 0 0")}
            : QStringList{QStringLiteral("BeingDestroyed 0 0"), QStringLiteral("OnOK")};
        EXPECT_EQ(callback.events, expected);
        runDeferredDeletions();
        EXPECT_TRUE(window.isNull());
        EXPECT_TRUE(bridge.isNull());
        modeless->Destroy(); // again: no record, nothing happens
        delete modeless;
    }
}

TEST_F(PluginTest, HostMayDestroyThePickerWhenItReportsAColour)
{
    HostWindow host;
    DestroyingCallback callback;
    callback.when = DestroyingCallback::When::ColorChanged;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    callback.modeless = modeless;
    const QPointer<ZylaMainWidgetBridge> bridge = bridgeOf(host.handle);
    loadDemoPalette(bridge);
    clickCell(bridge, 0, 1);
    pressTask(bridge); // the bridge is inside its click when the host destroys it
    EXPECT_EQ(callback.events, QStringList{changed(ShadowLilac)});
    EXPECT_FALSE(colPick().hasRecord(host.handle));
    runDeferredDeletions();
    EXPECT_TRUE(bridge.isNull());
    delete modeless;
}

TEST_F(PluginTest, ModelessPickersOutliveTheColourPickerThatMadeThem)
{
    HostWindow host;
    RecordingCallback callback;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    const HWND dialog = colPick().record(host.handle).dialog;
    picker->DeleteThis();
    picker = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
    // Without their picker they act as pickers without a record.
    EXPECT_EQ(modeless->GetPosition().x, 0);
    EXPECT_EQ(modeless->GetPosition().y, 0);
    modeless->InstallNewCB(0, &callback, _M("Specular"));
    modeless->Destroy();
    EXPECT_EQ(fallbackPickerRecord().callback, nullptr);
    delete modeless;
}

TEST_F(PluginTest, AboutBoxOfThePluginShowsTheCollectionsVersionText)
{
    HostWindow host;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    QAbstractButton *about = bridge->mainWidget()->headerButton(Vantor::MainWidget::AboutButtonId);
    ASSERT_NE(about, bridge->mainWidget()->headerButton(12345)); // a real button, not the fallback
    QStringList labels;
    QTimer::singleShot(0, [&labels] {
        auto *box = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        for (const QLabel *label : box->findChildren<QLabel *>())
            labels << label->text();
        box->reject();
    });
    QTest::mouseClick(about, Qt::LeftButton);
    EXPECT_TRUE(labels.contains(QStringLiteral("Version 4.0.0 (64bit)"))) << labels.join(QLatin1Char('|')).toStdString();
    modeless->Destroy();
    delete modeless;
}

// A picker opens where the host asks, in screen pixels, and reports where it stands: a
// picker reopened where the last one was reported stays there. One asked to stand off
// every screen comes onto the nearest one.
TEST_F(PluginTest, PickersOpenWhereTheHostAsksAndStayReachable)
{
    HostWindow host;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QList<QPushButton *> cancelButtons;
    auto modalAt = [&](IPoint2 position) {
        QPoint placed;
        RecordingCallback callback;
        runModal(host.handle, nullptr, &position, &callback, [&](ZylaMainWidgetBridge *bridge) {
            const HWND dialog = bridge->parentWindow();
            RECT frame;
            GetWindowRect(dialog, &frame);
            placed = QPoint(frame.left, frame.top);
            cancelButtons = Win32Layer::widgetOf(dialog)->findChildren<QPushButton *>(QString(), Qt::FindDirectChildrenOnly);
            for (const QPushButton *button : cancelButtons)
                EXPECT_EQ(button->focusPolicy(), Qt::NoFocus); // the hidden Cancel button is no tab stop
        });
        // Closing reports where the window stood.
        EXPECT_EQ(callback.events.value(0), QStringLiteral("BeingDestroyed %1 %2").arg(placed.x()).arg(placed.y()));
        return placed;
    };
    const QPoint asked(screen.left() + 100, screen.top() + 80);
    const QPoint first = modalAt(IPoint2(asked.x(), asked.y()));
    EXPECT_EQ(first, asked);
    EXPECT_EQ(modalAt(IPoint2(first.x(), first.y())), first); // a round trip does not drift
    EXPECT_EQ(cancelButtons.size(), 1);

    // Far off (beyond 16 bits too) and just off the right edge: back on the screen.
    for (const IPoint2 far : {IPoint2(70000, 70000), IPoint2(-70000, 20), IPoint2(screen.right() + 10, screen.top())}) {
        const QPoint placed = modalAt(far);
        EXPECT_TRUE(screen.contains(placed)) << far.x << "," << far.y << " -> " << placed.x() << "," << placed.y();
    }

    IPoint2 position(70000, 70000);
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, &position, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    const IPoint2 reported = modeless->GetPosition();
    EXPECT_TRUE(screen.contains(QPoint(reported.x, reported.y)));
    modeless->Destroy();
    delete modeless;
}

// The dialog style of a picker: no thick frame (fixed size), no maximise box, and the
// program's icon.
TEST_F(PluginTest, PickerDialogsCannotBeResizedOrMaximised)
{
    HostWindow host;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    QWidget *dialog = Win32Layer::widgetOf(colPick().record(host.handle).dialog);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->minimumSize(), QSize(800, 600));
    EXPECT_EQ(dialog->maximumSize(), QSize(800, 600));
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog->windowIcon().isNull());
    modeless->Destroy();
    delete modeless;
}

TEST(Win32StandIn, ButtonsTakeTheFocusOnlyWithATabStop)
{
    QWidget parent;
    const HWND window = Win32Layer::createHostWindow(&parent, nullptr, nullptr);
    const HWND plain = CreateWindowExW(0, u"Button", u"Plain", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
    const HWND tabStop = CreateWindowExW(0, u"Button", u"Tab", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, window,
                                         nullptr, nullptr, nullptr);
    EXPECT_EQ(Win32Layer::widgetOf(plain)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(Win32Layer::widgetOf(tabStop)->focusPolicy(), Qt::StrongFocus);
    DestroyWindow(plain);
    DestroyWindow(tabStop);
    EXPECT_FALSE(IsWindow(plain));
}
