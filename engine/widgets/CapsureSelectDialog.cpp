#include "CapsureSelectDialog.h"

#include "engine/PersistentState.h"
#include "engine/db/Collection.h"
#include "engine/db/CollectionRegistry.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ThemeResources.h"
#include "TaskButton.h"
#include "engine/widgets/DialogTheme.h"

#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QSet>

namespace Vantor {

CapsureSelectDialog::CapsureSelectDialog(const QVector<DB::ColorEntry> &matches, QWidget *parent)
    : QDialog(parent)
    , matches(matches)
{
    const QUuid collection = lastUsedCollection();
    setWindowTitle(DB::localizedString(collection, DB::LocaleKey::CapsureDialogCaption));
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::MSWindowsFixedSizeDialogHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
               | Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    setWindowOpacity(1.0);
    applyDialogTheme(this);
    setFont(DB::normalFont(2));

    panel = new QWidget(this);
    panel->setStyleSheet(QStringLiteral("background-color: rgb(123, 123, 123);"));
    listBox = new QComboBox(this);
    listBox->setEditable(false);
    listBox->setInsertPolicy(QComboBox::InsertAtBottom);
    listBox->setFont(font());
    swatch = new QWidget(this);
    swatch->setStyleSheet(QStringLiteral("background-color: rgb(255, 0, 0);"));
    ok = new TaskButton(this);
    ok->setText(QStringLiteral("OK"));
    ok->setEnabled(false);
    ok->setDefault(true);
    ok->adjustSize();
    label = new QLabel(DB::localizedString(collection, DB::LocaleKey::CapsureDialogTodo), this);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color:rgb(240,240,240);border-color:rgb(255,255,255);"));
    label->setFrameShape(QFrame::Box);
    label->setFrameShadow(QFrame::Plain);
    for (QWidget *child : {static_cast<QWidget *>(listBox), swatch, static_cast<QWidget *>(ok), static_cast<QWidget *>(label)})
        child->raise();

    // Each match's collection name, read once per collection.
    auto &registry = DB::CollectionRegistry::instance();
    QHash<qint64, QString> collectionNames;
    for (const DB::ColorEntry &match : std::as_const(this->matches)) {
        if (collectionNames.contains(match.collectionId))
            continue;
        QSharedPointer<DB::Collection> record;
        const QUuid owner = registry.collectionOwning(match.collectionId);
        collectionNames.insert(match.collectionId,
                               !owner.isNull() && DB::loadCollection(owner, record) == DB::StatusOk ? record->name : QString());
    }
    const bool severalCollections = collectionNames.size() > 1;
    QSet<qint64> listed;
    for (const DB::ColorEntry &match : std::as_const(this->matches)) {
        if (listed.contains(match.id))
            continue;
        listed.insert(match.id);
        const QString text = severalCollections ? QStringLiteral("%1 (%2)").arg(match.code, collectionNames.value(match.collectionId))
                                                : match.code;
        listBox->addItem(text, QVariant::fromValue<qint64>(match.id));
    }
    connect(listBox, &QComboBox::currentIndexChanged, this, &CapsureSelectDialog::itemSelectionChanged);
    connect(ok, &QPushButton::clicked, this, &CapsureSelectDialog::okBtnClicked);
    itemSelectionChanged(listBox->currentIndex());

    setFixedSize(320, 200);
    layOut();
}

void CapsureSelectDialog::itemSelectionChanged(int index)
{
    QColor colour(0, 0, 0, 0);
    if (index >= 0) {
        const qint64 rowId = listBox->itemData(index).toLongLong();
        for (const DB::ColorEntry &match : std::as_const(matches)) {
            if (match.id == rowId) {
                chosen = match;
                colour = match.color();
                colour.setAlpha(255);
                break;
            }
        }
    }
    swatch->setStyleSheet(QStringLiteral("background-color: rgba(%1, %2, %3, %4);")
                              .arg(colour.red())
                              .arg(colour.green())
                              .arg(colour.blue())
                              .arg(colour.alpha()));
    ok->setEnabled(index >= 0);
}

void CapsureSelectDialog::okBtnClicked()
{
    accept();
}

void CapsureSelectDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void CapsureSelectDialog::layOut()
{
    const int w = width();
    const int h = height();
    const int lineHeight = QFontMetrics(font()).lineSpacing();
    const int listHeight = listBox->sizeHint().height();
    listBox->setGeometry(QRect(QPoint(48, 20), QPoint(w - 49, listHeight + 21)));
    const int labelTop = h - 1 - lineHeight - 7;
    label->setGeometry(QRect(QPoint(-1, labelTop), QPoint(w, h)));
    ok->setGeometry((w - 80) / 2, labelTop - 34, 80, 22);
    swatch->setGeometry(QRect(QPoint(48, listBox->geometry().bottom() + 12), QPoint(w - 49, ok->y() - 12)));
    panel->setGeometry(rect());
}

} // namespace Vantor
