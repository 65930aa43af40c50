#include "SearchWidget.h"

#include "engine/widgets/ChipDrag.h"
#include "RollButton.h"
#include "ToUpperCaseValidator.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ForgivingSearch.h"
#include "engine/db/SearchQueries.h"
#include "engine/db/SqlSupport.h"
#include "engine/db/ThemeResources.h"
#include "engine/PersistentState.h"

#include <QCompleter>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMutex>
#include <QPainter>
#include <QStringListModel>
#include <QThreadPool>
#include <QTimer>

#include <memory>
#include <utility>

namespace Vantor {

SearchWidget::SearchWidget(QWidget *parent)
    : QWidget(parent)
    , m_lineEdit(new QLineEdit(this))
{
    m_lineEdit->setFocusPolicy(Qt::StrongFocus);
    m_lineEdit->setFrame(false);
    m_lineEdit->setTextMargins(0, 0, 0, 0);
    m_lineEdit->setValidator(new ToUpperCaseValidator(m_lineEdit));
    m_lineEdit->setFont(DB::italicFont(2));
    m_lineEdit->setAccessibleName(tr("Search"));
    refuseChipDrops(m_lineEdit);
    m_backward = new RollButton(Backward, this);
    m_forward = new RollButton(Forward, this);
    setFixedSize(210, 26);
    m_lineEdit->installEventFilter(this);
    connect(m_forward, &QPushButton::clicked, this, &SearchWidget::rollForwardButtonClicked);
    connect(m_backward, &QPushButton::clicked, this, &SearchWidget::rollBackwardButtonClicked);
    connect(m_lineEdit, &QLineEdit::returnPressed, this, &SearchWidget::searchPhraseReturnPressed);
    connect(m_lineEdit, &QLineEdit::textEdited, this, &SearchWidget::textEdited);

    // The names and codes that match what is typed, best first, where the user can see
    // and pick them: over the deck, as a child of the main window like the collection list.
    m_popup = new QListWidget(parentWidget() ? parentWidget() : this);
    m_popup->hide();
    m_popup->setFocusPolicy(Qt::NoFocus);
    m_popup->setAccessibleName(tr("Search suggestions"));
    m_popup->setFont(DB::normalFont(2));
    m_popup->setFrameShape(QFrame::NoFrame);
    m_popup->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_popup->setStyleSheet(QStringLiteral(
        "QListWidget { background: rgba(40, 42, 46, 240); color: white; border: 1px solid rgb(96, 96, 96); }"
        "QListWidget::item { padding: 1px 6px; }"
        "QListWidget::item:selected { background: rgba(255, 255, 255, 48); color: white; }"));
    connect(m_popup, &QListWidget::itemClicked, this, &SearchWidget::completionChosen);
    selectedCollectionChanged(lastUsedCollection());
}

void SearchWidget::textEdited(const QString &text)
{
    setNotFound(false);
    clearFoundChip();
    // Before the field asks its completer (it does so after this signal).
    offerCompletionsFor(text);
    const QStringList completions = DB::forgivingCompletions(lastUsedCollection(), text, 12);
    m_popup->clear();
    if (completions.isEmpty() || text.trimmed().isEmpty()) {
        m_popup->hide();
        return;
    }
    m_popup->addItems(completions);
    placePopup();
    m_popup->show();
    m_popup->raise();
}

void SearchWidget::placePopup()
{
    QWidget *host = m_popup->parentWidget();
    const int rowHeight = QFontMetrics(m_popup->font()).height() + 2;
    const int height = int(m_popup->count()) * rowHeight + 2;
    // Above the field: the field sits at the bottom of the window.
    const QPoint fieldTopLeft = mapTo(host, QPoint(0, 0));
    const int width = std::max(this->width(), 260);
    m_popup->setGeometry(fieldTopLeft.x(), std::max(0, fieldTopLeft.y() - height - 2), width, height);
}

void SearchWidget::completionChosen(QListWidgetItem *item)
{
    if (!item)
        return;
    m_lineEdit->setText(item->text());
    m_popup->hide();
    searchPhraseReturnPressed();
}

bool SearchWidget::popupKey(QKeyEvent *event)
{
    if (m_popup->isHidden())
        return false;
    const int count = int(m_popup->count());
    switch (event->key()) {
    case Qt::Key_Down:
        m_popup->setCurrentRow(std::min(m_popup->currentRow() + 1, count - 1));
        return true;
    case Qt::Key_Up:
        m_popup->setCurrentRow(std::max(m_popup->currentRow() - 1, 0));
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (QListWidgetItem *item = m_popup->currentItem(); item && item->isSelected()) {
            completionChosen(item);
            return true;
        }
        m_popup->hide();
        return false;
    case Qt::Key_Escape:
        m_popup->hide();
        return true;
    default:
        return false;
    }
}

void SearchWidget::showNotFound(const QString &phrase)
{
    m_lineEdit->setText(phrase);
    m_lineEdit->setFont(DB::normalFont(2));
    setNotFound(true);
    m_lineEdit->setFocus(Qt::OtherFocusReason);
    m_lineEdit->end(false);
}

void SearchWidget::showFoundChip(const QString &words)
{
    m_foundChip = words;
    m_lineEdit->setPlaceholderText(words);
    m_lineEdit->setToolTip(QStringLiteral("Found %1: Return or Insert puts it into My Palette, Ctrl+C copies it").arg(words));
}

void SearchWidget::clearFoundChip()
{
    m_foundChip.clear();
    m_lineEdit->setPlaceholderText(m_placeholder);
    if (!m_notFound)
        m_lineEdit->setToolTip(QString());
}

void SearchWidget::keyPressEvent(QKeyEvent *event)
{
    if (std::exchange(m_returnFromField, false)) {
        event->accept();
        return;
    }
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (hasFoundChip() && plain
        && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Insert)) {
        event->accept();
        emit chipCollectedInteractively();
        return;
    }
    // Typing goes on in the field: a new search.
    if (plain && !event->text().isEmpty() && event->text().at(0).isPrint()) {
        clearFoundChip();
        m_lineEdit->setFocus(Qt::OtherFocusReason);
        QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->text());
        QCoreApplication::sendEvent(m_lineEdit, &typed);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void SearchWidget::focusOutEvent(QFocusEvent *event)
{
    clearFoundChip();
    QWidget::focusOutEvent(event);
}

void SearchWidget::setNotFound(bool notFound)
{
    if (notFound == m_notFound)
        return;
    m_notFound = notFound;
    m_lineEdit->setToolTip(notFound ? QStringLiteral("Not found: no code, name or colour value of the collections")
                                    : QString());
    showFieldBackground();
}

void SearchWidget::selectedCollectionChanged(QUuid collectionId)
{
    glassImage = DB::themeImage(DB::ThemeKey::ImageWidgetSearchMagnifyingGlass, size());
    m_placeholder = DB::localizedString(collectionId, DB::LocaleKey::ColorPaletteEnterSearchText);
    clearFoundChip();
    readCompletions(collectionId);
    m_backward->selectedCollectionChanged(collectionId);
    m_forward->selectedCollectionChanged(collectionId);
    layOut();
}

namespace {

// The first character of a text, case folded as the completer compares texts; 0 for
// an empty text.
char32_t foldedInitial(const QString &text)
{
    if (text.isEmpty())
        return 0;
    char32_t first = text.at(0).unicode();
    if (text.at(0).isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
        first = QChar::surrogateToUcs4(text.at(0), text.at(1));
    return QChar::toCaseFolded(first);
}

using CompletionsByInitial = QHash<char32_t, QStringList>;

// The list's texts by their first character, each part in the list's order.
CompletionsByInitial completionsByInitial(const QStringList &completions)
{
    CompletionsByInitial parts;
    for (const QString &each : completions)
        parts[foldedInitial(each)] << each;
    return parts;
}

// The parts of the last lists made, each with its list: a list kept by the database
// layer (a collection shown again) comes back as the same shared list, which finds its
// parts here. Holding the list keeps its identity from being taken by another.
struct KeptParts
{
    QMutex mutex;
    QList<std::pair<QStringList, CompletionsByInitial>> lists; // the newest last
};

KeptParts &keptParts()
{
    static KeptParts kept;
    return kept;
}

bool findKeptParts(const QStringList &list, CompletionsByInitial &parts)
{
    KeptParts &kept = keptParts();
    const QMutexLocker locker(&kept.mutex);
    for (const auto &[keptList, keptParts] : std::as_const(kept.lists)) {
        if (keptList.constData() == list.constData() && keptList.size() == list.size()) {
            parts = keptParts;
            return true;
        }
    }
    return false;
}

void keepParts(const QStringList &list, const CompletionsByInitial &parts)
{
    KeptParts &kept = keptParts();
    const QMutexLocker locker(&kept.mutex);
    kept.lists.append({list, parts});
    while (kept.lists.size() > 2)
        kept.lists.removeFirst();
}

// What a read on another thread hands back to the interface thread.
struct CompletionRead
{
    int status = DB::StatusOk;
    QStringList completions;
    CompletionsByInitial byInitial;
};

// Tells the interface thread that a read is over. It lives on the interface thread and
// goes, through the event loop, when the read is.
class CompletionRelay : public QObject
{
    Q_OBJECT
signals:
    void read();
};

} // namespace

void SearchWidget::readCompletions(const QUuid &collectionId)
{
    m_completionsPending = true;
    m_completionsRead = false;
    m_readCompletions.clear();
    m_readByInitial.clear();
    ++m_completionReads;
    // A picker that opens shows itself first: the reads start after its first paint, or
    // when the field takes the focus before that.
    m_deferredRead = collectionId;
    if (m_painted)
        startDeferredReads();
}

void SearchWidget::startDeferredReads()
{
    if (m_deferredRead.isNull())
        return;
    const QUuid collectionId = m_deferredRead;
    m_deferredRead = QUuid();
    const quint64 read = m_completionReads;
    DB::prepareForgivingSearch(collectionId);
    const DB::CompletionSource source = DB::completionSource(collectionId);
    // Shown before (another picker of the process, or back and forth): no read at all,
    // only the parts by first character are made again, away from the interface.
    QStringList kept;
    const bool wasKept = DB::keptCompletions(source, kept);
    if (wasKept) {
        m_readCompletions = kept;
        m_completionsRead = true;
        if (findKeptParts(kept, m_readByInitial))
            return;
    }
    const auto result = std::make_shared<CompletionRead>();
    const std::shared_ptr<CompletionRelay> relay(new CompletionRelay, [](CompletionRelay *r) { r->deleteLater(); });
    connect(relay.get(), &CompletionRelay::read, this, [this, read, result, wasKept] {
        if (read != m_completionReads)
            return; // another collection was shown meanwhile
        if (wasKept) {
            completionPartsArrived(result->byInitial);
            return;
        }
        m_completionsRead = true;
        if (result->status == DB::StatusOk) {
            m_readCompletions = result->completions;
            m_readByInitial = result->byInitial;
        }
        if (m_lineEdit->hasFocus())
            installCompletions();
    });
    DB::backgroundReads().start([source, relay, result, kept, wasKept] {
        if (wasKept)
            result->completions = kept;
        else
            result->status = DB::loadCompletions(source, result->completions);
        if (result->status == DB::StatusOk) {
            result->byInitial = completionsByInitial(result->completions);
            keepParts(result->completions, result->byInitial);
        }
        emit relay->read();
    });
}

void SearchWidget::completionPartsArrived(const QHash<char32_t, QStringList> &byInitial)
{
    if (m_completionsPending) {
        m_readByInitial = byInitial; // installed with the list
        return;
    }
    m_completionsByInitial = byInitial;
    m_completionInitial = NoInitial;
    offerCompletionsFor(m_lineEdit->text());
}

void SearchWidget::installCompletions()
{
    if (!m_completionsPending || !m_completionsRead)
        return;
    m_completionsPending = false;
    if (m_readCompletions.isEmpty())
        return;
    auto *completer = new QCompleter(m_lineEdit);
    m_completionModel = new QStringListModel(completer);
    completer->setModel(m_completionModel);
    completer->setCompletionMode(QCompleter::InlineCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    // The line edit deletes the completer it replaces (it is its parent).
    m_lineEdit->setCompleter(completer);
    m_installedCompletions = m_readCompletions;
    m_completionsByInitial = m_readByInitial;
    m_readCompletions.clear();
    m_readByInitial.clear();
    m_completionInitial = NoInitial;
    offerCompletionsFor(m_lineEdit->text());
}

// The completer compares each text from its start, ignoring letter case, and walks its
// whole list in order up to the first match: on a large deck the first key typed ("G")
// would compare every name before the codes. Only texts that begin with the phrase's
// first character can match, so the completer holds those alone, in the list's order:
// the same matches, in the same order, found at once. Until those parts are made (on
// another thread, a few milliseconds) it holds the whole list.
void SearchWidget::offerCompletionsFor(const QString &text)
{
    if (!m_completionModel)
        return;
    if (m_completionsByInitial.isEmpty()) {
        if (m_completionInitial != WholeList)
            m_completionModel->setStringList(m_installedCompletions);
        m_completionInitial = WholeList;
        return;
    }
    const char32_t initial = foldedInitial(text);
    if (initial == m_completionInitial)
        return;
    m_completionInitial = initial;
    m_completionModel->setStringList(m_completionsByInitial.value(initial));
}

void SearchWidget::setBackgroundImage(const QImage &image)
{
    backgroundImage = image;
    showFieldBackground();
}

void SearchWidget::showFieldBackground()
{
    QPalette palette = m_lineEdit->palette();
    if (!backgroundImage.isNull()) {
        const QImage piece = backgroundImage.copy(m_lineEdit->geometry());
        palette.setBrush(QPalette::Base, piece);
        palette.setBrush(QPalette::Window, piece);
    }
    // A phrase that found nothing is dimmed until the user types.
    palette.setColor(QPalette::Text, m_notFound ? QColor(255, 255, 255, 110) : QColor(Qt::white));
    palette.setColor(QPalette::PlaceholderText, QColor(255, 255, 255, 128));
    m_lineEdit->setPalette(palette);
}

void SearchWidget::layOut()
{
    const int w = width();
    const int h = height();
    glassRect = QRect(QPoint(7, (h - glassImage.height()) / 2), glassImage.size());
    const QSize button = m_forward->size();
    m_forward->move(w - button.width(), (h - button.height()) / 2);
    m_backward->move(w - 2 * button.width(), (h - button.height()) / 2);
    const int textHeight = QFontMetrics(m_lineEdit->font()).height();
    m_lineEdit->setGeometry(QRect(QPoint(glassRect.right() + 2, (h - textHeight) / 2),
                                  QPoint(m_backward->x() - 15, (h - textHeight) / 2 + textHeight - 1)));
    showFieldBackground();
}

void SearchWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void SearchWidget::paintEvent(QPaintEvent *)
{
    if (!m_painted) {
        m_painted = true;
        QTimer::singleShot(0, this, &SearchWidget::startDeferredReads);
    }
    QPainter painter(this);
    painter.drawImage(glassRect, glassImage);
    const int right = m_lineEdit->geometry().right() + 6;
    const int h = height();
    painter.setRenderHints(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(45, 45, 45, 96));
    painter.drawRoundedRect(QRect(QPoint(1, 1), QPoint(right - 1, h - 2)), 7, 7);
    painter.drawRoundedRect(QRect(QPoint(0, 0), QPoint(right, h - 1)), 7, 7);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen frame(QColor(45, 45, 45));
    frame.setCosmetic(true);
    painter.setPen(frame);
    painter.drawRoundedRect(QRect(QPoint(1, 1), QPoint(right - 1, h - 2)), 7, 7);
}

bool SearchWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_lineEdit) {
        switch (event->type()) {
        case QEvent::FocusIn:
            m_lineEdit->setFont(DB::normalFont(2));
            startDeferredReads();
            installCompletions();
            break;
        case QEvent::FocusOut:
            if (m_lineEdit->text().isEmpty())
                m_lineEdit->setFont(DB::italicFont(2));
            if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
                m_popup->hide();
            break;
        case QEvent::KeyPress:
            if (popupKey(static_cast<QKeyEvent *>(event)))
                return true;
            // The field ignores Return once it has searched, and the key comes on to this
            // widget: it is the search's, not a collect of what the search found.
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter)
                m_returnFromField = true;
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
                m_lineEdit->clear();
                event->accept();
                setFocus(Qt::OtherFocusReason);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SearchWidget::rollForwardButtonClicked()
{
    emit roll(Forward);
}

void SearchWidget::rollBackwardButtonClicked()
{
    emit roll(Backward);
}

void SearchWidget::searchPhraseReturnPressed()
{
    m_popup->hide();
    setNotFound(false);
    const QString phrase = m_lineEdit->text().trimmed();
    m_lineEdit->clear();
    setFocus(Qt::OtherFocusReason);
    emit searchForPhrase(phrase);
}

} // namespace Vantor

#include "SearchWidget.moc"
