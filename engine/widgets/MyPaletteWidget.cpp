#include "MyPaletteWidget.h"

#include "engine/palette/ColourBoard.h"
#include "engine/palette/MyPaletteModel.h"
#include "engine/palette/PaletteExchange.h"
#include "engine/palette/PaletteFile.h"
#include "engine/palette/PaletteImport.h"
#include "engine/palette/PaletteRooms.h"
#include "engine/palette/PaletteUndo.h"
#include "engine/PersistentState.h"
#include "engine/db/ChipDragRecord.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ColorTooltip.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/ThemeResources.h"
#include "engine/colour/ColourValueText.h"
#include "engine/widgets/Captions.h"
#include "engine/widgets/ChipDrag.h"
#include "engine/widgets/DialogTheme.h"
#include "engine/widgets/ImageButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QUndoStack>
#include <QToolTip>

namespace Vantor {

MyPaletteWidget::MyPaletteWidget(QWidget *parent)
    : QWidget(parent)
    , m_model(new MyPaletteModel(this))
    , m_undoStack(new QUndoStack(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_MouseTracking);
    setAcceptDrops(true);
    setFont(DB::normalFont(3));
    barImage = DB::themeImage(DB::ThemeKey::ImageWidgetBarBackground, QSize(30, 30));

    auto makeButton = [this](DB::ThemeKey key) {
        const QImage image = DB::themeImage(key, QSize(16, 16));
        auto *button = new ImageButton(image, image, this);
        button->resize(image.size());
        return button;
    };
    zoom = makeButton(DB::ThemeKey::ImageMypaletteZoom);
    eraser = makeButton(DB::ThemeKey::ImageMypaletteEraser);
    trash = makeButton(DB::ThemeKey::ImageMypaletteTrash);
    grid = makeButton(DB::ThemeKey::ImageMypaletteGridOff);
    grid->setCheckable(true);
    grid->setChecked(true);
    setAccessibleName(tr("My Palette"));
    zoom->setAccessibleName(tr("Full view"));
    eraser->setAccessibleName(tr("Erase"));
    trash->setAccessibleName(tr("Clear"));
    grid->setAccessibleName(tr("Grid lines"));
    int tallest = 0;
    for (ImageButton *button : {zoom, eraser, trash, grid})
        tallest = std::max(tallest, button->height());
    for (ImageButton *button : {zoom, eraser, trash, grid})
        button->resize(button->width(), tallest);

    m_descriptionEditor = new QLineEdit(this);
    m_descriptionEditor->setFrame(false);
    m_descriptionEditor->setTextMargins(0, 0, 0, 0);
    // Qt's own placeholder colour is darker than the main window's background.
    QPalette editorPalette = m_descriptionEditor->palette();
    editorPalette.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 128));
    m_descriptionEditor->setPalette(editorPalette);
    m_descriptionEditor->installEventFilter(this);
    m_descriptionEditor->setAccessibleName(tr("Palette description"));
    refuseChipDrops(m_descriptionEditor);
    QApplication::postEvent(m_descriptionEditor, new QFocusEvent(QEvent::FocusOut));

    // Short notes on what a button did, in the bar left of its buttons, gone after a few
    // seconds.
    statusLine = new QLabel(this);
    QFont statusFont = DB::italicFont(2);
    statusLine->setFont(statusFont);
    QPalette statusPalette = statusLine->palette();
    statusPalette.setColor(QPalette::WindowText, Qt::white);
    statusLine->setPalette(statusPalette);
    statusLine->hide();
    statusTimer = new QTimer(this);
    statusTimer->setSingleShot(true);
    statusTimer->setInterval(4000);
    connect(statusTimer, &QTimer::timeout, statusLine, &QLabel::hide);

    selectedCollectionChanged(lastUsedCollection());

    connect(zoom, &QAbstractButton::clicked, this, &MyPaletteWidget::zoomClicked);
    connect(eraser, &QAbstractButton::clicked, this, &MyPaletteWidget::eraseClicked);
    connect(trash, &QAbstractButton::clicked, this, &MyPaletteWidget::clearClicked);
    connect(grid, &QAbstractButton::clicked, this, &MyPaletteWidget::gridClicked);
    connect(m_descriptionEditor, &QLineEdit::editingFinished, this, &MyPaletteWidget::paletteDescriptionEditFinished);
    connect(m_model, &MyPaletteModel::changed, this, &MyPaletteWidget::onModelChanged);
    // What an undo or redo puts back shows in the description line too.
    connect(m_undoStack, &QUndoStack::indexChanged, this,
            [this] { m_descriptionEditor->setText(m_model->description()); });
    connect(m_model, &MyPaletteModel::selectionChanged, this, &MyPaletteWidget::onModelSelectionChanged);
}

MyPaletteWidget::~MyPaletteWidget()
{
    // A picture still being read is not waited for: the read stops at its next row or
    // round, and its result goes nowhere.
    for (const std::shared_ptr<PictureReadTask> &read : std::as_const(pictureReads))
        read->cancel();
    // The stack goes with the children, after the model: nothing of it may reach back.
    m_undoStack->disconnect(this);
}

void MyPaletteWidget::onModelChanged()
{
    updateButtons();
    update();
    emit myPaletteChanged();
}

void MyPaletteWidget::onModelSelectionChanged()
{
    updateButtons();
    update();
    chipSelectionChanged(this);
    emit myPaletteSelectionChanged();
}

QVector<AccessibleChip> MyPaletteWidget::describeChips() const
{
    QVector<AccessibleChip> cells;
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const PaletteCell &cell = m_model->cell(position);
        AccessibleChip described;
        DB::ColorEntry chip;
        if (!cell.isOccupied())
            described.name = tr("Empty");
        else if (DB::loadColorById(cell.index.collection, cell.index.rowId, chip) == DB::StatusOk)
            described.name = chipInWords(chip);
        else
            described.name = cell.label.isEmpty() ? cell.colour.name(QColor::HexRgb).toUpper() : cell.label;
        described.description = tr("My Palette, row %1, column %2").arg(position.y() + 1).arg(position.x() + 1);
        if (!cell.room.isEmpty())
            described.description += tr(", %1 %2").arg(cell.room, cell.surface).trimmed();
        described.rect = cellRect(position);
        described.selectable = true;
        described.selected = m_model->selection().contains(position);
        cells.append(described);
    }
    return cells;
}

int MyPaletteWidget::keyboardChip() const
{
    const QList<QPoint> &selection = m_model->selection();
    return selection.isEmpty() ? -1 : int(MyPaletteModel::gridOrder().indexOf(selection.constLast()));
}

QVector<QColor> MyPaletteWidget::selectedChipColours() const
{
    return m_model->selectedChipColours();
}

void MyPaletteWidget::setButtonTooltips(const QUuid &collection)
{
    zoom->setToolTip(localeTextOr(collection, QStringLiteral("tiptext.mypalette.zoom"), QStringLiteral("Full view of the palette")));
    eraser->setToolTip(localeTextOr(collection, QStringLiteral("tiptext.mypalette.deletechip"),
                                    QStringLiteral("Remove the selected chips (Delete)")));
    trash->setToolTip(localeTextOr(collection, QStringLiteral("tiptext.mypalette.clearpalettebutton"),
                                   QStringLiteral("Empty the palette")));
    grid->setToolTip(grid->isChecked()
                         ? localeTextOr(collection, QStringLiteral("tiptext.mypalette.gridoff"), QStringLiteral("Hide the grid"))
                         : localeTextOr(collection, QStringLiteral("tiptext.mypalette.gridon"), QStringLiteral("Show the grid")));
}

void MyPaletteWidget::selectedCollectionChanged(QUuid collectionId)
{
    m_descriptionEditor->setPlaceholderText(DB::localizedString(collectionId, DB::LocaleKey::MypaletteNoteInstructions));
    m_model->restore();
    if (m_descriptionEditor->text() != m_model->description()) {
        m_descriptionEditor->setText(m_model->description());
        if (!m_model->description().isEmpty())
            m_descriptionEditor->setFont(DB::normalFont(3));
    }
    dropTarget = QPoint(-1, -1);
    updateButtons();
    grid->setChecked(myPaletteGridVisible());
    setButtonTooltips(collectionId);
    update();
}

void MyPaletteWidget::updateButtons()
{
    const bool empty = m_model->isEmpty();
    zoom->setEnabled(!empty);
    trash->setEnabled(!empty);
    grid->setEnabled(true);
    eraser->setEnabled(m_model->hasOccupiedSelection());
    if (empty != reportedEmpty) {
        reportedEmpty = empty;
        emit emptyChanged(empty);
    }
}

void MyPaletteWidget::savePaletteTo(PaletteFileFormat fileFormat, QString path)
{
    QString problem;
    bool saved = false;
    const ExchangeFormat exchange = exchangeFormatOf(fileFormat);
    if (fileFormat == PaletteFileBoard) {
        // Titled by the palette's description, else by the file's name; with the rooms
        // given in the full view, and the chips that cannot be read named.
        const QString title = !m_model->description().isEmpty() ? m_model->description() : QFileInfo(path).completeBaseName();
        QVector<LeftOutColour> leftOut;
        ColourBoard board = colourBoardOf(placedChipsOf(*m_model, &leftOut), title, leftOut);
        QStringList roomProblems;
        applyBoardRooms(board, paletteRoomsText(*m_model), roomProblems);
        saved = writeFileAtomically(colourBoardPdf(board, boardPaper.value_or(boardPaperFor(QLocale::system())), boardVision),
                                    path, &problem);
    } else if (exchange == ExchangeFormat::None) {
        saved = savePaletteFile(*m_model, fileFormat, path, &problem);
        // The rooms are kept beside the palette file, which stays as it always was; a
        // palette without rooms leaves no rooms file of an older save behind.
        if (saved && fileFormat == PaletteFileXml) {
            const QString rooms = paletteRoomsText(*m_model);
            const QString beside = roomsFileBeside(path);
            if (!rooms.isEmpty() && !writeFileAtomically(rooms.toUtf8(), beside, &problem))
                showStatus(QStringLiteral("%1: rooms not saved: %2").arg(QFileInfo(beside).fileName(), problem));
            else if (rooms.isEmpty() && QFileInfo::exists(beside))
                QFile::remove(beside);
        }
    } else {
        const QString fallbackName =
            DB::localizedString(lastUsedCollection(), DB::LocaleKey::CommonFiledialogPalettefileDefaultfilename);
        saved = writeFileAtomically(exchangeBytes(*m_model, exchange, fallbackName), path, &problem);
    }
    if (!saved) {
        // The old file, if any, is as it was.
        showStatus(QStringLiteral("%1: not saved: %2").arg(QFileInfo(path).fileName(), problem));
        return;
    }
    emit paletteSaved(fileFormat, path);
}

bool MyPaletteWidget::collectChip(const QUuid &collection, const DB::ColorEntry &chip)
{
    const QList<QPoint> &selection = m_model->selection();
    QPoint target(-1, -1);
    if (selection.size() == 1 && !m_model->cell(selection.constFirst()).isOccupied()) {
        target = selection.constFirst();
    } else {
        // Not a selected cell: a drop there would fill every selected cell.
        for (const QPoint &position : MyPaletteModel::gridOrder()) {
            if (!m_model->cell(position).isOccupied() && !selection.contains(position)) {
                target = position;
                break;
            }
        }
    }
    if (!MyPaletteModel::isInGrid(target)) {
        showStatus(QStringLiteral("My Palette is full: empty a cell first"));
        return false;
    }
    recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Drop"), [&] { m_model->dropChip(target, collection, chip); });
    return true;
}

void MyPaletteWidget::loadPaletteFrom(PaletteFileFormat, QString path)
{
    // The file is opened once: what it holds decides how it is read. The picker's own
    // palette files, the palettes of other design tools and pictures alike give the
    // current collection's nearest chips.
    ImportFile opened = openImportFile(path);
    // A picture takes long to decode: read on a worker, it changes the palette when done.
    if (opened.kind == ImportedKind::Picture) {
        startReadingPicture(std::move(opened));
        return;
    }
    // Any other load replaces a picture still being read. A file that gives nothing
    // changes nothing, and says why: a silent failure reads as a broken button. A load
    // replaces the whole palette: it can be undone like any other change.
    cancelPictureReads();
    recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Load"),
                        [&] { takeImport(path, importFile(opened, lastUsedCollection())); });
}

void MyPaletteWidget::takeImport(const QString &path, const PaletteImport &imported)
{
    if (!imported.succeeded()) {
        const QString reason = importProblemText(imported, path);
        showStatus(reason);
        emit paletteLoadFailed(path, reason);
        return;
    }
    fillPalette(*m_model, imported);
    // A palette of our own brings the rooms kept beside it.
    if (imported.kind == ImportedKind::OwnPalette) {
        QFile rooms(roomsFileBeside(path));
        if (rooms.size() <= MaximumPaletteFileSize && rooms.open(QIODevice::ReadOnly))
            applyPaletteRooms(*m_model, QString::fromUtf8(rooms.readAll()));
    }
    paletteLoaded(path);
    if (imported.approximateColours)
        showStatus(QStringLiteral("%1: CMYK without a colour profile: the colours are approximate").arg(QFileInfo(path).fileName()));
}

void MyPaletteWidget::cancelPictureReads()
{
    for (const std::shared_ptr<PictureReadTask> &read : std::as_const(pictureReads))
        read->cancel();
    pictureReads.clear();
    unsetCursor();
}

void MyPaletteWidget::startReadingPicture(ImportFile opened)
{
    cancelPictureReads();
    const QString path = opened.path;
    std::shared_ptr<PictureReadTask> read = PictureReadTask::start(std::move(opened), this, [this, path](const PictureColours &colours) {
        pictureReads.clear();
        unsetCursor();
        pictureRead(path, colours);
    });
    pictureReads.append(read);
    setCursor(Qt::BusyCursor);
    showStatus(QStringLiteral("Reading %1\u2026").arg(QFileInfo(path).fileName()));
}

void MyPaletteWidget::pictureRead(const QString &path, const PictureColours &read)
{
    // "Reading …" has done its work.
    statusLine->hide();
    const PaletteImport imported = importPictureColours(read, path, lastUsedCollection());
    // A load replaces the whole palette: it can be undone like any other change.
    recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Load"), [&] { takeImport(path, imported); });
}

void MyPaletteWidget::finishReadingPicture()
{
    if (pictureReads.isEmpty())
        return;
    // Kept: taking the result empties the list.
    const std::shared_ptr<PictureReadTask> latest = pictureReads.constLast();
    latest->waitUntilRead();
}

void MyPaletteWidget::paletteLoaded(const QString &path)
{
    m_descriptionEditor->setText(m_model->description());
    // The italic of the empty field's hint is not for a loaded description.
    if (!m_model->description().isEmpty())
        m_descriptionEditor->setFont(DB::normalFont(3));
    update();
    updateButtons();
    emit myPaletteChanged();
    emit paletteLoadedFrom(path);
}

void MyPaletteWidget::showStatus(const QString &text)
{
    statusLine->setText(elideCaption(text, QFontMetrics(statusLine->font()), statusLine->width()));
    statusLine->setToolTip(text);
    statusLine->show();
    statusLine->raise();
    statusTimer->start();
}

void MyPaletteWidget::keyPressEvent(QKeyEvent *event)
{
    const QList<QPoint> &selection = m_model->selection();
    QPoint step;
    switch (event->key()) {
    case Qt::Key_Left: step = QPoint(-1, 0); break;
    case Qt::Key_Right: step = QPoint(1, 0); break;
    case Qt::Key_Up: step = QPoint(0, -1); break;
    case Qt::Key_Down: step = QPoint(0, 1); break;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (m_model->hasOccupiedSelection())
            eraseClicked();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    // The arrows move the selected cell, as a click on the next one would; without a
    // selection they start in the first cell.
    const QPoint from = selection.isEmpty() ? QPoint(0, 0) - step : selection.constLast();
    const QPoint to(std::clamp(from.x() + step.x(), 0, MyPaletteModel::Columns - 1),
                    std::clamp(from.y() + step.y(), 0, MyPaletteModel::Rows - 1));
    if (selection.size() != 1 || selection.constFirst() != to)
        m_model->pressCell(to, Qt::NoModifier);
}

void MyPaletteWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint position = cellAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !MyPaletteModel::isInGrid(position) || !m_model->cell(position).isOccupied())
        return;
    if (m_model->selection() != QList<QPoint>{position})
        m_model->pressCell(position, Qt::NoModifier);
    emit cellDoubleClicked(position);
}

void MyPaletteWidget::zoomClicked()
{
    emit zoomMyPaletteClicked();
}

void MyPaletteWidget::eraseClicked()
{
    recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Erase"), [this] { m_model->eraseSelection(); });
}

void MyPaletteWidget::clearClicked()
{
    if (!question) {
        const QUuid collection = lastUsedCollection();
        question = new QMessageBox(QMessageBox::Question,
                                   DB::localizedString(collection, DB::LocaleKey::CommonConfirmationDialogCaption),
                                   DB::localizedString(collection, DB::LocaleKey::MypaletteClearpalettebuttonQuestion),
                                   QMessageBox::Yes | QMessageBox::No, this, Qt::Sheet);
        question->setDefaultButton(QMessageBox::Yes);
        question->setEscapeButton(QMessageBox::No);
        question->setWindowModality(Qt::WindowModal);
        applyDialogTheme(question);
        question->setInformativeText(QString());
        const QImage icon = DB::themeImage(DB::ThemeKey::ImageMypaletteClearQuestionIcon, QSize(128, 128));
        question->setIconPixmap(QPixmap::fromImage(icon.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        connect(question, &QMessageBox::finished, this, &MyPaletteWidget::clearPaletteQuestionFinished);
    }
    question->open();
}

void MyPaletteWidget::clearPaletteQuestionFinished(int result)
{
    if (result != QMessageBox::Yes)
        return;
    recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Clear"), [this] { m_model->clearCells(); });
}

void MyPaletteWidget::gridClicked(bool checked)
{
    setMyPaletteGridVisible(checked);
    setButtonTooltips(lastUsedCollection());
    update();
}

void MyPaletteWidget::paletteDescriptionEditFinished()
{
    m_model->setDescription(m_descriptionEditor->text());
}

void MyPaletteWidget::setWindowBackground(const WindowBackground &background)
{
    windowBackground = background;
    layOut();
}

void MyPaletteWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void MyPaletteWidget::layOut()
{
    const int barHeight = barImage.height();
    barRect = QRect(QPoint(0, 0), QPoint(width() - 1, barHeight - 1));

    int left = width() - grid->width() - barHeight;
    grid->move(left, (barHeight - grid->height()) / 2);
    for (ImageButton *button : {trash, eraser, zoom}) {
        left = left - button->width() - 4;
        button->move(left, (barHeight - button->height()) / 2);
    }

    statusLine->setGeometry(8, 0, std::max(0, zoom->x() - 16), barHeight);

    const int editorHeight = QFontMetrics(m_descriptionEditor->font()).lineSpacing();
    layout = layoutMyPalette(size(), barHeight, editorHeight);
    m_descriptionEditor->setGeometry(layout.editor);

    // The editor shows the main window's background under it, so it looks transparent.
    const QImage background = DB::themeImage(DB::ThemeKey::ImageWidgetMainBackground, QSize(16, 16));
    if (!background.isNull()) {
        const QPoint offset = windowBackground.origin + m_descriptionEditor->mapTo(this, QPoint(0, 0));
        QPalette palette = m_descriptionEditor->palette();
        palette.setBrush(QPalette::Base, background.copy(QRect(offset, m_descriptionEditor->size())));
        palette.setColor(QPalette::Text, Qt::white);
        m_descriptionEditor->setPalette(palette);
    }
}

QRect MyPaletteWidget::cellRect(const QPoint &position) const
{
    return layout.cells[std::size_t(position.y() * MyPaletteModel::Columns + position.x())];
}

QRect MyPaletteWidget::cellGeometry(int row, int column) const
{
    const QPoint position(column, row);
    return MyPaletteModel::isInGrid(position) ? cellRect(position) : QRect();
}

void MyPaletteWidget::loadPalette(const QString &path)
{
    loadPaletteFrom(PaletteFileXml, path);
}

QPoint MyPaletteWidget::cellAt(const QPoint &point) const
{
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        if (cellRect(position).contains(point))
            return position;
    }
    return QPoint(-1, -1);
}

void MyPaletteWidget::paintEvent(QPaintEvent *event)
{
    const PaintScope toldAfterwards(this, this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (event->rect().intersects(barRect) && !barImage.isNull()) {
        for (int x = 0; x < width(); x += barImage.width())
            painter.drawImage(x, 0, barImage);
    }
    const bool gridVisible = grid->isChecked();
    for (const QPoint &position : MyPaletteModel::gridOrder()) {
        const QRect rect = cellRect(position);
        if (!event->rect().intersects(rect))
            continue;
        const PaletteCell &cell = m_model->cell(position);
        if (cell.isOccupied())
            painter.fillRect(rect, cell.colour);
        if (gridVisible) {
            painter.setPen(QColor(64, 64, 64));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(rect);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 224), 2));
    for (const QPoint &position : m_model->selection()) {
        const QRect rect = cellRect(position);
        if (event->rect().intersects(rect.adjusted(-2, -2, 2, 2)))
            painter.drawRect(QRect(rect.topLeft(), rect.bottomRight() + QPoint(1, 1)));
    }
    if (MyPaletteModel::isInGrid(dropTarget)) {
        painter.setPen(QPen(QColor(0, 151, 251, 192), 2));
        const QRect rect = cellRect(dropTarget);
        painter.drawRect(QRect(rect.topLeft(), rect.bottomRight() + QPoint(1, 1)));
    }
}

void MyPaletteWidget::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (!layout.gridArea.contains(point))
        return;
    dragStart = point;
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint position = cellAt(point);
    if (!MyPaletteModel::isInGrid(position))
        return;
    m_model->pressCell(position, event->modifiers());
}

void MyPaletteWidget::mouseReleaseEvent(QMouseEvent *)
{
    dragStart = QPoint(0, 0);
}

void MyPaletteWidget::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    if (event->buttons() == Qt::NoButton) {
        const QPoint position = cellAt(point);
        if (MyPaletteModel::isInGrid(position) && m_model->cell(position).isOccupied()) {
            const PaletteCell &cell = m_model->cell(position);
            QToolTip::showText(mapToGlobal(cellRect(position).topRight()),
                               DB::colorTooltipText(cell.index.collection, cell.index.rowId, true), this);
        } else {
            QToolTip::hideText();
        }
        return;
    }
    if (event->buttons() != Qt::LeftButton) {
        QToolTip::hideText();
        return;
    }
    if ((point - dragStart).manhattanLength() <= QApplication::startDragDistance() || !layout.gridArea.contains(point))
        return;
    const QPoint position = cellAt(point);
    if (!MyPaletteModel::isInGrid(position) || !m_model->cell(position).isOccupied())
        return;
    const PaletteCell &cell = m_model->cell(position);
    DB::ColorEntry entry;
    if (DB::loadColorById(cell.index.collection, cell.index.rowId, entry) != DB::StatusOk)
        return;
    startChipDrag(this, DB::FromMyPalette, cell.index.collection, entry, Qt::CopyAction, Qt::CopyAction);
}

bool MyPaletteWidget::acceptableDrag(const QMimeData *mime)
{
    const int source = DB::chipRecordSource(mime);
    return DB::hasChipRecord(mime) && (source == DB::FromCardRoller || source == DB::FromColorSchemer);
}

void MyPaletteWidget::repaintTarget(const QPoint &oldTarget, const QPoint &newTarget)
{
    QRect area;
    if (MyPaletteModel::isInGrid(oldTarget))
        area = cellRect(oldTarget);
    if (MyPaletteModel::isInGrid(newTarget))
        area = area.united(cellRect(newTarget));
    if (!area.isNull())
        update(area.adjusted(-3, -3, 3, 3));
}

void MyPaletteWidget::dragEnterEvent(QDragEnterEvent *event)
{
    if (acceptableDrag(event->mimeData()))
        event->acceptProposedAction();
}

void MyPaletteWidget::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::IgnoreAction);
    event->ignore();
    const QPoint point = event->position().toPoint();
    QPoint target(-1, -1);
    if (acceptableDrag(event->mimeData()) && layout.gridArea.contains(point)) {
        event->setDropAction(event->proposedAction());
        event->accept();
        target = cellAt(point);
    }
    if (target != dropTarget) {
        const QPoint old = dropTarget;
        dropTarget = target;
        repaintTarget(old, target);
    }
}

void MyPaletteWidget::dragLeaveEvent(QDragLeaveEvent *)
{
    if (MyPaletteModel::isInGrid(dropTarget)) {
        const QPoint old = dropTarget;
        dropTarget = QPoint(-1, -1);
        repaintTarget(old, dropTarget);
    }
}

void MyPaletteWidget::dropEvent(QDropEvent *event)
{
    if (!MyPaletteModel::isInGrid(dropTarget))
        return;
    if (DB::hasChipRecord(event->mimeData())) {
        event->acceptProposedAction();
        QUuid collection;
        DB::ColorEntry entry;
        if (DB::readChipRecord(event->mimeData(), collection, entry) == DB::StatusOk) {
            const QPoint target = dropTarget;
            recordPaletteChange(*m_undoStack, *m_model, QStringLiteral("Drop"),
                                [&] { m_model->dropChip(target, collection, entry); });
        }
    }
    dropTarget = QPoint(-1, -1);
    updateButtons();
    update();
}

bool MyPaletteWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_descriptionEditor) {
        if (event->type() == QEvent::FocusIn) {
            m_descriptionEditor->setFont(DB::normalFont(3));
        } else if (event->type() == QEvent::FocusOut && m_descriptionEditor->text().isEmpty()) {
            m_descriptionEditor->setFont(DB::italicFont(3));
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace Vantor
