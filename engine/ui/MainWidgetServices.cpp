// The main widget's services to the outside: the palette file dialogs, the help page
// and the footer and banner links, the watched Capsure folder, and My Palette's full
// view sliding in and out.

#include "MainWidget.h"
#include "HelpWindow.h"
#include "MainWidgetLinks.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/colour/ImagePalette.h"
#include "engine/widgets/MyPaletteFullWidget.h"
#include "engine/widgets/MyPaletteWidget.h"
#include "engine/palette/ColourBoard.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/widgets/CollectionSelectWidget.h"
#include "engine/widgets/DialogTheme.h"
#include "engine/widgets/NestedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QChildEvent>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QUrl>

namespace Vantor {

namespace {

// The suffix a name filter such as "GIMP palette (*.gpl)" gives its files: "gpl"; empty
// for a filter of several patterns or none.
QString filterSuffix(const QString &filter)
{
    static const QRegularExpression single(QStringLiteral("\\(\\*\\.([A-Za-z0-9]+)\\)\\s*$"));
    const QRegularExpressionMatch match = single.match(filter);
    return match.hasMatch() ? match.captured(1) : QString();
}

// Qt's own file dialog, shown where the desktop offers none, wears the picker's look; a
// desktop's dialog keeps its own. The dialog QFileDialog's static functions make is a
// child of the picker, polished just before it shows.
class OwnFileDialogTheme : public QObject
{
public:
    explicit OwnFileDialogTheme(QWidget *parent)
    {
        if (parent)
            parent->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ChildPolished) {
            auto *dialog = qobject_cast<QFileDialog *>(static_cast<QChildEvent *>(event)->child());
            if (dialog && !dialog->property(ThemedProperty).toBool()) {
                dialog->setProperty(ThemedProperty, true);
                applyDialogTheme(dialog);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr const char *ThemedProperty = "palettraThemed";
};

// QFileDialog's static functions, so that the desktop's own dialog (a platform theme,
// the desktop portal) is used where there is one. They run a loop of their own and keep
// their dialog on the heap; the host may destroy the picker meanwhile. The chosen file,
// or nothing.
QString runFileDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &caption, const QString &startPath,
                      const QString &filters, QString *selectedFilter)
{
    const QPointer<QWidget> owner(parent);
    const OwnFileDialogTheme theme(parent);
    QString filter = selectedFilter ? *selectedFilter : QString();
    QString chosen;
    NestedDialogs::execChildDialog(parent, [&] {
        chosen = mode == QFileDialog::AcceptSave ? QFileDialog::getSaveFileName(parent, caption, startPath, filters, &filter)
                                                 : QFileDialog::getOpenFileName(parent, caption, startPath, filters, &filter);
    });
    if (!owner)
        return QString();
    if (selectedFilter)
        *selectedFilter = filter;
    return chosen;
}

MainWidget::SaveFileDialog &saveFileDialog()
{
    static MainWidget::SaveFileDialog dialog = [](QWidget *parent, const QString &caption, const QString &startPath,
                                                  const QString &filters, QString *selectedFilter) {
        return runFileDialog(parent, QFileDialog::AcceptSave, caption, startPath, filters, selectedFilter);
    };
    return dialog;
}

MainWidget::OpenFileDialog &openFileDialog()
{
    static MainWidget::OpenFileDialog dialog = [](QWidget *parent, const QString &caption, const QString &startPath,
                                                  const QString &filters) {
        // The first filter, the picker's own palettes, is the one shown at first.
        QString first = filters.section(QStringLiteral(";;"), 0, 0);
        return runFileDialog(parent, QFileDialog::AcceptOpen, caption, startPath, filters, &first);
    };
    return dialog;
}

// The board's options: the colour-vision page and the paper, in a small dialog of the
// picker's look; on the heap, as every nested dialog is.
bool askBoardOptions(QWidget *parent, bool &vision, bool &letter)
{
    auto *dialog = new QDialog(parent);
    dialog->setWindowTitle(QStringLiteral("Colour board"));
    applyDialogTheme(dialog);
    auto *visionBox = new QCheckBox(QStringLiteral("Add a page of the colours as people with colour-vision deficiencies see them"),
                                    dialog);
    visionBox->setChecked(vision);
    auto *paper = new QComboBox(dialog);
    paper->addItem(QStringLiteral("A4"));
    paper->addItem(QStringLiteral("Letter"));
    paper->setCurrentIndex(letter ? 1 : 0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, dialog);
    auto *form = new QFormLayout(dialog);
    form->addRow(visionBox);
    form->addRow(QStringLiteral("Paper"), paper);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    const QPointer<QDialog> guard(dialog);
    if (NestedDialogs::exec(dialog) != QDialog::Accepted || !guard)
        return false;
    vision = visionBox->isChecked();
    letter = paper->currentIndex() == 1;
    return true;
}

MainWidget::BoardOptionsDialog &boardOptionsDialog()
{
    static MainWidget::BoardOptionsDialog dialog = askBoardOptions;
    return dialog;
}

} // namespace

void MainWidget::setBoardOptionsDialog(BoardOptionsDialog dialog)
{
    if (dialog)
        boardOptionsDialog() = std::move(dialog);
}

void MainWidget::setFileDialogs(SaveFileDialog saveDialog, OpenFileDialog openDialog)
{
    if (saveDialog)
        saveFileDialog() = std::move(saveDialog);
    if (openDialog)
        openFileDialog() = std::move(openDialog);
}

QString MainWidget::paletteStartPath(const QUuid &collection) const
{
    const QString last = myPaletteLastSavePath();
    if (!last.isEmpty() && QFileInfo::exists(last))
        return last;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QDir::separator()
        + DB::localizedString(collection, DB::LocaleKey::CommonFiledialogPalettefileDefaultfilename);
}

namespace {

// The palette files of other design tools and the colour board, offered after the
// picker's own formats. The collection files have no texts for them.
const struct
{
    const char *filter;
    PaletteFileFormat format;
} ExchangeFilters[] = {
    {"GIMP palette (*.gpl)", PaletteFileGpl},
    {"Adobe Swatch Exchange (*.ase)", PaletteFileAse},
    {"CxF3 colour exchange (*.cxf)", PaletteFileCxf},
    {"CSS custom properties (*.css)", PaletteFileCss},
    {"Colour board (*.pdf)", PaletteFileBoard},
};

// A file dialog may close without handing the keyboard back to the picker (no window
// manager, or one that activates another window): the picker takes it back, to the
// widget that had it, so that its keys go on working.
class KeyboardComesBack
{
public:
    explicit KeyboardComesBack(QWidget *picker)
        : m_window(picker->window())
        , m_focus(QApplication::focusWidget())
    {
    }
    ~KeyboardComesBack()
    {
        if (!m_window || !m_window->isVisible())
            return;
        // The host may hear the activation or the focus and destroy the picker.
        const NestedDialogs::CallOut call;
        m_window->activateWindow();
        if (m_window && m_focus && m_focus->window() == m_window)
            m_focus->setFocus(Qt::OtherFocusReason);
    }
    KeyboardComesBack(const KeyboardComesBack &) = delete;
    KeyboardComesBack &operator=(const KeyboardComesBack &) = delete;

private:
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_focus;
};

bool isOwnPaletteName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.compare(QLatin1String("palette"), Qt::CaseInsensitive) == 0
        || suffix.compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0;
}

// A palette of the same name in the same folder: what a save after loading a picture or
// another tool's palette proposes, so that the file loaded is not overwritten by a
// palette of ours under its name.
QString ownPaletteNameBeside(const QString &path)
{
    const QFileInfo info(path);
    return info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".palette");
}

const char *const ImportFilter = "Palettes of other design tools (*.gpl *.ase *.cxf)";
// Files without a suffix, or with another's, are recognised by what they hold.
const char *const AnyFileFilter = "All files (*)";

} // namespace

void MainWidget::saveButtonClicked()
{
    const QUuid collection = lastUsedCollection();
    const bool textOffered = CollectionSettings::savePaletteTextFormat(collection, false);
    QStringList filters{paletteFilter};
    if (textOffered)
        filters << textFilter;
    for (const auto &exchange : ExchangeFilters)
        filters << QLatin1String(exchange.filter);
    QString selected = textOffered && myPaletteSaveFileFormat() == PaletteFileText ? textFilter : paletteFilter;
    QString start = paletteStartPath(collection);
    // The save proposes a palette file, never the picture or another tool's file loaded last.
    if (QFileInfo::exists(start) && !isOwnPaletteName(start))
        start = ownPaletteNameBeside(start);
    const KeyboardComesBack keyboard(this);
    QString path = saveFileDialog()(this, DB::localizedString(collection, DB::LocaleKey::CommonFiledialogPalettefileSavedialogcaption),
                                          start, filters.join(QStringLiteral(";;")), &selected);
    if (path.isEmpty())
        return;
    for (const auto &exchange : ExchangeFilters) {
        if (selected.compare(QLatin1String(exchange.filter), Qt::CaseInsensitive) == 0) {
            // An export named without a suffix gets its format's, so that the file says
            // what it is; the picker's own formats are saved where the user said.
            if (QFileInfo(path).suffix().isEmpty())
                path += QLatin1Char('.') + filterSuffix(selected);
            if (exchange.format == PaletteFileBoard) {
                const QPointer<MainWidget> self(this);
                bool vision = false;
                bool letter = boardPaperFor(QLocale::system()) == BoardPaper::Letter;
                if (!boardOptionsDialog()(this, vision, letter) || !self)
                    return;
                myPalette->setBoardOptions(vision, letter ? BoardPaper::Letter : BoardPaper::A4);
            }
            emit savePaletteTo(exchange.format, path);
            return;
        }
    }
    const PaletteFileFormat format = textOffered && selected.compare(textFilter, Qt::CaseInsensitive) == 0 ? PaletteFileText
                                                                                                           : PaletteFileXml;
    emit savePaletteTo(format, path);
}

void MainWidget::rememberSavedPalette(PaletteFileFormat format, QString path)
{
    // Another tool's format is chosen for that save only: the stored format and path
    // stay those of the last palette saved in the picker's own formats.
    if (exchangeFormatOf(format) != ExchangeFormat::None || format == PaletteFileBoard)
        return;
    setMyPaletteSaveFileFormat(format);
    setMyPaletteLastSavePath(path);
}

void MainWidget::rememberLoadedPalette(QString path)
{
    // Only a file chosen in the Load dialog that gave a palette: the next dialog opens
    // beside it.
    if (path != loadChosenInDialog)
        return;
    loadChosenInDialog.clear();
    setMyPaletteSaveFileFormat(PaletteFileXml);
    setMyPaletteLastSavePath(path);
}

void MainWidget::loadButtonClicked()
{
    const QUuid collection = lastUsedCollection();
    // The picker's own palettes first, then every other kind the load reads, together
    // and each alone.
    const QString picturePatterns = pictureNamePatterns().join(QLatin1Char(' '));
    const QStringList filters{paletteFilter,
                              QStringLiteral("Palettes and pictures (*.palette *.xml *.gpl *.ase *.cxf %1)").arg(picturePatterns),
                              QLatin1String(ImportFilter), QStringLiteral("Pictures (%1)").arg(picturePatterns),
                              QLatin1String(AnyFileFilter)};
    const KeyboardComesBack keyboard(this);
    const QString path = openFileDialog()(this, DB::localizedString(collection, DB::LocaleKey::CommonFiledialogPalettefileOpendialogcaption),
                                          paletteStartPath(collection), filters.join(QStringLiteral(";;")));
    if (path.isEmpty())
        return;
    loadChosenInDialog = path;
    emit loadPaletteFrom(PaletteFileXml, path);
}

void MainWidget::helpButtonClicked()
{
    QString link = CollectionSettings::helpLink(lastUsedCollection());
    if (link.contains(QStringLiteral("%APP%"), Qt::CaseInsensitive)) {
        const QString folder = QFileInfo(QFileInfo(modulePath()).absolutePath()).canonicalFilePath();
        link.replace(QStringLiteral("%APP%"), folder, Qt::CaseInsensitive);
    }
    QUrl url(link);
    // "file:///%APP%/…" with an absolute folder reads "file:////folder/…", a path no
    // browser finds: the local file it means is named again as a file URL.
    if (url.isValid() && url.isLocalFile())
        url = QUrl::fromLocalFile(QDir::cleanPath(url.toLocalFile()));
    if (!url.isValid() || QDesktopServices::openUrl(url))
        return;
    // No program here opens the page: the picker shows it itself, once.
    if (!helpWindow)
        helpWindow = new HelpWindow(url, this);
    helpWindow->show();
    helpWindow->raise();
    helpWindow->activateWindow();
}

void MainWidget::linkActivated(QString link)
{
    const QUuid collection = lastUsedCollection();
    if (link == CopyrightLink || link == MottoLink) {
        QTemporaryFile *file = linkFiles.value(link);
        if (!file) {
            file = new QTemporaryFile(QDir::toNativeSeparators(
                QStringLiteral("%1%2qt_temp_XXXXXX.html").arg(QDir::tempPath(), QString(QDir::separator()))));
            linkFiles.insert(link, file);
        }
        // Reopening a temporary file keeps its old content: a shorter text must not
        // leave the end of a longer one behind.
        if (file->open() && file->resize(0)) {
            const DB::LocaleKey key = link == CopyrightLink ? DB::LocaleKey::LicenseCopyright : DB::LocaleKey::Motto;
            file->write(DB::localizedString(collection, key).toUtf8());
            file->close();
        }
        if (QFileInfo::exists(file->fileName()))
            QDesktopServices::openUrl(QUrl::fromLocalFile(file->fileName()));
    } else if (link == HeaderLink) {
        if (!headerLink.isEmpty())
            QDesktopServices::openUrl(QUrl(headerLink));
    }
}

QString MainWidget::linkFilePath(const QString &link) const
{
    const QTemporaryFile *file = linkFiles.value(link);
    return file ? file->fileName() : QString();
}

QStringList MainWidget::watchedCapsurePaths() const
{
    return capsureWatcher->files() + capsureWatcher->directories();
}

void MainWidget::watchCapsureFolder()
{
    capsureWatcher->blockSignals(true);
    const QStringList watched = capsureWatcher->files() + capsureWatcher->directories();
    if (!watched.isEmpty())
        capsureWatcher->removePaths(watched);
    disconnect(capsureWatcher, &QFileSystemWatcher::fileChanged, this, &MainWidget::capsureFileChanged);
    disconnect(capsureWatcher, &QFileSystemWatcher::directoryChanged, this, &MainWidget::capsureDirectoryChanged);
    if (!capsureFolder.isEmpty() && QFileInfo(capsureFolder).isDir()) {
        capsureWatcher->addPath(capsureFolder);
        if (QFileInfo::exists(capsureFile))
            capsureWatcher->addPath(capsureFile);
        connect(capsureWatcher, &QFileSystemWatcher::fileChanged, this, &MainWidget::capsureFileChanged);
        connect(capsureWatcher, &QFileSystemWatcher::directoryChanged, this, &MainWidget::capsureDirectoryChanged);
        capsureWatcher->blockSignals(false);
    }
}

QString capsureFolderFor(const QString &setting)
{
    // The machine's common data folder where the user may write there (a folder of one's
    // own, the build tree); else the user's own data folder: measurement software run by
    // a user cannot write below /usr/share.
    const QString common = DB::commonAppDataFolder();
    const QString data = QFileInfo(common).isWritable()
        ? common
        : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    QString folder = setting;
    folder.replace(QStringLiteral("%PROGRAMDATA%"), data, Qt::CaseInsensitive);
    return folder;
}

void MainWidget::capsureDirectoryChanged(QString)
{
    capsureWatcher->blockSignals(true);
    if (QFileInfo::exists(capsureFile)) {
        if (!capsureWatcher->files().contains(capsureFile))
            capsureWatcher->addPath(capsureFile);
    } else if (capsureWatcher->files().contains(capsureFile)) {
        capsureWatcher->removePath(capsureFile);
    }
    emit onCapsureFileChanged(capsureFile);
    capsureWatcher->blockSignals(false);
}

void MainWidget::capsureFileChanged(QString)
{
    capsureWatcher->blockSignals(true);
    emit onCapsureFileChanged(capsureFile);
    capsureWatcher->blockSignals(false);
}

void MainWidget::capsureItemSelectedInteractively(QUuid collectionId, DB::ColorEntry colorEntry)
{
    const PersistentStateBatch batch;
    DB::ColorPage page;
    if (DB::loadPageById(collectionId, colorEntry.pageId, true, page) != DB::StatusOk)
        return;
    if (collectionId != lastUsedCollection())
        collectionChangedInteractively(collectionId);
    const QUuid collection = lastUsedCollection();
    if (page.segment != segmentIndex(collection))
        segmentChangedInteractivelyByWheel(page.segment);
    if (page.pageIndex != pageIndex(collection))
        pageChangedInteractively(page.pageIndex);
    if (colorEntry.rowIndex != rowIndex(collection))
        rowChangedInteractively(colorEntry.rowIndex);
}

void MainWidget::zoomMyPaletteClicked()
{
    // A slide-out still running must not hide the view that now slides in.
    disconnect(zoomAnimation, &QPropertyAnimation::finished, this, &MainWidget::unzoomMyPaletteAnimationFinished);
    myPaletteFull->raise();
    myPaletteFull->move(width(), 0);
    myPaletteFull->show();
    zoomAnimation->stop();
    zoomAnimation->setTargetObject(myPaletteFull);
    zoomAnimation->setPropertyName("pos");
    zoomAnimation->setDuration(350);
    zoomAnimation->setEasingCurve(QEasingCurve::OutQuart);
    zoomAnimation->setStartValue(QPoint(width(), 0));
    zoomAnimation->setEndValue(QPoint(0, 0));
    zoomAnimation->start();
}

void MainWidget::unzoomMyPaletteClicked()
{
    myPaletteFull->raise();
    zoomAnimation->stop();
    zoomAnimation->setTargetObject(myPaletteFull);
    zoomAnimation->setPropertyName("pos");
    zoomAnimation->setDuration(350);
    zoomAnimation->setEasingCurve(QEasingCurve::OutQuart);
    zoomAnimation->setStartValue(myPaletteFull->pos());
    zoomAnimation->setEndValue(QPoint(-width(), 0));
    connect(zoomAnimation, &QPropertyAnimation::finished, this, &MainWidget::unzoomMyPaletteAnimationFinished,
            Qt::UniqueConnection);
    zoomAnimation->start();
}

void MainWidget::unzoomMyPaletteAnimationFinished()
{
    disconnect(zoomAnimation, &QPropertyAnimation::finished, this, &MainWidget::unzoomMyPaletteAnimationFinished);
    myPaletteFull->hide();
}

} // namespace Vantor
