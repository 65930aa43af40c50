// A host that tears pickers down in every order a real one can: while a nested dialog
// runs, from each callback of a modal picker and from a timer, a modal and a modeless
// picker of one owner, its own window deleted under a picker, twice the same Destroy,
// and a thousand pickers opened and closed.
#include "PluginTestSupport.h"

#include "host/plugin/ZylaMaxModelessColorPicker.h"

#include "engine/ui/MainWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ImageButton.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <memory>

using namespace PluginTesting;

namespace {

// Once a dialog of the engine shows (a QDialog window over the picker), runs `action`
// on it from inside the dialog's own loop.
void whenDialogShows(const std::function<void(QDialog *)> &action)
{
    auto *poll = new QTimer;
    auto *waited = new QElapsedTimer;
    waited->start();
    QObject::connect(poll, &QTimer::timeout, [poll, waited, action] {
        QDialog *shown = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
                shown = dialog;
        }
        if (!shown && waited->elapsed() < 10000)
            return;
        poll->stop();
        poll->deleteLater();
        delete waited;
        EXPECT_NE(shown, nullptr) << "no dialog showed";
        if (shown)
            action(shown);
    });
    poll->start(5);
}

const QByteArray Measurement = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<cc:CxF xmlns:cc=\"http://colorexchangeformat.com/CxF3-core\"><cc:Resources>"
                               "<cc:ObjectCollection><cc:Object ObjectType=\"Standard\" Name=\"OT 1042\"/>"
                               "</cc:ObjectCollection></cc:Resources></cc:CxF>";

enum class Nested { AboutBox, LoadDialog, SaveDialog, CapsureMatch, ClearQuestion };
enum class Teardown { ModelessDestroy, ModelessDeleteThis, ModalDeleteThis };

// Opens the nested dialog from the picker's own buttons, as a user would.
void openNested(ZylaMainWidgetBridge *bridge, Nested nested, const QString &measurementPath)
{
    Vantor::MainWidget *main = bridge->mainWidget();
    switch (nested) {
    case Nested::AboutBox:
        QTest::mouseClick(main->headerButton(Vantor::MainWidget::AboutButtonId), Qt::LeftButton);
        break;
    case Nested::LoadDialog:
        QTest::mouseClick(main->headerButton(Vantor::MainWidget::LoadButtonId), Qt::LeftButton);
        break;
    case Nested::SaveDialog:
        QTest::mouseClick(main->headerButton(Vantor::MainWidget::SaveButtonId), Qt::LeftButton);
        break;
    case Nested::CapsureMatch: {
        Vantor::CollectionSelectWidget *selector = main->collectionSelectWidget();
        selector->capsureFileChanged(measurementPath);
        ASSERT_FALSE(selector->capsureButton()->isHidden());
        QTest::mouseClick(selector->capsureButton(), Qt::LeftButton);
        break;
    }
    case Nested::ClearQuestion:
        QTest::mouseClick(main->myPaletteWidget()->trashButton(), Qt::LeftButton);
        break;
    }
}

class NestedDialogTeardown : public PluginTest, public ::testing::WithParamInterface<std::tuple<Nested, Teardown>>
{
};

std::string caseName(const ::testing::TestParamInfo<NestedDialogTeardown::ParamType> &info)
{
    static const char *const nestedNames[] = {"AboutBox", "LoadDialog", "SaveDialog", "CapsureMatch", "ClearQuestion"};
    static const char *const teardownNames[] = {"ModelessDestroy", "ModelessDeleteThis", "ModalDeleteThis"};
    return std::string(nestedNames[int(std::get<0>(info.param))]) + "_" + teardownNames[int(std::get<1>(info.param))];
}

} // namespace

// The host destroys the picker while one of its nested dialogs is open: the dialog ends,
// the frame that runs it returns into live widgets, and the picker's widgets go after.
TEST_P(NestedDialogTeardown, HostSurvivesAndSeesNoCallback)
{
    const auto [nested, teardown] = GetParam();
    QTemporaryDir folder;
    const QString measurementPath = folder.filePath(QStringLiteral("measured.cxf"));
    QFile file(measurementPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Measurement);
    file.close();

    HostWindow host;
    RecordingCallback callback;
    QPointer<ZylaMainWidgetBridge> bridge;
    QPointer<QDialog> nestedDialog;
    bool nestedReturned = false;
    bool tornDown = false;
    ColorPicker *modeless = nullptr;

    auto tearDownFrom = [&](QDialog *dialog) {
        nestedDialog = dialog;
        tornDown = true;
        if (teardown == Teardown::ModelessDestroy) {
            modeless->Destroy();
        } else {
            picker->DeleteThis();
            picker = nullptr;
        }
        // The picker's widgets are never deleted under the call that tears them down.
        EXPECT_FALSE(bridge.isNull());
    };
    auto openAndTearDown = [&](ZylaMainWidgetBridge *opened) {
        bridge = opened;
        loadDemoPalette(opened);
        whenDialogShows(tearDownFrom);
        openNested(opened, nested, measurementPath);
        nestedReturned = true;
        // The question runs no loop of its own: its click returns before the teardown.
        EXPECT_TRUE(QTest::qWaitFor([&] { return tornDown; }, 10000));
    };

    DWORD colour = 0x00123456;
    if (teardown == Teardown::ModalDeleteThis) {
        // runModal's own steps must not touch the deleted picker: the window is gone.
        QTimer::singleShot(0, [&] { openAndTearDown(bridgeOf(host.handle)); });
        const int result = picker->ModalColorPicker(host.handle, &colour, nullptr, &callback, static_cast<const MCHAR *>(nullptr));
        EXPECT_EQ(result, 0); // as if the user cancelled
    } else {
        modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
        openAndTearDown(bridgeOf(host.handle));
    }
    EXPECT_TRUE(nestedReturned);
    EXPECT_EQ(colour, 0x00123456u);
    EXPECT_TRUE(callback.events.isEmpty()) << callback.events.join(QLatin1Char('|')).toStdString();
    if (picker) {
        EXPECT_EQ(colPick().recordCount(), 0u);
    }
    runDeferredDeletions();
    EXPECT_TRUE(bridge.isNull());
    EXPECT_TRUE(nestedDialog.isNull());
    EXPECT_TRUE(IsWindowEnabled(host.handle));
    delete modeless;

    expectOwnerPicksAgain(host.handle);
}

INSTANTIATE_TEST_SUITE_P(
    EveryDialogEveryTeardown, NestedDialogTeardown,
    ::testing::Combine(::testing::Values(Nested::AboutBox, Nested::LoadDialog, Nested::SaveDialog, Nested::CapsureMatch,
                                         Nested::ClearQuestion),
                       ::testing::Values(Teardown::ModelessDestroy, Teardown::ModelessDeleteThis, Teardown::ModalDeleteThis)),
    caseName);

namespace {

// A host that deletes the colour picker object from one of its callbacks.
struct DeletingCallback : RecordingCallback
{
    enum class When { BeingDestroyed, OnOK, ColorChanged };
    When when = When::BeingDestroyed;
    ColPick **picker = nullptr;

    void deleteIf(When now)
    {
        if (now == when && *picker) {
            (*picker)->DeleteThis();
            *picker = nullptr;
        }
    }
    void ColorChanged(DWORD col, BOOL buttonUp) override
    {
        RecordingCallback::ColorChanged(col, buttonUp);
        deleteIf(When::ColorChanged);
    }
    void BeingDestroyed(IPoint2 pos) override
    {
        RecordingCallback::BeingDestroyed(pos);
        deleteIf(When::BeingDestroyed);
    }
    void OnOK() override
    {
        RecordingCallback::OnOK();
        deleteIf(When::OnOK);
    }
};

} // namespace

TEST_F(PluginTest, ModalPickerDeletedFromEachCallbackOrATimer)
{
    struct Case
    {
        const char *name;
        DeletingCallback::When when;
        bool pick;     // press the task button, else close the window
        bool byTimer;  // DeleteThis from a host timer while the dialog runs
        int result;
        QStringList events;
        DWORD colour;
    };
    const QList<Case> cases{
        {"BeingDestroyed", DeletingCallback::When::BeingDestroyed, false, false, 0, {QStringLiteral("BeingDestroyed 0 0")}, 0x00ABCDEF},
        {"OnOK", DeletingCallback::When::OnOK, false, false, 0, {QStringLiteral("BeingDestroyed 0 0"), QStringLiteral("OnOK")}, 0x00ABCDEF},
        {"ColorChanged", DeletingCallback::When::ColorChanged, true, false, 1, {changed(ShadowLilac)}, ShadowLilac},
        {"timer", DeletingCallback::When::ColorChanged, false, true, 0, {}, 0x00ABCDEF},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.name);
        if (!picker)
            picker = static_cast<ColPick *>(LibClassDesc(0)->Create(FALSE));
        HostWindow host;
        DeletingCallback callback;
        callback.when = test.when;
        callback.picker = &picker;
        DWORD colour = 0x00ABCDEF;
        QPointer<ZylaMainWidgetBridge> bridge;
        QPointer<QAbstractButton> task;
        QTimer::singleShot(0, [&] {
            bridge = bridgeOf(host.handle);
            ASSERT_FALSE(bridge.isNull());
            task = bridge->taskButton();
            const HWND dialog = bridge->parentWindow();
            loadDemoPalette(bridge);
            clickCell(bridge, 0, 1);
            if (test.byTimer) {
                picker->DeleteThis();
                picker = nullptr;
                EXPECT_FALSE(IsWindow(dialog));
                // A press on whatever is left of the picker does nothing.
                if (task)
                    QTest::mouseClick(task, Qt::LeftButton);
            } else if (test.pick) {
                pressTask(bridge);
            } else {
                Win32Layer::widgetOf(dialog)->close();
            }
        });
        const int result = picker->ModalColorPicker(host.handle, &colour, nullptr, &callback, static_cast<const MCHAR *>(nullptr));
        EXPECT_EQ(result, test.result);
        EXPECT_EQ(colour, test.colour);
        EXPECT_EQ(callback.events, test.events);
        EXPECT_EQ(picker, nullptr); // every case deleted it
        EXPECT_TRUE(IsWindowEnabled(host.handle));
        runDeferredDeletions();
        EXPECT_TRUE(bridge.isNull());
        if (task)
            QTest::mouseClick(task, Qt::LeftButton);
        EXPECT_EQ(callback.events, test.events);
    }
}

TEST_F(PluginTest, ModalAndModelessPickersOfOneOwnerKeepTheirOwnRecords)
{
    HostWindow host;
    RecordingCallback modelessCallback;
    RecordingCallback modalCallback;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &modelessCallback,
                                                      static_cast<const MCHAR *>(nullptr), FALSE);
    const HWND modelessDialog = colPick().record(host.handle).dialog;

    // The modeless picker is destroyed while the modal one runs; the modal one still picks.
    DWORD colour = 0;
    const int result = runModal(host.handle, &colour, nullptr, &modalCallback, [&](ZylaMainWidgetBridge *) {
        modeless->Destroy();
        EXPECT_FALSE(IsWindow(modelessDialog));
        ZylaMainWidgetBridge *modal = bridgeOf(host.handle);
        ASSERT_NE(modal, nullptr);
        loadDemoPalette(modal);
        clickCell(modal, 0, 0);
        pressTask(modal);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(colour, SummerJade);
    EXPECT_EQ(modalCallback.events, QStringList{changed(SummerJade)});
    EXPECT_TRUE(modelessCallback.events.isEmpty());
    EXPECT_EQ(colPick().recordCount(), 0u);
    delete modeless;

    // A modeless picker opened while a modal one runs outlives it and still reports.
    ColorPicker *later = nullptr;
    runModal(host.handle, nullptr, nullptr, nullptr, [&](ZylaMainWidgetBridge *) {
        later = picker->CreateColorPicker(host.handle, 0, nullptr, &modelessCallback, static_cast<const MCHAR *>(nullptr), FALSE);
    });
    ASSERT_NE(later, nullptr);
    ZylaMainWidgetBridge *remaining = bridgeOf(host.handle);
    ASSERT_NE(remaining, nullptr);
    loadDemoPalette(remaining);
    clickCell(remaining, 0, 1);
    pressTask(remaining);
    EXPECT_EQ(modelessCallback.events, QStringList{changed(ShadowLilac)});
    later->Destroy();
    delete later;
    EXPECT_EQ(colPick().recordCount(), 0u);
}

TEST_F(PluginTest, OwnerWindowDeletedUnderAPicker)
{
    // Under a modal picker: the loop ends (no hang) and the host hears a cancel.
    auto *owner = new HostWindow;
    RecordingCallback callback;
    DWORD colour = 0x00ABCDEF;
    QPointer<ZylaMainWidgetBridge> bridge;
    QTimer::singleShot(0, [&] {
        bridge = bridgeOf(owner->handle);
        delete owner;
        owner = nullptr;
    });
    const HWND ownerHandle = owner->handle;
    EXPECT_EQ(picker->ModalColorPicker(ownerHandle, &colour, nullptr, &callback, static_cast<const MCHAR *>(nullptr)), 0);
    EXPECT_EQ(colour, 0x00ABCDEFu);
    EXPECT_TRUE(callback.events.isEmpty());
    EXPECT_EQ(colPick().recordCount(), 0u);
    runDeferredDeletions();
    EXPECT_TRUE(bridge.isNull());

    // Under a modeless picker: the dialog hears WM_DESTROY, the record keeps no bridge,
    // and the host's later calls find no window.
    owner = new HostWindow;
    const HWND second = owner->handle;
    ColorPicker *modeless = picker->CreateColorPicker(second, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    const HWND dialog = colPick().record(second).dialog;
    bridge = bridgeOf(second);
    delete owner;
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(colPick().record(second).bridge, nullptr);
    runDeferredDeletions();
    EXPECT_TRUE(bridge.isNull());
    modeless->InstallNewCB(0, &callback, _M("Diffuse"));
    EXPECT_EQ(modeless->GetPosition().x, 0);
    modeless->Destroy();
    EXPECT_EQ(colPick().recordCount(), 0u);
    EXPECT_TRUE(callback.events.isEmpty());
    delete modeless;
}

TEST_F(PluginTest, DestroyTwice)
{
    HostWindow host;
    RecordingCallback callback;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    const HWND dialog = colPick().record(host.handle).dialog;
    modeless->Destroy();
    modeless->Destroy();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(colPick().recordCount(), 0u);
    EXPECT_TRUE(callback.events.isEmpty());
    delete modeless;
}

namespace {

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * 4096 : -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif

} // namespace

// Opening and closing pickers over and over keeps memory flat; LeakSanitizer checks the
// sanitizer build's run for leaks at exit, where resident memory says nothing (freed
// memory is held in quarantine), so that build runs fewer cycles.
TEST_F(PluginTest, AThousandPickersOpenedAndClosed)
{
    const int cycles = Sanitized ? 100 : 1000;
    HostWindow host;
    RecordingCallback callback;
    int opened = 0;
    auto cycle = [&] {
        ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
        opened += bridgeOf(host.handle) ? 1 : 0;
        modeless->Destroy();
        delete modeless;
        runModal(host.handle, nullptr, nullptr, &callback, [&](ZylaMainWidgetBridge *) { ++opened; });
        runDeferredDeletions();
    };
    for (int i = 0; i < 20; ++i) // caches and pools settle first
        cycle();
    const qint64 before = residentBytes();
    for (int i = 0; i < cycles; ++i)
        cycle();
    const qint64 growth = residentBytes() - before;
    EXPECT_EQ(opened, 2 * (cycles + 20));
    EXPECT_EQ(colPick().recordCount(), 0u);
    EXPECT_EQ(callback.events.size(), 2 * (cycles + 20)); // BeingDestroyed and OnOK of each modal close
    if (!Sanitized) {
        EXPECT_LT(growth, 4 * 1024 * 1024) << growth << " bytes more after " << cycles << " cycles";
    }
}
