#include "StandalonePicker.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/ui/AboutBox.h"
#include "engine/ui/MainWidget.h"
#include "engine/db/NavigationQueries.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/Captions.h"
#include "engine/widgets/NestedDialogs.h"
#include "engine/EngineStartup.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QPropertyAnimation>
#include <QTimer>
#include <QVBoxLayout>

namespace Palettra {

namespace {
Vantor::MainWidget *standaloneMainWidget = nullptr;
}

StandalonePicker::StandalonePicker(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(Vantor::DB::localizedString(Vantor::lastUsedCollection(), Vantor::DB::LocaleKey::CommonMainwindowCaption));
    setWindowIcon(Vantor::applicationWindowIcon());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_mainWidget = new Vantor::MainWidget(&standaloneMainWidget, this);
    layout->addWidget(m_mainWidget);
    setFixedSize(m_mainWidget->size());

    // The about box behind a button of its own, as in the plug-in.
    m_mainWidget->addAboutButton();
    if (QAbstractButton *about = m_mainWidget->headerButton(Vantor::MainWidget::AboutButtonId))
        connect(about, &QAbstractButton::clicked, this, &StandalonePicker::aboutButtonClicked);
    m_copyButtonId = m_mainWidget->addTaskButton(Vantor::MainWidget::LoadButtonId);
    QAbstractButton *copyButton = m_mainWidget->headerButton(m_copyButtonId);
    copyButton->setText(tr("Copy colour"));
    connect(copyButton, &QAbstractButton::clicked, this, &StandalonePicker::copyPickedColour);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteSelectionChanged, this, &StandalonePicker::updateCopyButton);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteChanged, this, &StandalonePicker::updateCopyButton);
    copiedTimer = new QTimer(this);
    copiedTimer->setSingleShot(true);
    copiedTimer->setInterval(1500);
    connect(copiedTimer, &QTimer::timeout, this, [copyButton] { copyButton->setText(tr("Copy colour")); });
    connect(m_mainWidget, &Vantor::MainWidget::colourCopied, this, &StandalonePicker::colourCopied);
    updateCopyButton();
}

StandalonePicker::~StandalonePicker() = default;

QColor StandalonePicker::pickedColour() const
{
    QUuid collection;
    Vantor::DB::ColorEntry chip;
    return selectedChip(collection, chip) ? chip.color() : QColor();
}

StandalonePicker::ViewOpened StandalonePicker::openView(const PickerView &view, QString &error)
{
    Vantor::MainWidget *main = m_mainWidget;
    auto &registry = Vantor::DB::CollectionRegistry::instance();
    if (!view.collection.isEmpty()) {
        QUuid collection(view.collection);
        if (collection.isNull() && registry.findCollectionBySystemId(view.collection, collection) != Vantor::DB::StatusOk) {
            error = QStringLiteral("no collection %1").arg(view.collection);
            return ViewOpened::Failed;
        }
        if (!registry.orderedCollectionUuids().contains(collection)) {
            error = QStringLiteral("no collection %1").arg(view.collection);
            return ViewOpened::Failed;
        }
        main->collectionChangedInteractively(collection);
    }
    const QUuid current = Vantor::lastUsedCollection();
    if (!view.search.isEmpty()) {
        bool foundNothing = false;
        const QMetaObject::Connection watch =
            connect(main, &Vantor::MainWidget::searchFoundNothing, this, [&foundNothing] { foundNothing = true; });
        main->searchForPhrase(view.search);
        disconnect(watch);
        if (foundNothing) {
            error = QStringLiteral("nothing found for %1").arg(view.search);
            return ViewOpened::NothingFound;
        }
        acceptSource = AcceptSource::Deck;
    }
    if (!view.tab.isEmpty()) {
        const QHash<QString, Vantor::TabBarPage> pages{{QStringLiteral("schemes"), Vantor::PageOfColorSchemes},
                                                      {QStringLiteral("products"), Vantor::PageOfProducts},
                                                      {QStringLiteral("trends"), Vantor::PageOfProspect},
                                                      {QStringLiteral("textures"), Vantor::PageOfTextures}};
        const Vantor::TabBarPage page = pages.value(view.tab.toLower(), Vantor::NoTabBarPage);
        if (page == Vantor::NoTabBarPage || !(Vantor::CollectionSettings::availableTabBarPages(current) & page)) {
            error = QStringLiteral("the collection offers no tab %1").arg(view.tab);
            return ViewOpened::Failed;
        }
        main->tabPageSelected(page);
    }
    if (!view.scheme.isEmpty()) {
        const QStringList words{QStringLiteral("harmonic"), QStringLiteral("contrast"), QStringLiteral("wide contrast"),
                                QStringLiteral("dynamic"), QStringLiteral("dramatic"), QStringLiteral("neutral")};
        const int kind = int(words.indexOf(view.scheme.toLower())) + 1;
        if (kind <= 0) {
            error = QStringLiteral("no scheme kind %1").arg(view.scheme);
            return ViewOpened::Failed;
        }
        main->schemeKindChangedInteractively(Vantor::SchemeKind(kind));
    }
    if (!view.neutralForm.isEmpty()) {
        const QStringList forms{QStringLiteral("tonal"), QStringLiteral("complementary"), QStringLiteral("natural")};
        const int form = int(forms.indexOf(view.neutralForm.toLower()));
        if (form < 0) {
            error = QStringLiteral("no neutral form %1").arg(view.neutralForm);
            return ViewOpened::Failed;
        }
        main->schemeNeutralSubKindChangedInteractively(Vantor::SchemeKind(Vantor::SchemeTonalNeutral + form));
    }
    if (!view.palette.isEmpty()) {
        QString problem;
        bool loaded = false;
        Vantor::MyPaletteWidget *palette = main->myPaletteWidget();
        const QMetaObject::Connection gave =
            connect(palette, &Vantor::MyPaletteWidget::paletteLoadedFrom, this, [&loaded] { loaded = true; });
        const QMetaObject::Connection failed = connect(palette, &Vantor::MyPaletteWidget::paletteLoadFailed, this,
                                                       [&problem](const QString &, const QString &reason) { problem = reason; });
        palette->loadPalette(view.palette);
        palette->finishReadingPicture();
        disconnect(gave);
        disconnect(failed);
        if (!loaded) {
            error = problem.isEmpty() ? QStringLiteral("%1: no palette").arg(view.palette) : problem;
            return ViewOpened::Failed;
        }
        acceptSource = AcceptSource::LoadedPalette;
    }
    if (view.fullView) {
        main->zoomMyPaletteClicked();
        main->fullViewAnimation()->setCurrentTime(main->fullViewAnimation()->duration());
    }
    return ViewOpened::Shown;
}

void StandalonePicker::updateCopyButton()
{
    m_mainWidget->headerButton(m_copyButtonId)->setEnabled(pickedColour().isValid());
}

void StandalonePicker::copyPickedColour()
{
    m_mainWidget->copySelectedColour();
}

void StandalonePicker::enablePickMode()
{
    if (m_useButtonId)
        return;
    m_useButtonId = m_mainWidget->addTaskButton(m_copyButtonId);
    QAbstractButton *use = m_mainWidget->headerButton(m_useButtonId);
    use->setText(Vantor::localeTextOr(Vantor::lastUsedCollection(), QStringLiteral("pick.use.colour.button"), tr("Use colour")));
    connect(use, &QAbstractButton::clicked, this, &StandalonePicker::useButtonClicked);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteSelectionChanged, this, &StandalonePicker::updateUseButton);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteChanged, this, &StandalonePicker::updateUseButton);
    // A double click on a cell with a chip picks it, as the button does; so does one on a
    // chip of the deck, a scheme, a trend group or the products tab.
    connect(m_mainWidget->myPaletteWidget(), &Vantor::MyPaletteWidget::cellDoubleClicked, this, [this](QPoint) {
        useButtonClicked();
    });
    connect(m_mainWidget, &Vantor::MainWidget::chipDoubleClicked, this, &StandalonePicker::chipPicked);
    updateUseButton();

    // A window for one purpose, as a colour dialog is: in front when it opens, in the
    // middle of the screen, with the keys, a title that says what it is for and a line that
    // says how. Not kept above the others: the program that asked may have a question of
    // its own to show (save changes?), and the picker must not hide it.
    setWindowTitle(tr("Pick a paint colour \u2014 Palettra"));
    setWindowFlags(windowFlags() | Qt::Dialog);
    auto *hint = new QLabel(tr("Double-click a chip to pick it, or select one in My Palette and press \u201cUse colour\u201d. "
                               "Esc cancels."),
                            this);
    hint->setObjectName(QStringLiteral("PickHint"));
    hint->setContentsMargins(10, 4, 10, 5);
    hint->setStyleSheet(QStringLiteral("QLabel#PickHint { background: #2b2b2b; color: #e4e4e4; }"));
    layout()->addWidget(hint);
    setFixedSize(m_mainWidget->width(), m_mainWidget->height() + hint->sizeHint().height());
}

bool StandalonePicker::selectedChip(QUuid &collection, Vantor::DB::ColorEntry &chip) const
{
    return m_mainWidget->myPaletteWidget()->model().pickedChip(collection, chip);
}

void StandalonePicker::updateUseButton()
{
    QUuid collection;
    Vantor::DB::ColorEntry chip;
    m_mainWidget->headerButton(m_useButtonId)->setEnabled(selectedChip(collection, chip));
}

void StandalonePicker::useButtonClicked()
{
    QUuid collection;
    Vantor::DB::ColorEntry chip;
    if (selectedChip(collection, chip))
        emit chipPicked(collection, chip);
}

bool StandalonePicker::acceptNow()
{
    QUuid collection;
    Vantor::DB::ColorEntry chip;
    const Vantor::MyPaletteModel &palette = m_mainWidget->myPaletteWidget()->model();
    bool found = acceptSource != AcceptSource::Deck && selectedChip(collection, chip);
    if (!found && acceptSource == AcceptSource::LoadedPalette) {
        // No chip selected in the palette just loaded: its first chip.
        for (const QPoint &position : Vantor::MyPaletteModel::gridOrder()) {
            const Vantor::PaletteCell &cell = palette.cell(position);
            if (cell.isOccupied() && Vantor::DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == Vantor::DB::StatusOk) {
                collection = cell.index.collection;
                found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    if (!found) {
        collection = Vantor::lastUsedCollection();
        if (Vantor::DB::loadColorAt(collection, Vantor::pageIndex(collection), Vantor::rowIndex(collection), chip)
            != Vantor::DB::StatusOk)
            return false;
    }
    emit chipPicked(collection, chip);
    return true;
}

void StandalonePicker::showCentred()
{
    if (const QScreen *screen = this->screen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    bringToFront();
}

void StandalonePicker::bringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    // Platforms without windows of their own (offscreen, minimal) have nothing to raise,
    // and would say so on standard error.
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        raise();
    activateWindow();
}

void StandalonePicker::aboutButtonClicked()
{
    Vantor::NestedDialogs::exec(new Vantor::AboutBox(m_mainWidget, Vantor::engineVersion()));
}

void StandalonePicker::colourCopied()
{
    // The button says it worked, for a moment.
    QAbstractButton *copyButton = m_mainWidget->headerButton(m_copyButtonId);
    copyButton->setText(tr("Copied"));
    copiedTimer->start();
}

void StandalonePicker::keyPressEvent(QKeyEvent *event)
{
    // In pick mode Escape that no panel took closes without a pick, as a script's dialog
    // does; the picker as a program of its own stays: Escape clears a field or leaves a
    // list there, never the window.
    if (event->key() == Qt::Key_Escape && m_useButtonId != 0) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace Palettra
