#pragma once

#include "engine/db/CapsureQueries.h"
#include "engine/db/CollectionKeys.h"
#include "engine/db/ColorEntry.h"
#include "engine/db/ProspectEntry.h"
#include "engine/db/SharedTypes.h"

#include <QFileSystemWatcher>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QPropertyAnimation>
#include <QRect>
#include <QString>
#include <QUuid>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QLabel;
class QTemporaryFile;

namespace Vantor {

class AboutButton;
class FocusFrame;
class HelpWindow;
class CardRollerWidget;
class CollectionSelectWidget;
class ColorSchemerPulvexWidget;
class ColorSchemerWidget;
class ColorWheelWidget;
class MoodSelectWidget;
class MyPaletteFullWidget;
class MyPaletteWidget;
class ProductsWidget;
class ProspectWidget;
class SearchWidget;
class TabBarWidget;
class TaskButton;
class TexturesWidget;

// The picker's whole user interface, 800 × 600: it creates, places and wires every
// panel and is the only writer of navigation state. Panels report what the user did;
// the main widget stores it, asks the database where it leads, stores the result and
// tells the dependent panels to repaint.
// The folder a collection's Capsure setting names, "%PROGRAMDATA%" taken as the machine's
// common data folder where the user can write there, else as the user's own data folder
// ($XDG_DATA_HOME, by default ~/.local/share).
QString capsureFolderFor(const QString &setting);

class MainWidget : public QWidget
{
    Q_OBJECT
public:
    // Header button ids.
    enum : quint16 { SaveButtonId = 1, LoadButtonId = 2, HelpButtonId = 3, AboutButtonId = 4, FirstTaskButtonId = 1000 };

    // `self` is the process-wide pointer to the main widget; it is set first, so that
    // panels can reach the main widget while they are being built.
    MainWidget(MainWidget **self, QWidget *parent = nullptr);
    ~MainWidget() override;

    // The main widget of the process that was made last (null when there is none).
    // A host may hold several picker windows at once: panels find their own main
    // widget with of() instead.
    static MainWidget *current();
    // The main widget that `widget` lives in (its nearest such ancestor, or the widget
    // itself); null outside any.
    static MainWidget *of(const QWidget *widget);

    QSize sizeHint() const override { return QSize(800, 600); }

    // For host adapters.
    QAbstractButton *headerButton(quint16 id) const;
    quint16 addAboutButton();
    quint16 addTaskButton(quint16 afterId);
    MyPaletteWidget *myPaletteWidget() const { return myPalette; }
    const QList<quint16> &headerButtonOrder() const { return headerOrder; }

    const QImage &background() const { return backgroundImage; }
    QRect bannerArea() const { return bannerRect; }
    QString capsureFolderPath() const { return capsureFolder; }
    QString capsureFilePath() const { return capsureFile; }
    QStringList watchedCapsurePaths() const;
    QString linkFilePath(const QString &link) const;

    // The panels, for host adapters and tests.
    CollectionSelectWidget *collectionSelectWidget() const { return collectionSelect; }
    ColorWheelWidget *colorWheelWidget() const { return colorWheel; }
    MoodSelectWidget *moodSelectWidget() const { return moodSelect; }
    CardRollerWidget *cardRollerWidget() const { return cardRoller; }
    SearchWidget *searchWidget() const { return search; }
    TabBarWidget *tabBarWidget() const { return tabBar; }
    ColorSchemerWidget *colorSchemerWidget() const { return colorSchemer; }
    ColorSchemerPulvexWidget *pulvexSchemerWidget() const { return pulvexSchemer; }
    ProspectWidget *prospectWidget() const { return prospectTab; }
    TexturesWidget *texturesWidget() const { return texturesTab; }
    ProductsWidget *productsWidget() const { return productsTab; }
    MyPaletteFullWidget *myPaletteFullWidget() const { return myPaletteFull; }
    QLabel *noticeLinkLabel() const { return noticeLabel; }
    QLabel *mottoLinkLabel() const { return mottoLabel; }
    QPropertyAnimation *fullViewAnimation() const { return zoomAnimation; }

    // The file dialogs the palette buttons run; replaceable so that they can be driven
    // without a person at the screen.
    using SaveFileDialog = std::function<QString(QWidget *parent, const QString &caption, const QString &startPath,
                                                 const QString &filters, QString *selectedFilter)>;
    using OpenFileDialog = std::function<QString(QWidget *parent, const QString &caption, const QString &startPath,
                                                 const QString &filters)>;
    static void setFileDialogs(SaveFileDialog saveDialog, OpenFileDialog openDialog);
    // What a colour board saved from the Save dialog has besides its chips: asked after
    // the file is chosen; false leaves the board unsaved. Replaceable as the dialogs are.
    using BoardOptionsDialog = std::function<bool(QWidget *parent, bool &vision, bool &letter)>;
    static void setBoardOptionsDialog(BoardOptionsDialog dialog);

    // Puts the one selected chip of My Palette on the clipboard, in words and as a
    // colour; false (and nothing copied) without exactly one selected chip.
    bool copySelectedColour();
    // The same for the chip the keyboard is on in the panel with the focus (the deck's
    // current chip on the deck and the products tab, the marked chip of a scheme or a
    // trend group); false when that panel has none.
    bool copyFocusedChip();
    // Puts that chip into My Palette as a drop would; a trend colour that is no chip of
    // the collection is refused with a word in the palette's bar.
    void collectFocusedChip();
    FocusFrame *keyboardFocusFrame() const { return focusFrame; }

signals:
    void selectedCollectionChanged(QUuid collectionId);
    void savePaletteTo(Vantor::PaletteFileFormat fileFormat, QString path);
    void loadPaletteFrom(Vantor::PaletteFileFormat expectedFileFormat, QString path);
    void onCapsureFileChanged(QString path);
    void myPaletteChanged();
    void myPaletteSelectionChanged();
    void anEditBoxGotFocus();
    void anEditBoxLostFocus();
    // The chosen colour went to the clipboard, in these words.
    void colourCopied(QString words);
    // A search led to no chip in any collection.
    void searchFoundNothing(QString phrase);
    // A chip of the deck, a scheme, a trend group or the products tab was double-clicked.
    void chipDoubleClicked(QUuid collection, Vantor::DB::ColorEntry chip);

public slots:
    void onMyPaletteChanged();
    void onMyPaletteSelectionChanged();
    void collectionChangedInteractively(QUuid collectionId);
    void segmentChangedInteractivelyByWheel(int newSegment);
    void moodFilterChangedInteractively(Vantor::Mood newMood);
    void exteriorFilterChangedInteractively(bool exteriorFilter);
    void showMtoChangedInteractively(bool newValue);
    void rollCards(Vantor::Direction dir);
    void pageChangedInteractively(int newPage);
    void rowChangedInteractively(int newRow);
    void searchForPhrase(QString phrase);
    void tabPageSelected(Vantor::TabBarPage newPage);
    void schemeKindChangedInteractively(Vantor::SchemeKind scheme);
    void schemeNeutralSubKindChangedInteractively(Vantor::SchemeKind scheme);
    void saveButtonClicked();
    void loadButtonClicked();
    void helpButtonClicked();
    void capsureDirectoryChanged(QString path);
    void capsureFileChanged(QString path);
    void capsureItemSelectedInteractively(QUuid collectionId, Vantor::DB::ColorEntry colorEntry);
    void linkActivated(QString link);
    void zoomMyPaletteClicked();
    void unzoomMyPaletteClicked();
    void unzoomMyPaletteAnimationFinished();
    void onKeyboardFocusChanged(QWidget *old, QWidget *now);
    // The collection files changed: every panel shows them as they are now.
    void showCollectionFilesAsTheyAreNow();
    // What a save or a load through the dialogs leaves for the next dialog.
    void rememberSavedPalette(Vantor::PaletteFileFormat format, QString path);
    void rememberLoadedPalette(QString path);

public:
    void layoutPanels();
    void layoutHeaderButtons();
    void showTabPage(int page);
    void watchCapsureFolder();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Construction's steps: the panels in their order, and their connections.
    void createPanels();
    void connectPanels();
    void setUpKeyboard();
    // The Tab key's way through the window in reading order: the left column top down,
    // then the right, and the header buttons in their order last.
    void orderTabStops();
    bool currentDeckChip(DB::ColorEntry &chip) const;
    enum class PanelChip { None, Chip, TrendColour };
    // The chip a panel's keyboard mark is on (the deck's current chip for the deck and
    // the products tab), and that of the panel with the focus.
    PanelChip chipOfPanel(const QWidget *panel, QUuid &collection, DB::ColorEntry &chip, DB::ProspectEntry &trend) const;
    PanelChip focusedChip(QUuid &collection, DB::ColorEntry &chip, DB::ProspectEntry &trend) const;
    void reportDoubleClickedChip(const QWidget *panel);
    bool copyChip(const DB::ColorEntry &chip);
    void copyWords(const QString &words, const QColor &rgb);
    enum class TexturesSlot { PageChanged, RowChanged };

    void applyCollection(const QUuid &collection);
    // Reads the collection afresh into every panel.
    void showCollection(const QUuid &collection);
    // The last used collection, or the first one where that is no longer registered.
    QUuid collectionToShow();
    void setFooterTexts(const QUuid &collection);
    // A footer text as shown: cut where no window could show more of it.
    QString footerText(const QUuid &collection, DB::LocaleKey key) const;
    void setHeaderButtonTexts(const QUuid &collection);
    void connectHeaderButtons();
    void refilterCards();
    void filterChanged();
    void refreshSchemeDependants();
    void refreshCardDependants(TexturesSlot texturesSlot, bool withCardRoller = true);
    // The stored segment follows the current card's.
    void followCardSegment(const QUuid &collection);
    // Goes to a card (and chip) found by the search, with the filters the search rules
    // set for it.
    void showSearchHit(int page, int row, int segment, int mood, bool exterior);
    // The chip (its ROW id in the shown collection) the last search found, for the keys
    // of the search widget while it names it.
    qint64 searchFoundChip = -1;
    QWidget *schemerOfCardType() const;
    int cardType() const;
    QString paletteStartPath(const QUuid &collection) const;
    QImage backgroundPiece(const QRect &area) const;

    QImage backgroundImage;
    QImage bannerImage;
    QRect bannerRect;
    QString headerLink;
    QHash<QString, QTemporaryFile *> linkFiles;
    CollectionSelectWidget *collectionSelect = nullptr;
    ColorWheelWidget *colorWheel = nullptr;
    MoodSelectWidget *moodSelect = nullptr;
    CardRollerWidget *cardRoller = nullptr;
    SearchWidget *search = nullptr;
    TabBarWidget *tabBar = nullptr;
    ColorSchemerWidget *colorSchemer = nullptr;
    ColorSchemerPulvexWidget *pulvexSchemer = nullptr;
    ProspectWidget *prospectTab = nullptr;
    TexturesWidget *texturesTab = nullptr;
    ProductsWidget *productsTab = nullptr;
    MyPaletteWidget *myPalette = nullptr;
    MyPaletteFullWidget *myPaletteFull = nullptr;
    QPropertyAnimation *zoomAnimation = nullptr;
    TaskButton *fallbackButton = nullptr;
    QHash<quint16, QAbstractButton *> headerButtons;
    QList<quint16> headerOrder;
    QLabel *noticeLabel = nullptr;
    QLabel *mottoLabel = nullptr;
    QFileSystemWatcher *capsureWatcher = nullptr;
    QString capsureFolder;
    QString capsureFile;
    QString paletteFilter;
    QString textFilter;
    MainWidget **selfPointer = nullptr;
    FocusFrame *focusFrame = nullptr;
    // Shown where no program opens the help page; it goes when closed.
    QPointer<HelpWindow> helpWindow;
    // The file last chosen in the Load dialog, until its load (a picture's ends later) gives
    // a palette.
    QString loadChosenInDialog;
};

} // namespace Vantor
