// The plug-in library as 3ds Max sees it: entry points, pickers, the bridge in the
// picker dialog, and the whole path through the host simulator.
#include "PluginTestSupport.h"
#include "TestEnvironment.h"

#include "host/plugin/PickerDialog.h"
#include "host/plugin/PickerRecord.h"
#include "host/plugin/PluginEntry.h"
#include "host/plugin/QWinWidget.h"
#include "host/plugin/ZylaMAXColPick.h"
#include "host/plugin/ZylaMainWidgetBridge.h"
#include "host/plugin/ZylaMaxColPickClassDesc.h"
#include "host/plugin/ZylaMaxModelessColorPicker.h"

#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/MainWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace PluginTesting;

TEST(PluginEntryPoints, ValuesAndClassDescriptor)
{
    EXPECT_EQ(text(LibDescription()), QStringLiteral("Orva Tavel Color Picker"));
    EXPECT_EQ(LibNumberClasses(), 1);
    EXPECT_EQ(LibVersion(), 0x3A982800UL);
    EXPECT_EQ(LibShutdown(), 1);
    EXPECT_EQ(LibClassDesc(1), nullptr);
    EXPECT_EQ(LibClassDesc(-1), nullptr);

    ClassDesc *descriptor = LibClassDesc(0);
    ASSERT_NE(descriptor, nullptr);
    EXPECT_EQ(descriptor, LibClassDesc(0));
    EXPECT_EQ(descriptor->IsPublic(), 1);
    EXPECT_EQ(text(descriptor->ClassName()), text(descriptor->InternalName()));
    EXPECT_EQ(text(descriptor->InternalName()), text(LibDescription()));
    EXPECT_EQ(text(descriptor->Category()), QStringLiteral("Color Picker"));
    EXPECT_EQ(descriptor->SuperClassID(), 0x10C0UL);
    EXPECT_EQ(descriptor->ClassID(), Class_ID(0x079A7D2C, 0x19C33D87));
    EXPECT_NE(descriptor->HInstance(), nullptr);
    EXPECT_EQ(descriptor->NumParamBlockDescs(), 0);
}

TEST(PluginEntryPoints, WithoutCollectionsInitialisationFailsAndNothingIsCreated)
{
    // The isolated data folder holds no collections.
    EXPECT_EQ(LibInitialize(), 0);
    EXPECT_EQ(LibClassDesc(0)->Create(FALSE), nullptr);
}

TEST(PickerValues, ColourValueAndDialogTemplates)
{
    EXPECT_EQ(colorRefOf(QColor(255, 128, 0)), 0x000080FFUL);
    EXPECT_EQ(colorRefOf(QColor(0, 0, 255)), 0x00FF0000UL);

    for (const bool modal : {true, false}) {
        const std::vector<WORD> words = pickerDialogTemplate(modal, IPoint2(30, 50));
        ASSERT_EQ(words.size() * sizeof(WORD), sizeof(DLGTEMPLATEEX_HEADER) + 3 * sizeof(WORD));
        DLGTEMPLATEEX_HEADER header;
        std::memcpy(&header, words.data(), sizeof(header));
        EXPECT_EQ(header.dlgVer, 1);
        EXPECT_EQ(header.signature, 0xFFFF);
        EXPECT_EQ(header.helpID, 0u);
        EXPECT_EQ(header.exStyle, 0x00010101u);
        EXPECT_EQ(header.style, modal ? 0x92C80084u : 0x82C80084u);
        EXPECT_EQ(header.cDlgItems, 0);
        EXPECT_EQ(header.x, modal ? 30 : 128);
        EXPECT_EQ(header.y, modal ? 50 : 128);
        EXPECT_EQ(header.cx, MulDiv(800, 4, LOWORD(GetDialogBaseUnits())));
        EXPECT_EQ(header.cy, MulDiv(600, 8, HIWORD(GetDialogBaseUnits())));
        EXPECT_EQ(words[words.size() - 1] | words[words.size() - 2] | words[words.size() - 3], 0);
    }
    // Rounds half away from zero, as the native call does.
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(PickerValues, FallbackRecordIsDisabledAndStaysEmpty)
{
    PickerRecord &fallback = fallbackPickerRecord();
    EXPECT_EQ(fallback.disabled, 1);
    fallback.color = 0x123456;
    EXPECT_EQ(fallbackPickerRecord().color, 0u);
    EXPECT_EQ(fallbackPickerRecord().dialog, nullptr);
}

TEST_F(PluginTest, PickerAnswersItsClass)
{
    EXPECT_EQ(text(picker->ClassName()), QStringLiteral("Orva Tavel Color Picker"));
    EXPECT_EQ(picker->ClassID(), Class_ID(0x079A7D2C, 0x19C33D87));
    EXPECT_EQ(picker->Execute(1, 2, 3, 4), 0);
    EXPECT_EQ(picker->ModalColorPicker(nullptr, static_cast<AColor *>(nullptr), nullptr, nullptr, nullptr), 0);
}

TEST_F(PluginTest, ModalPickerReturnsThePickedColour)
{
    HostWindow host;
    RecordingCallback callback;
    DWORD colour = 0x00123456;
    IPoint2 position(20, 30);
    QString title;
    DWORD startColour = 0;
    const int result = runModal(host.handle, &colour, &position, &callback, [&](ZylaMainWidgetBridge *bridge) {
        const PickerRecord &record = colPick().record(host.handle);
        startColour = record.color;
        EXPECT_EQ(record.modal, 1);
        EXPECT_FALSE(IsWindowEnabled(host.handle)); // the host waits for the dialog
        QWidget *dialog = Win32Layer::widgetOf(bridge->parentWindow());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->size(), QSize(800, 600));
        EXPECT_EQ(bridge->geometry(), QRect(0, 0, 800, 600));
        title = dialog->windowTitle();
        loadDemoPalette(bridge);
        clickCell(bridge, 0, 1);
        pressTask(bridge);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(startColour, 0x00123456u);
    EXPECT_EQ(colour, ShadowLilac);
    EXPECT_EQ(callback.events, QStringList{changed(ShadowLilac)});
    EXPECT_EQ(position.x, 20); // not written back
    EXPECT_EQ(colPick().recordCount(), 0u);
    EXPECT_TRUE(IsWindowEnabled(host.handle));
    EXPECT_EQ(title, QStringLiteral("Orva Interior"));
}

TEST_F(PluginTest, ClosedModalPickerReturnsZeroAndKeepsTheColour)
{
    HostWindow host;
    RecordingCallback callback;
    DWORD colour = 0x00ABCDEF;
    const int result = runModal(host.handle, &colour, nullptr, &callback, [&](ZylaMainWidgetBridge *bridge) {
        EXPECT_EQ(colPick().record(host.handle).position.x, 0);
        Win32Layer::widgetOf(bridge->parentWindow())->close();
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(colour, 0x00ABCDEFu);
    ASSERT_EQ(callback.events.size(), 2);
    EXPECT_TRUE(callback.events[0].startsWith(QLatin1String("BeingDestroyed ")));
    EXPECT_EQ(callback.events[1], QStringLiteral("OnOK"));
    EXPECT_EQ(colPick().recordCount(), 0u);
}

TEST_F(PluginTest, ModalPickerWithoutColourStartsFromBlackAndWritesNothing)
{
    HostWindow host;
    DWORD startColour = 1;
    const int result = runModal(host.handle, nullptr, nullptr, nullptr, [&](ZylaMainWidgetBridge *bridge) {
        startColour = colPick().record(host.handle).color;
        loadDemoPalette(bridge);
        clickCell(bridge, 0, 0);
        pressTask(bridge);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(startColour, 0u);
}

TEST_F(PluginTest, ModalPickerShowsTheHostsNameOnTheTaskButton)
{
    HostWindow host;
    QString buttonText;
    runModal(host.handle, nullptr, nullptr, nullptr,
             [&](ZylaMainWidgetBridge *bridge) { buttonText = bridge->taskButton()->text(); }, _M("Diffuse"));
    EXPECT_EQ(buttonText, QStringLiteral("Diffuse"));
}

TEST_F(PluginTest, TaskButtonNeedsExactlyOneOccupiedSelectedCell)
{
    HostWindow host;
    RecordingCallback callback;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    ASSERT_NE(bridge, nullptr);
    EXPECT_EQ(bridge->taskButton()->text(), QStringLiteral("Use colour"));
    QList<quint16> order = bridge->mainWidget()->headerButtonOrder();
    EXPECT_EQ(order.mid(0, 3), (QList<quint16>{1, 2, bridge->taskButtonId()}));
    EXPECT_EQ(order.mid(3), (QList<quint16>{3, 4}));

    loadDemoPalette(bridge);
    clickCell(bridge, 0, 0);
    clickCell(bridge, 0, 0, Qt::ControlModifier);
    ASSERT_TRUE(paletteOf(bridge)->model().selection().isEmpty());
    EXPECT_FALSE(bridge->taskButton()->isEnabled()); // nothing selected
    clickCell(bridge, 0, 0);
    EXPECT_TRUE(bridge->taskButton()->isEnabled());
    clickCell(bridge, 0, 1, Qt::ControlModifier);
    EXPECT_EQ(paletteOf(bridge)->model().selection().size(), 2);
    EXPECT_FALSE(bridge->taskButton()->isEnabled());
    pressTask(bridge);
    bridge->taskButtonClicked(); // even called directly it picks nothing
    EXPECT_TRUE(callback.events.isEmpty());
    clickCell(bridge, 3, 5); // an empty cell
    EXPECT_FALSE(bridge->taskButton()->isEnabled());
    bridge->taskButtonClicked();
    EXPECT_TRUE(callback.events.isEmpty());

    // A chip whose collection cannot be read now is picked as the cell shows it.
    Vantor::DB::ColorEntry unreadable;
    unreadable.id = 9999;
    unreadable.pageId = 1;
    unreadable.red = 1;
    unreadable.green = 2;
    unreadable.blue = 3;
    unreadable.code = QStringLiteral("XX 1");
    paletteOf(bridge)->model().setCell(QPoint(5, 3), QUuid::createUuid(), unreadable);
    clickCell(bridge, 3, 5);
    EXPECT_TRUE(bridge->taskButton()->isEnabled());
    pressTask(bridge);
    EXPECT_EQ(callback.events, QStringList{changed(0x00030201)});
    callback.events.clear();

    clickCell(bridge, 1, 0);
    pressTask(bridge);
    pressTask(bridge);
    EXPECT_EQ(callback.events, (QStringList{changed(CloudPebble), changed(CloudPebble)}));
    EXPECT_TRUE(IsWindowVisible(colPick().record(host.handle).dialog)); // a modeless picker stays open
    modeless->Destroy();
    delete modeless;
}

TEST_F(PluginTest, ModelessPickersOnePerOwner)
{
    HostWindow first, second;
    RecordingCallback callback;
    IPoint2 position(70, 90);
    ColorPicker *a = picker->CreateColorPicker(first.handle, 0x111111, &position, &callback, static_cast<const MCHAR *>(nullptr), FALSE);
    ColorPicker *b = picker->CreateColorPicker(first.handle, 0x222222, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    ColorPicker *c = picker->CreateColorPicker(second.handle, 0x333333, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), TRUE);
    EXPECT_EQ(colPick().recordCount(), 2u);
    const PickerRecord &firstRecord = colPick().record(first.handle);
    const PickerRecord &secondRecord = colPick().record(second.handle);
    EXPECT_EQ(firstRecord.color, 0x111111u); // the second call reused the record unchanged
    EXPECT_EQ(firstRecord.callback, &callback);
    EXPECT_EQ(firstRecord.modal, 0);
    EXPECT_EQ(secondRecord.isObjectColor, 1);
    const HWND firstDialog = firstRecord.dialog;
    EXPECT_TRUE(IsWindow(firstDialog));
    EXPECT_TRUE(IsWindow(secondRecord.dialog));
    EXPECT_NE(firstDialog, secondRecord.dialog);
    EXPECT_TRUE(IsWindowVisible(firstDialog));
    EXPECT_EQ(a->GetColor(), 0u);

    RECT frame;
    GetWindowRect(firstDialog, &frame);
    EXPECT_EQ(QPoint(frame.left, frame.top), QPoint(70, 90));
    EXPECT_EQ(a->GetPosition().x, 70);
    EXPECT_EQ(b->GetPosition().y, 90);

    // Closing only hides the window and tells the host.
    Win32Layer::widgetOf(firstDialog)->move(110, 120);
    Win32Layer::widgetOf(firstDialog)->close();
    EXPECT_EQ(callback.events, (QStringList{QStringLiteral("BeingDestroyed 110 120"), QStringLiteral("OnOK")}));
    EXPECT_TRUE(IsWindow(firstDialog));
    EXPECT_FALSE(IsWindowVisible(firstDialog));
    EXPECT_NE(colPick().record(first.handle).bridge, nullptr);

    // Asking again shows the same window at the record's position.
    ColorPicker *again = picker->CreateColorPicker(first.handle, 0, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    EXPECT_EQ(colPick().record(first.handle).dialog, firstDialog);
    EXPECT_TRUE(IsWindowVisible(firstDialog));
    EXPECT_EQ(again->GetPosition().x, 70);

    a->Destroy();
    EXPECT_FALSE(IsWindow(firstDialog));
    EXPECT_FALSE(colPick().hasRecord(first.handle));
    EXPECT_TRUE(colPick().hasRecord(second.handle));
    EXPECT_EQ(b->GetPosition().x, 0);
    b->Destroy(); // the record is gone already: nothing happens
    c->Destroy();
    EXPECT_EQ(colPick().recordCount(), 0u);
    for (ColorPicker *each : {a, b, c, again})
        delete each;
}

TEST_F(PluginTest, ObjectColoursGoToTheOwnerAsAMessage)
{
    HostWindow host;
    RecordingCallback callback;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &callback, static_cast<const MCHAR *>(nullptr), TRUE);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    loadDemoPalette(bridge);
    clickCell(bridge, 0, 0);
    pressTask(bridge);
    ASSERT_EQ(host.messages.size(), 1);
    EXPECT_EQ(host.messages[0].first, 0x0D11u);
    EXPECT_EQ(host.messages[0].second, WPARAM(SummerJade));
    EXPECT_TRUE(callback.events.isEmpty());
    modeless->Destroy();
    delete modeless;
}

TEST_F(PluginTest, InstallNewCallbackAndNames)
{
    HostWindow host;
    RecordingCallback first, second;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, &first, static_cast<const MCHAR *>(nullptr), FALSE);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    const HWND dialog = colPick().record(host.handle).dialog;

    modeless->InstallNewCB(0, nullptr, _M("Ambient"));
    EXPECT_EQ(colPick().record(host.handle).callback, &first); // a null callback keeps the old one
    EXPECT_EQ(colPick().record(host.handle).name, QStringLiteral("Ambient"));
    EXPECT_EQ(bridge->taskButton()->text(), QStringLiteral("Ambient"));

    // A collection switch retitles the dialog but keeps the host's name.
    bridge->selectedCollectionChanged(QUuid(QStringLiteral("{3f6c2a10-8d1e-4b7a-9c55-0e2b7d1a4002}")));
    EXPECT_EQ(Win32Layer::widgetOf(dialog)->windowTitle(), QStringLiteral("Orva Façade"));
    EXPECT_EQ(bridge->taskButton()->text(), QStringLiteral("Ambient"));

    modeless->InstallNewCB(0, &second, _M(""));
    EXPECT_EQ(colPick().record(host.handle).callback, &second);
    EXPECT_EQ(bridge->taskButton()->text(), QStringLiteral("Use colour"));

    loadDemoPalette(bridge);
    clickCell(bridge, 0, 1);
    pressTask(bridge);
    EXPECT_TRUE(first.events.isEmpty());
    EXPECT_EQ(second.events, QStringList{changed(ShadowLilac)});

    modeless->Destroy();
    modeless->InstallNewCB(0, &first, _M("After")); // no record any more: nothing to change
    EXPECT_EQ(fallbackPickerRecord().callback, nullptr);
    delete modeless;
}

TEST_F(PluginTest, PicksWithoutARecordDoNothing)
{
    HostWindow host;
    // A picker window without a record: whatever it picks goes nowhere.
    const std::vector<WORD> dialogTemplate = pickerDialogTemplate(false, IPoint2(0, 0));
    const HWND dialog = CreateDialogIndirectParamW(nullptr, dialogTemplate.data(), host.handle, pickerDialogProc, 0);
    ASSERT_TRUE(IsWindow(dialog));
    EXPECT_EQ(pickerRecordOf(dialog), nullptr);
    deliverPickedColour(dialog, 0x00FFFFFF);
    EXPECT_TRUE(host.messages.isEmpty());
    DestroyWindow(dialog);
}

TEST_F(PluginTest, DeletedPickerTakesItsWindowsAlong)
{
    HostWindow host;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    const HWND dialog = colPick().record(host.handle).dialog;
    picker->DeleteThis();
    picker = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
    delete modeless;
}

TEST_F(PluginTest, TabFromTheLastFocusableWidgetLeavesToTheHostWindow)
{
    HostWindow host;
    ColorPicker *modeless = picker->CreateColorPicker(host.handle, 0, nullptr, nullptr, static_cast<const MCHAR *>(nullptr), FALSE);
    ZylaMainWidgetBridge *bridge = bridgeOf(host.handle);
    const HWND dialog = colPick().record(host.handle).dialog;
    QWidget *dialogWidget = Win32Layer::widgetOf(dialog);
    dialogWidget->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialogWidget));

    // Entering by Tab lands on the first tab stop of the bridge.
    SetFocus(Win32Layer::handleOf(bridge));
    QWidget *first = QApplication::focusWidget();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(bridge->isAncestorOf(first));

    // Walk forward to the last tab stop, then once more.
    QWidget *last = nullptr;
    for (int step = 0; step < 200; ++step) {
        QWidget *focus = QApplication::focusWidget();
        if (!focus || !bridge->isAncestorOf(focus))
            break;
        last = focus;
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(GetFocus(), dialog);
    EXPECT_EQ(QApplication::focusWidget(), dialogWidget);
    modeless->Destroy();
    delete modeless;
}

TEST(QWinWidgetTest, ModalTopLevelChildDisablesTheHostWindowWhileShown)
{
    HostWindow host;
    host.widget.show();
    auto *embedded = new QWinWidget(host.handle);
    EXPECT_EQ(embedded->parentWidget(), &host.widget);
    EXPECT_EQ(GetWindowLongPtrW(Win32Layer::handleOf(embedded), GWL_STYLE), LONG_PTR(0x46000000));
    EXPECT_EQ(embedded->parentWindow(), host.handle);
    embedded->showCentered();
    EXPECT_EQ(embedded->geometry(), QRect(200, 150, 0, 0));

    auto *dialog = new QDialog(embedded);
    dialog->setModal(true);
    dialog->show();
    EXPECT_FALSE(IsWindowEnabled(host.handle));
    EXPECT_TRUE(dialog->isEnabled()); // the modal window itself takes input
    EXPECT_FALSE(embedded->isVisible());
    dialog->hide();
    EXPECT_TRUE(IsWindowEnabled(host.handle));

    // A modal window further down is not the widget's own child: it is not watched.
    auto *inner = new QWidget(embedded);
    auto *deeper = new QDialog(inner);
    deeper->setModal(true);
    deeper->show();
    EXPECT_TRUE(IsWindowEnabled(host.handle));
    deeper->hide();

    // A child removed while the host is disabled gives the host back.
    dialog->show();
    EXPECT_FALSE(IsWindowEnabled(host.handle));
    delete dialog;
    EXPECT_TRUE(IsWindowEnabled(host.handle));
    delete embedded;
}

TEST(HostSimulator, ScriptedRunsReportWhatTheHostSees)
{
    struct Run
    {
        QStringList arguments;
        QStringList expected;
    };
    const QString palette = DemoPalette;
    const QString screenshot = Palettra::Test::configHome() + QStringLiteral("/picker.png");
    // What 3ds Max asks when it loads a plug-in, and tells it before unloading it.
    const QStringList loaded{QStringLiteral("LibVersion 0x3A982800"),
                             QStringLiteral("LibDescription Orva Tavel Color Picker"), QStringLiteral("LibInitialize 1")};
    const QString unloaded = QStringLiteral("LibShutdown 1");
    const QList<Run> runs{
        {{QStringLiteral("--modal"), QStringLiteral("--initial-color"), QStringLiteral("0x123456"),
          QStringLiteral("--load-palette"), palette, QStringLiteral("--select-cell"), QStringLiteral("0,1"),
          QStringLiteral("--screenshot"), screenshot, QStringLiteral("--press-task")},
         loaded + QStringList{QStringLiteral("ColorChanged 0x009F5673 1"), QStringLiteral("ModalColorPicker 1 0x009F5673"), unloaded}},
        // The modal dialog stands at the host's position taken as dialog units: (40, 40)
        // units are (80, 80) pixels.
        {{QStringLiteral("--modal"), QStringLiteral("--initial-color"), QStringLiteral("0x123456"),
          QStringLiteral("--load-palette"), palette, QStringLiteral("--select-cell"), QStringLiteral("0,0"),
          QStringLiteral("--select-cell"), QStringLiteral("0,1"), QStringLiteral("--press-task"),
          QStringLiteral("--close")},
         loaded + QStringList{QStringLiteral("BeingDestroyed 40 40"), QStringLiteral("OnOK"),
                              QStringLiteral("ModalColorPicker 0 0x00123456"), unloaded}},
        {{QStringLiteral("--modeless"), QStringLiteral("--load-palette"), palette, QStringLiteral("--select-cell"),
          QStringLiteral("1,0"), QStringLiteral("--press-task"), QStringLiteral("--close")},
         loaded + QStringList{QStringLiteral("ColorChanged 0x00BBC5CB 1"), QStringLiteral("BeingDestroyed 40 40"),
                              QStringLiteral("OnOK"), unloaded}},
        {{QStringLiteral("--object-color"), QStringLiteral("--load-palette"), palette, QStringLiteral("--select-cell"),
          QStringLiteral("0,0"), QStringLiteral("--press-task")},
         loaded + QStringList{QStringLiteral("Message 0x0D11 0x0091B169"), unloaded}},
        // The host's name reaches the task button and the renamed picker still reports;
        // the window is where the host put it.
        {{QStringLiteral("--modeless"), QStringLiteral("--install-name"), QStringLiteral("Diffuse colour"),
          QStringLiteral("--print-position"), QStringLiteral("--load-palette"), palette, QStringLiteral("--select-cell"),
          QStringLiteral("1,0"), QStringLiteral("--press-task"), QStringLiteral("--close")},
         loaded + QStringList{QStringLiteral("TaskButton Diffuse colour"), QStringLiteral("ColorChanged 0x00BBC5CB 1"),
                              QStringLiteral("GetPosition 40 40"), QStringLiteral("BeingDestroyed 40 40"),
                              QStringLiteral("OnOK"), unloaded}},
    };
    for (const Run &run : runs) {
        QProcess host;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral(PALETTRA_DATA_DIR));
        host.setProcessEnvironment(environment);
        host.start(QStringLiteral(PALETTRA_HOST_PROGRAM), run.arguments);
        ASSERT_TRUE(host.waitForFinished(60000)) << run.arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(host.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(host.exitCode(), 0) << host.readAllStandardError().toStdString();
        const QStringList lines = QString::fromUtf8(host.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(lines, run.expected) << run.arguments.join(QLatin1Char(' ')).toStdString();
    }
    const QImage picture(screenshot);
    ASSERT_EQ(picture.size(), QSize(800, 600));
    // The picked chip of the loaded palette is in the picture, in its place.
    EXPECT_EQ(picture.pixelColor(383, 387).rgb(), QColor(115, 86, 159).rgb());
}

TEST(HostSimulator, MissingPluginOrBadOptionsFail)
{
    QProcess host;
    host.start(QStringLiteral(PALETTRA_HOST_PROGRAM),
               {QStringLiteral("--plugin"), QStringLiteral("/nonexistent/plugin.dlu"), QStringLiteral("--modal")});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_NE(host.exitCode(), 0);
    EXPECT_TRUE(host.readAllStandardOutput().isEmpty());

    host.start(QStringLiteral(PALETTRA_HOST_PROGRAM), {QStringLiteral("--select-cell"), QStringLiteral("zero")});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(host.exitCode(), 2);

    // A modal picker has no InstallNewCB and no GetPosition.
    host.start(QStringLiteral(PALETTRA_HOST_PROGRAM), {QStringLiteral("--modal"), QStringLiteral("--print-position")});
    ASSERT_TRUE(host.waitForFinished(60000));
    EXPECT_EQ(host.exitCode(), 2);
}
