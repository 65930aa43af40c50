#include "MainWidget.h"
#include "CollectionFilesCheck.h"
#include "MainWidgetLinks.h"

#include "engine/widgets/AboutButton.h"
#include "engine/widgets/HelpButton.h"
#include "TabBarWidget.h"
#include "engine/widgets/Captions.h"
#include "engine/widgets/TaskButton.h"
#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/ThemeResources.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/widgets/CardRollerWidget.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/ColorSchemerPulvexWidget.h"
#include "engine/widgets/ColorSchemerWidget.h"
#include "engine/widgets/ColorWheelWidget.h"
#include "engine/widgets/MoodSelectWidget.h"
#include "engine/widgets/ProductsWidget.h"
#include "engine/widgets/ProspectWidget.h"
#include "engine/widgets/SearchWidget.h"
#include "engine/widgets/TexturesWidget.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryFile>

namespace Vantor {

namespace {

MainWidget *theMainWidget = nullptr;

QString linkMarkup(const QString &link, const QString &text)
{
    return QStringLiteral("<a href=\"%1\"><span style=\"text-decoration: none; color: #ffffff;\">%2</span></a>").arg(link, text);
}


} // namespace

MainWidget *MainWidget::current()
{
    return theMainWidget;
}

MainWidget *MainWidget::of(const QWidget *widget)
{
    for (QWidget *ancestor = const_cast<QWidget *>(widget); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *main = qobject_cast<MainWidget *>(ancestor))
            return main;
    }
    return nullptr;
}

MainWidget::MainWidget(MainWidget **self, QWidget *parent)
    : QWidget(parent)
    , selfPointer(self)
{
    if (self)
        *self = this;
    theMainWidget = this;

    setObjectName(QStringLiteral("MainWidget"));
    setMouseTracking(true);
    setFixedSize(800, 600);
    // The focus that reaches the widget itself by the keyboard goes on to its panels
    // (focusInEvent); a click on the background keeps it, the window-wide keys work there.
    setFocusPolicy(Qt::StrongFocus);
    setFont(DB::normalFont(2));

    fallbackButton = new TaskButton(this);
    fallbackButton->hide();
    auto addHeaderButton = [this](quint16 id, QAbstractButton *button) {
        headerButtons.insert(id, button);
        headerOrder.append(id);
    };
    addHeaderButton(SaveButtonId, new TaskButton(this));
    addHeaderButton(LoadButtonId, new TaskButton(this));
    addHeaderButton(HelpButtonId, new HelpButton(this));

    // The files as they are now, not as the last picker of this process saw them.
    CollectionFilesCheck *filesCheck = CollectionFilesCheck::instance();
    if (filesCheck)
        filesCheck->check();
    const QUuid collection = collectionToShow();
    applyCollection(collection);

    QPalette textured = palette();
    const QBrush backgroundBrush(backgroundImage);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        textured.setBrush(group, QPalette::Window, backgroundBrush);
        textured.setBrush(group, QPalette::Base, backgroundBrush);
    }
    setPalette(textured);

    createPanels();

    setHeaderButtonTexts(collection);
    connectHeaderButtons();

    for (QLabel **label : {&noticeLabel, &mottoLabel}) {
        *label = new QLabel(this);
        (*label)->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
        (*label)->setOpenExternalLinks(false);
        (*label)->setFont(DB::normalFont(1));
    }
    setFooterTexts(collection);

    paletteFilter = QStringLiteral("%1 (*.palette)").arg(DB::localizedString(collection, DB::LocaleKey::CommonFiledialogPalettefileFiltername));
    textFilter = QStringLiteral("%1 (*.txt)").arg(DB::localizedString(collection, DB::LocaleKey::CommonFiledialogTextfileFiltername));

    layoutPanels();
    showTabPage(tabPageIndex(collection));

    setUpKeyboard();
    orderTabStops();

    capsureWatcher = new QFileSystemWatcher(this);
    capsureWatcher->blockSignals(true);
    watchCapsureFolder();

    connectPanels();
    connect(qApp, &QApplication::focusChanged, this, &MainWidget::onKeyboardFocusChanged);
    if (filesCheck)
        connect(filesCheck, &CollectionFilesCheck::collectionFilesChanged, this, &MainWidget::showCollectionFilesAsTheyAreNow);

    emit onCapsureFileChanged(capsureFile);
}

void MainWidget::createPanels()
{
    collectionSelect = new CollectionSelectWidget(this);
    colorWheel = new ColorWheelWidget(this);
    moodSelect = new MoodSelectWidget(this);
    search = new SearchWidget(this);
    cardRoller = new CardRollerWidget(this);
    tabBar = new TabBarWidget(this);
    colorSchemer = new ColorSchemerWidget(this);
    colorSchemer->hide();
    pulvexSchemer = new ColorSchemerPulvexWidget(this);
    pulvexSchemer->hide();
    prospectTab = new ProspectWidget(this);
    prospectTab->hide();
    texturesTab = new TexturesWidget(this);
    texturesTab->hide();
    productsTab = new ProductsWidget(this);
    productsTab->hide();
    myPalette = new MyPaletteWidget(this);
    myPaletteFull = new MyPaletteFullWidget(this);
    myPaletteFull->hide();
    myPaletteFull->setPaletteModel(&myPalette->model());
    colorWheel->setAccessibleName(tr("Colour wheel"));
    moodSelect->setAccessibleName(tr("Moods"));
    cardRoller->setAccessibleName(tr("Fan deck"));
    tabBar->setAccessibleName(tr("Tabs"));
    colorSchemer->setAccessibleName(tr("Colour schemes"));
    pulvexSchemer->setAccessibleName(tr("Colour schemes"));
    productsTab->setAccessibleName(tr("Products"));
    prospectTab->setAccessibleName(tr("Trends"));
    texturesTab->setAccessibleName(tr("Textures"));
    search->setAccessibleName(tr("Search"));
    setAccessibleName(tr("Colour picker"));
    zoomAnimation = new QPropertyAnimation(this);
}

void MainWidget::connectPanels()
{
    connect(collectionSelect, &CollectionSelectWidget::collectionSelectedInteractively, this, &MainWidget::collectionChangedInteractively);
    connect(this, &MainWidget::onCapsureFileChanged, collectionSelect, &CollectionSelectWidget::capsureFileChanged);
    connect(colorWheel, &ColorWheelWidget::segmentChangedInteractively, this, &MainWidget::segmentChangedInteractivelyByWheel);
    connect(moodSelect, &MoodSelectWidget::moodFilterChangedInteractively, this, &MainWidget::moodFilterChangedInteractively);
    connect(moodSelect, &MoodSelectWidget::exteriorFilterChangedInteractively, this, &MainWidget::exteriorFilterChangedInteractively);
    connect(moodSelect, &MoodSelectWidget::showMtoChangedInteractively, this, &MainWidget::showMtoChangedInteractively);
    connect(cardRoller, &CardRollerWidget::roll, this, &MainWidget::rollCards);
    connect(cardRoller, &CardRollerWidget::pageChangedInteractively, this, &MainWidget::pageChangedInteractively);
    connect(cardRoller, &CardRollerWidget::rowChangedInteractively, this, &MainWidget::rowChangedInteractively);
    connect(cardRoller, &CardRollerWidget::collectionSelectedInteractively, this, &MainWidget::collectionChangedInteractively);
    connect(search, &SearchWidget::roll, this, &MainWidget::rollCards);
    connect(search, &SearchWidget::searchForPhrase, this, &MainWidget::searchForPhrase);
    connect(tabBar, &TabBarWidget::tabPageSelected, this, &MainWidget::tabPageSelected);
    connect(colorSchemer, &ColorSchemerWidget::schemeKindChangedInteractively, this, &MainWidget::schemeKindChangedInteractively);
    connect(colorSchemer, &ColorSchemerWidget::schemeNeutralSubKindChangedInteractively, this,
            &MainWidget::schemeNeutralSubKindChangedInteractively);
    connect(this, &MainWidget::savePaletteTo, myPalette, &MyPaletteWidget::savePaletteTo);
    connect(this, &MainWidget::loadPaletteFrom, myPalette, &MyPaletteWidget::loadPaletteFrom);
    connect(myPalette, &MyPaletteWidget::myPaletteChanged, this, &MainWidget::onMyPaletteChanged);
    connect(myPalette, &MyPaletteWidget::myPaletteSelectionChanged, this, &MainWidget::onMyPaletteSelectionChanged);
    connect(myPalette, &MyPaletteWidget::emptyChanged, this,
            [this](bool empty) { headerButton(SaveButtonId)->setEnabled(!empty); });
    headerButton(SaveButtonId)->setEnabled(!myPalette->model().isEmpty());
    connect(myPalette, &MyPaletteWidget::paletteSaved, this, &MainWidget::rememberSavedPalette);
    connect(myPalette, &MyPaletteWidget::paletteLoadedFrom, this, &MainWidget::rememberLoadedPalette);
    connect(myPalette, &MyPaletteWidget::zoomMyPaletteClicked, this, &MainWidget::zoomMyPaletteClicked);
    connect(myPaletteFull, &MyPaletteFullWidget::backButtonClicked, this, &MainWidget::unzoomMyPaletteClicked);
    connect(this, &MainWidget::selectedCollectionChanged, collectionSelect, &CollectionSelectWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, colorWheel, &ColorWheelWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, moodSelect, &MoodSelectWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, cardRoller, &CardRollerWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, search, &SearchWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, tabBar, &TabBarWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, colorSchemer, &ColorSchemerWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, pulvexSchemer, &ColorSchemerPulvexWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, prospectTab, &ProspectWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, texturesTab, &TexturesWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, productsTab, &ProductsWidget::selectedCollectionChanged);
    connect(this, &MainWidget::selectedCollectionChanged, myPalette, &MyPaletteWidget::selectedCollectionChanged);
    connect(collectionSelect, &CollectionSelectWidget::capsureItemSelectedInteractively, this,
            &MainWidget::capsureItemSelectedInteractively);
    connect(noticeLabel, &QLabel::linkActivated, this, &MainWidget::linkActivated);
    connect(mottoLabel, &QLabel::linkActivated, this, &MainWidget::linkActivated);
}

MainWidget::~MainWidget()
{
    // The panels go after this object has stopped being a main widget: nothing they
    // report on the way out may reach its slots.
    const QList<QObject *> descendants = findChildren<QObject *>();
    for (QObject *descendant : descendants)
        descendant->disconnect(this);
    // Destroying the panels moves the keyboard focus.
    disconnect(qApp, &QApplication::focusChanged, this, &MainWidget::onKeyboardFocusChanged);
    qDeleteAll(linkFiles);
    if (theMainWidget == this)
        theMainWidget = nullptr;
    if (selfPointer && *selfPointer == this)
        *selfPointer = nullptr;
}

void MainWidget::connectHeaderButtons()
{
    connect(headerButton(SaveButtonId), &QAbstractButton::clicked, this, &MainWidget::saveButtonClicked);
    connect(headerButton(LoadButtonId), &QAbstractButton::clicked, this, &MainWidget::loadButtonClicked);
    connect(headerButton(HelpButtonId), &QAbstractButton::clicked, this, &MainWidget::helpButtonClicked);
}

void MainWidget::setHeaderButtonTexts(const QUuid &collection)
{
    headerButton(SaveButtonId)->setText(DB::localizedString(collection, DB::LocaleKey::MypalettePaletteSave));
    headerButton(LoadButtonId)->setText(DB::localizedString(collection, DB::LocaleKey::MypalettePaletteLoad));
}

QString MainWidget::footerText(const QUuid &collection, DB::LocaleKey key) const
{
    return elideCaption(DB::localizedString(collection, key), QFontMetrics(noticeLabel->font()), WidestShownCaption);
}

void MainWidget::setFooterTexts(const QUuid &collection)
{
    noticeLabel->setText(linkMarkup(CopyrightLink, footerText(collection, DB::LocaleKey::ColorPaletteCopyright)));
    mottoLabel->setText(linkMarkup(MottoLink, footerText(collection, DB::LocaleKey::ColorPaletteMotto)));
}

QAbstractButton *MainWidget::headerButton(quint16 id) const
{
    QAbstractButton *button = headerButtons.value(id);
    return button ? button : fallbackButton;
}

quint16 MainWidget::addAboutButton()
{
    auto *button = new AboutButton(this);
    headerButtons.insert(AboutButtonId, button);
    headerOrder.append(AboutButtonId);
    button->show();
    layoutHeaderButtons();
    orderTabStops();
    return AboutButtonId;
}

quint16 MainWidget::addTaskButton(quint16 afterId)
{
    quint16 id = FirstTaskButtonId - 1;
    for (quint16 used : headerButtons.keys())
        id = std::max(id, used);
    ++id;
    auto *button = new TaskButton(this);
    headerButtons.insert(id, button);
    const qsizetype after = afterId == 0 ? -1 : headerOrder.indexOf(afterId);
    if (after < 0)
        headerOrder.append(id);
    else
        headerOrder.insert(after + 1, id);
    button->show();
    layoutHeaderButtons();
    orderTabStops();
    return id;
}

void MainWidget::applyCollection(const QUuid &collection)
{
    backgroundImage = DB::themeImage(DB::ThemeKey::ImageWidgetMainBackground, size());
    bannerImage = DB::themeImage(collection, DB::ThemeKey::ImageBanner, QSize(width(), 70));
    headerLink = CollectionSettings::headerLink(collection);

    // A stored page that this collection does not offer (a hand-edited or outdated
    // setting) counts as none: the first offered page is shown and highlighted.
    const QVector<TabBarPage> offered = TabBarWidget::pagesOffered(CollectionSettings::tabBarPageOrder(collection),
                                                                    CollectionSettings::availableTabBarPages(collection));
    if (!offered.isEmpty() && !offered.contains(TabBarPage(tabPageIndex(collection))))
        setTabPageIndex(collection, offered.first());
    if (schemeKind(collection) == 0) {
        const QVector<int> kinds = CollectionSettings::schemes(collection);
        setSchemeKind(collection, kinds.isEmpty() ? 0 : kinds.first());
    }
    if (noticeLabel && mottoLabel)
        setFooterTexts(collection);

    capsureFolder.clear();
    capsureFile.clear();
    if (CollectionSettings::capsureEnabled(collection)) {
        capsureFolder = capsureFolderFor(CollectionSettings::capsureFolderToWatch(collection));
        capsureFile = capsureFolder + QDir::separator() + CollectionSettings::capsureFilenameToWatch(collection);
    }
}

QImage MainWidget::backgroundPiece(const QRect &area) const
{
    return backgroundImage.copy(area);
}

void MainWidget::layoutPanels()
{
    const QUuid collection = lastUsedCollection();
    moodSelect->setVisible(CollectionSettings::moodVisible(collection));

    const QRect r = rect();
    bannerRect = QRect(QPoint(0, 0), QPoint(r.right(), 69));
    QRect content = r;
    content.setTop(71);

    myPaletteFull->setGeometry(r);

    const QFontMetrics metrics(noticeLabel->font());
    auto placeFooter = [&](QLabel *label, DB::LocaleKey key, bool right) {
        const int w = metrics.horizontalAdvance(footerText(collection, key));
        const int h = metrics.height();
        const int x = right ? content.right() - w - 13 : 12;
        label->setGeometry(x, content.bottom() - h - 8, w + 1, h + 2);
    };
    placeFooter(mottoLabel, DB::LocaleKey::ColorPaletteMotto, false);
    placeFooter(noticeLabel, DB::LocaleKey::ColorPaletteCopyright, true);
    content.setBottom(content.bottom() - (metrics.lineSpacing() + 12));

    collectionSelect->move(content.left(), content.top());
    const QRect selector = collectionSelect->geometry();
    colorWheel->move(selector.left() + (selector.width() - colorWheel->width()) / 2, selector.bottom() + 1 + 10);

    moodSelect->layOut();
    moodSelect->resize(moodSelect->sizeHint());
    moodSelect->move(selector.left() + (selector.width() - moodSelect->width()) / 2, colorWheel->geometry().bottom() + 1 + 10);

    search->move(content.left() + 12, content.bottom() - search->height());
    search->setBackgroundImage(backgroundPiece(search->geometry()));

    const int rollerTop = (moodSelect->isVisibleTo(this) ? moodSelect->geometry().bottom() : colorWheel->geometry().bottom()) + 1 + 6;
    cardRoller->setGeometry(QRect(QPoint(search->x(), rollerTop), QPoint(search->geometry().right(), search->y() - 1 - 7)));

    tabBar->setGeometry(QRect(QPoint(selector.right() + 1, selector.top()), QPoint(r.right(), selector.bottom())));

    QRect schemerRect = tabBar->geometry().translated(1, tabBar->height());
    schemerRect.setSize(QSize(tabBar->width() - 1, 226));
    for (QWidget *tab : std::initializer_list<QWidget *>{colorSchemer, pulvexSchemer, prospectTab, texturesTab, productsTab})
        tab->setGeometry(schemerRect);

    QRect paletteRect = schemerRect.translated(0, schemerRect.height());
    paletteRect.setBottom(cardRoller->geometry().bottom());
    myPalette->setGeometry(paletteRect);

    search->setBackgroundImage(backgroundPiece(search->geometry()));
    // The panels that look see-through are handed the background and their place on it.
    prospectTab->setWindowBackground({backgroundImage, prospectTab->pos()});
    texturesTab->setWindowBackground({backgroundImage, texturesTab->pos()});
    productsTab->setWindowBackground({backgroundImage, productsTab->pos()});
    myPalette->setWindowBackground({backgroundImage, myPalette->pos()});
    layoutHeaderButtons();
}

void MainWidget::layoutHeaderButtons()
{
    if (headerButtons.isEmpty())
        return;
    const int spanLeft = myPalette->geometry().left() + 12;
    const int spanRight = myPalette->geometry().right() - 12;
    int top = search->geometry().top();
    int bottom = search->geometry().bottom();
    while (bottom - top + 1 > 23) {
        ++top;
        --bottom;
    }
    const int bandHeight = bottom - top + 1;
    const int square = bandHeight - 2;

    int n = int(headerButtons.size());
    double available = (spanRight - spanLeft + 1) - 4.0 * (n - 1);
    for (quint16 roundId : {HelpButtonId, AboutButtonId}) {
        if (headerButtons.contains(roundId)) {
            n -= 1;
            available -= square;
        }
    }
    const double textWidth = n > 0 ? available / n : 0.0;
    double x = spanLeft;
    for (quint16 id : headerOrder) {
        QAbstractButton *button = headerButtons.value(id);
        if (!button)
            continue;
        if (id == HelpButtonId || id == AboutButtonId) {
            button->setGeometry(int(x), top + 1, square, square);
            x += square + 4;
        } else {
            button->setGeometry(int(x), top, int(textWidth), bandHeight);
            x += textWidth + 4;
        }
    }
}

QWidget *MainWidget::schemerOfCardType() const
{
    switch (cardType()) {
    case CollectionSettings::NormalCard: return colorSchemer;
    case CollectionSettings::PulvexCard: return pulvexSchemer;
    default: return nullptr;
    }
}

int MainWidget::cardType() const
{
    return CollectionSettings::cardType(lastUsedCollection());
}

void MainWidget::showTabPage(int page)
{
    for (QWidget *tab : std::initializer_list<QWidget *>{colorSchemer, pulvexSchemer, prospectTab, texturesTab, productsTab})
        tab->hide();
    switch (page) {
    case PageOfColorSchemes:
        if (QWidget *schemer = schemerOfCardType())
            schemer->show();
        break;
    case PageOfProducts:
        productsTab->show();
        break;
    case PageOfProspect:
        prospectTab->show();
        prospectTab->layOut();
        break;
    case PageOfTextures:
        texturesTab->show();
        texturesTab->layOut();
        break;
    default:
        break;
    }
}

void MainWidget::refreshCardDependants(TexturesSlot texturesSlot, bool withCardRoller)
{
    if (withCardRoller)
        cardRoller->update();
    if (QWidget *schemer = schemerOfCardType(); schemer && schemer->isVisible())
        schemer->update();
    if (productsTab->isVisible())
        productsTab->selectedColorChanged();
    if (texturesTab->isVisible()) {
        if (texturesSlot == TexturesSlot::PageChanged)
            texturesTab->selectedPageChanged();
        else
            texturesTab->selectedRowChanged();
    }
}

void MainWidget::onMyPaletteChanged()
{
    emit myPaletteChanged();
}

void MainWidget::onMyPaletteSelectionChanged()
{
    emit myPaletteSelectionChanged();
}

void MainWidget::collectionChangedInteractively(QUuid collectionId)
{
    // Every user action writes the settings file once, however many keys it changes.
    const PersistentStateBatch batch;
    // The new collection's texts and settings, read together.
    const DB::CollectionLookupBatch lookups;
    const QUuid current = lastUsedCollection();
    if (collectionId == current || !DB::CollectionRegistry::instance().orderedCollectionUuids().contains(collectionId))
        return;

    setLastUsedCollection(collectionId);
    setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    showCollection(collectionId);
    QApplication::restoreOverrideCursor();
    setEnabled(true);
}

void MainWidget::showCollection(const QUuid &collection)
{
    capsureFolder.clear();
    capsureFile.clear();
    watchCapsureFolder();
    DB::loadOrderLists(collection);
    CollectionSettings::useCollection(collection);
    applyCollection(collection);

    setUpdatesEnabled(false);
    emit selectedCollectionChanged(collection);
    showTabPage(tabPageIndex(collection));
    setHeaderButtonTexts(collection);
    layoutPanels();
    watchCapsureFolder();
    emit onCapsureFileChanged(capsureFile);
    setUpdatesEnabled(true);
    update();
}

QUuid MainWidget::collectionToShow()
{
    // A collection whose file went is no longer offered: the first one is shown, as at a
    // start.
    const QUuid collection = lastUsedCollection();
    const QList<QUuid> collections = DB::CollectionRegistry::instance().orderedCollectionUuids();
    if (collections.contains(collection) || collections.isEmpty())
        return collection;
    setLastUsedCollection(collections.first());
    return collections.first();
}

void MainWidget::showCollectionFilesAsTheyAreNow()
{
    const PersistentStateBatch batch;
    const DB::CollectionLookupBatch lookups;
    showCollection(collectionToShow());
}

void MainWidget::segmentChangedInteractivelyByWheel(int newSegment)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (newSegment == segmentIndex(collection))
        return;
    setSegmentIndex(collection, newSegment);
    colorWheel->update();
    int pageIndex = -1;
    if (DB::findFirstPageIndexFrom(collection, newSegment, moodFilter(collection), exteriorColors(collection), pageIndex)
        == DB::StatusOk) {
        setPageIndex(collection, pageIndex);
        refreshCardDependants(TexturesSlot::PageChanged, false);
    }
    cardRoller->update();
}

void MainWidget::moodFilterChangedInteractively(Mood newMood)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (int(newMood) != moodFilter(collection)) {
        setMoodFilter(collection, newMood);
        filterChanged();
    }
}

void MainWidget::exteriorFilterChangedInteractively(bool exteriorFilter)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (exteriorFilter != exteriorColors(collection)) {
        setExteriorColors(collection, exteriorFilter);
        filterChanged();
    }
}

void MainWidget::showMtoChangedInteractively(bool newValue)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (newValue != showMto(collection)) {
        setShowMto(collection, newValue);
        filterChanged();
    }
}

void MainWidget::filterChanged()
{
    moodSelect->update();
    refilterCards();
}

void MainWidget::refilterCards()
{
    const QUuid collection = lastUsedCollection();
    if (cardType() == CollectionSettings::PulvexCard) {
        if (pulvexSchemer->isVisible())
            pulvexSchemer->update();
        cardRoller->update();
        return;
    }
    DB::ColorPage page;
    if (DB::loadFirstPageOfSegment(collection, segmentIndex(collection), moodFilter(collection), exteriorColors(collection), page)
        != DB::StatusOk)
        return;
    if (page.segment != segmentIndex(collection)) {
        setSegmentIndex(collection, page.segment);
        colorWheel->update();
    }
    if (page.pageIndex != pageIndex(collection)) {
        setPageIndex(collection, page.pageIndex);
        refreshCardDependants(TexturesSlot::PageChanged);
    }
}

void MainWidget::rollCards(Direction dir)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    DB::ColorPage page;
    if (DB::loadAdjacentPage(collection, pageIndex(collection), dir == Backward, moodFilter(collection),
                             exteriorColors(collection), page)
        != DB::StatusOk)
        return;
    if (page.pageIndex == pageIndex(collection))
        return;
    if (page.segment != segmentIndex(collection)) {
        setSegmentIndex(collection, page.segment);
        colorWheel->update();
    }
    setPageIndex(collection, page.pageIndex);
    refreshCardDependants(TexturesSlot::PageChanged);
}

void MainWidget::pageChangedInteractively(int newPage)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (newPage == pageIndex(collection))
        return;
    setPageIndex(collection, newPage);
    // A card reached directly (a drop, a Capsure pick) may lie in another segment: the
    // wheel points at it, and the textures of the new card are laid out.
    followCardSegment(collection);
    refreshCardDependants(TexturesSlot::PageChanged);
}

void MainWidget::followCardSegment(const QUuid &collection)
{
    DB::ColorPage card;
    if (DB::loadPageByIndex(collection, pageIndex(collection), card) != DB::StatusOk)
        return;
    if (card.segment > 0 && card.segment != segmentIndex(collection)) {
        setSegmentIndex(collection, card.segment);
        colorWheel->update();
    }
}

void MainWidget::rowChangedInteractively(int newRow)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (newRow == rowIndex(collection))
        return;
    setRowIndex(collection, newRow);
    refreshCardDependants(TexturesSlot::RowChanged);
}

void MainWidget::tabPageSelected(TabBarPage newPage)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (int(newPage) == tabPageIndex(collection))
        return;
    setTabPageIndex(collection, newPage);
    tabBar->update();
    showTabPage(newPage);
}

void MainWidget::schemeKindChangedInteractively(SchemeKind scheme)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (int(scheme) == schemeKind(collection))
        return;
    setSchemeKind(collection, scheme);
    refreshSchemeDependants();
}

void MainWidget::schemeNeutralSubKindChangedInteractively(SchemeKind scheme)
{
    const PersistentStateBatch batch;
    const QUuid collection = lastUsedCollection();
    if (int(scheme) == schemeNeutralSubKind(collection))
        return;
    setSchemeNeutralSubKind(collection, scheme);
    refreshSchemeDependants();
}

void MainWidget::refreshSchemeDependants()
{
    // The card roller shows no scheme: it is not repainted.
    if (QWidget *schemer = schemerOfCardType(); schemer && schemer->isVisible())
        schemer->update();
    if (productsTab->isVisible())
        productsTab->selectedColorChanged();
    if (texturesTab->isVisible())
        texturesTab->selectedPageChanged();
}

void MainWidget::onKeyboardFocusChanged(QWidget *, QWidget *now)
{
    if (now && (now == search->lineEdit() || now == myPalette->descriptionEditor()))
        emit anEditBoxGotFocus();
    else
        emit anEditBoxLostFocus();
}

void MainWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawImage(0, 0, backgroundImage);
    if (!bannerImage.isNull())
        painter.drawImage((width() - bannerImage.width()) / 2, (70 - bannerImage.height()) / 2, bannerImage);
    painter.setPen(QColor(188, 188, 188));
    const int x = collectionSelect->geometry().right() + 1;
    painter.drawLine(x, collectionSelect->geometry().top(), x, height());
}

void MainWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (myPalette)
        layoutPanels();
}

void MainWidget::mousePressEvent(QMouseEvent *event)
{
    if (bannerRect.contains(event->position().toPoint()) && !headerLink.isEmpty())
        linkActivated(HeaderLink);
    QWidget::mousePressEvent(event);
}

void MainWidget::mouseMoveEvent(QMouseEvent *event)
{
    setCursor(bannerRect.contains(event->position().toPoint()) && !headerLink.isEmpty() ? Qt::PointingHandCursor
                                                                                        : Qt::ArrowCursor);
    QWidget::mouseMoveEvent(event);
}

} // namespace Vantor
