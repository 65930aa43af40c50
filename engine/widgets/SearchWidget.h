#pragma once

#include "engine/db/SharedTypes.h"

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QUuid>
#include <QWidget>

class QKeyEvent;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QStringListModel;

namespace Vantor {

class RollButton;

// The compact search box above the fan deck: a magnifying glass, a borderless field
// that upper-cases what is typed and completes the collection's names and codes, and
// two roll buttons. It emits the phrase; the main widget searches.
class SearchWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SearchWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(210, 26); }
    QSize minimumSizeHint() const override { return QSize(210, 26); }

    // The parent's background picture; the text field shows the part under it.
    void setBackgroundImage(const QImage &image);
    QLineEdit *lineEdit() const { return m_lineEdit; }
    RollButton *backwardButton() const { return m_backward; }
    RollButton *forwardButton() const { return m_forward; }
    QRect glassArea() const { return glassRect; }
    // The list of names and codes that match what is typed, over the deck.
    QListWidget *completionList() const { return m_popup; }

    // A phrase that led nowhere: back in the field, dimmed, until the user types.
    void showNotFound(const QString &phrase);
    bool showsNotFound() const { return m_notFound; }
    // The chip a search found, in words, shown in the empty field while the widget keeps
    // the keyboard: Return or Insert then collect it, Ctrl+C copies it. Ends when the
    // keyboard moves on or the user types.
    void showFoundChip(const QString &words);
    bool hasFoundChip() const { return !m_foundChip.isEmpty(); }
    QString foundChip() const { return m_foundChip; }

signals:
    void roll(Vantor::Direction dir);
    void searchForPhrase(QString phrase);
    // Return or Insert on the chip a search found.
    void chipCollectedInteractively();

public slots:
    void selectedCollectionChanged(QUuid collectionId);

private slots:
    void rollForwardButtonClicked();
    void rollBackwardButtonClicked();
    void searchPhraseReturnPressed();
    void textEdited(const QString &text);
    void completionChosen(QListWidgetItem *item);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void layOut();
    void showFieldBackground();
    void installCompletions();
    void offerCompletionsFor(const QString &text);
    void completionPartsArrived(const QHash<char32_t, QStringList> &byInitial);
    void setNotFound(bool notFound);
    void clearFoundChip();
    void placePopup();
    // Up, Down, Return and Escape while the list shows; true when the key was used.
    bool popupKey(QKeyEvent *event);

    QImage backgroundImage;
    QImage glassImage;
    QString m_foundChip;
    bool m_returnFromField = false; // the field's Return, on its way here
    QString m_placeholder; // the collection's
    QRect glassRect;
    QLineEdit *m_lineEdit = nullptr;
    RollButton *m_backward = nullptr;
    RollButton *m_forward = nullptr;
    // The completions of the collection shown are read on a thread of their own from
    // the moment it is shown (a large deck has hundreds of thousands of names), and
    // handed to the field when it has the focus and the list is there.
    void readCompletions(const QUuid &collectionId);
    void startDeferredReads();
    QUuid m_deferredRead; // the collection whose reads wait for the first paint
    bool m_painted = false;
    bool m_completionsPending = false; // the field has not got the shown collection's list yet
    bool m_completionsRead = false;    // that list has been read
    QStringList m_readCompletions;
    QHash<char32_t, QStringList> m_readByInitial;
    quint64 m_completionReads = 0;     // which read is the shown collection's
    // The list the field completes from, and its texts by their first character (case
    // folded), made with the list on another thread.
    QStringList m_installedCompletions;
    QHash<char32_t, QStringList> m_completionsByInitial;
    QPointer<QStringListModel> m_completionModel; // the field's completer's
    static constexpr char32_t NoInitial = 0xFFFFFFFE;
    static constexpr char32_t WholeList = 0xFFFFFFFF;
    char32_t m_completionInitial = NoInitial; // whose texts the model holds
    QListWidget *m_popup = nullptr;
    bool m_notFound = false;
};

} // namespace Vantor
