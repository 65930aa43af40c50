#include "ZylaMainWidgetBridge.h"


#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/AboutBox.h"
#include "engine/ui/MainWidget.h"
#include "engine/widgets/NestedDialogs.h"

#include <QAbstractButton>

namespace {
Vantor::MainWidget *bridgedMainWidget = nullptr;
}

ZylaMainWidgetBridge::ZylaMainWidgetBridge(HWND parentWindow, QObject *parent, Qt::WindowFlags f)
    : QWinWidget(parentWindow, parent, f)
{
    m_mainWidget = new Vantor::MainWidget(&bridgedMainWidget, this);
    m_mainWidget->addAboutButton();
    m_taskButtonId = m_mainWidget->addTaskButton(Vantor::MainWidget::LoadButtonId);

    selectedCollectionChanged(Vantor::lastUsedCollection());
    myPaletteChanged();

    connect(m_mainWidget, &Vantor::MainWidget::selectedCollectionChanged, this,
            &ZylaMainWidgetBridge::selectedCollectionChanged);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteChanged, this, &ZylaMainWidgetBridge::myPaletteChanged);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteSelectionChanged, this,
            &ZylaMainWidgetBridge::myPaletteChanged);
    connect(taskButton(), &QAbstractButton::clicked, this, &ZylaMainWidgetBridge::taskButtonClicked);
    if (QAbstractButton *about = m_mainWidget->headerButton(Vantor::MainWidget::AboutButtonId))
        connect(about, &QAbstractButton::clicked, this, &ZylaMainWidgetBridge::aboutButtonClicked);
}

ZylaMainWidgetBridge::~ZylaMainWidgetBridge() = default;

QAbstractButton *ZylaMainWidgetBridge::taskButton() const
{
    return m_mainWidget->headerButton(m_taskButtonId);
}

void ZylaMainWidgetBridge::setTaskButtonText(const QString &name)
{
    taskButton()->setText(!name.isEmpty() ? name
                                          : Vantor::DB::localizedString(Vantor::lastUsedCollection(),
                                                                        QStringLiteral("3dsmax.select.color.button")));
}

QColor ZylaMainWidgetBridge::pickableColour() const
{
    // The colour the one selected cell shows: a pick never waits on, or fails with, a
    // read of its collection.
    const Vantor::MyPaletteModel &model = m_mainWidget->myPaletteWidget()->model();
    if (model.selection().size() != 1)
        return QColor();
    const QColor colour = model.cell(model.selection().constFirst()).colour;
    return colour.isValid() && colour != QColor(Qt::transparent) ? colour : QColor();
}

void ZylaMainWidgetBridge::selectedCollectionChanged(QUuid collectionUuid)
{
    const QString caption = Vantor::DB::localizedString(collectionUuid, QStringLiteral("color.palette.caption"));
    {
        // The host may hear the title change and destroy the picker.
        const Vantor::NestedDialogs::CallOut call;
        SetWindowTextW(parentWindow(), reinterpret_cast<LPCWSTR>(caption.utf16()));
    }
    if (useDefaultTaskText)
        setTaskButtonText();
}

void ZylaMainWidgetBridge::myPaletteChanged()
{
    taskButton()->setEnabled(pickableColour().isValid());
}

void ZylaMainWidgetBridge::taskButtonClicked()
{
    const QColor colour = pickableColour();
    if (!colour.isValid())
        return;
    // The host may destroy the picker from the call that reports the colour.
    ++callsOut;
    emit colourPicked(colour);
    --callsOut;
    deleteWhenIdle();
}

void ZylaMainWidgetBridge::aboutButtonClicked()
{
    // 3ds Max has no product version of its own to show: the box shows the collection's
    // version text with the engine's.
    Vantor::NestedDialogs::exec(new Vantor::AboutBox(m_mainWidget, QString()));
}

bool ZylaMainWidgetBridge::isBusy() const
{
    return callsOut > 0 || Vantor::NestedDialogs::runningUnder(this);
}

void ZylaMainWidgetBridge::dispose()
{
    if (disposed)
        return;
    disposed = true;
    // The window is destroyed from anywhere a host hears of the picker: a callback, a
    // notice of the clipboard, the title or the focus, Qt's own focus emission. The
    // widgets leave it at once and are deleted only once control is back in the event
    // loop and no loop or call of the picker's is running any more.
    // A drag is cancelled before its source leaves the window it started in.
    if (isBusy())
        Vantor::NestedDialogs::rejectUnder(this);
    hide();
    setParent(nullptr);
    connect(&Vantor::NestedDialogs::instance(), &Vantor::NestedDialogs::loopFinished, this,
            &ZylaMainWidgetBridge::deleteWhenIdle);
    deleteWhenIdle();
}

void ZylaMainWidgetBridge::deleteWhenIdle()
{
    // Deferred: the frame that ends the last call is still on the stack.
    if (!disposed || isBusy())
        return;
    disconnect(&Vantor::NestedDialogs::instance(), &Vantor::NestedDialogs::loopFinished, this,
               &ZylaMainWidgetBridge::deleteWhenIdle);
    deleteLater();
}
