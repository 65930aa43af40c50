#include "ProductsWidget.h"

#include "OrvaCustomStyle.h"
#include "WindowBackground.h"
#include "engine/colour/ColourValueText.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/TabContentQueries.h"
#include "engine/db/ThemeResources.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QListWidget>
#include <QScrollBar>

namespace Vantor {

ProductsWidget::ProductsWidget(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ProductsWidget"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    QFont upright = DB::normalFont(4);
    upright.setItalic(false);
    setFont(upright);
    QPalette text = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        text.setColor(group, QPalette::WindowText, QColor(228, 228, 228));
    setPalette(text);

    scrollBarStyle = new OrvaCustomStyle(this);
    m_heading = new QLabel(QStringLiteral(" "), this);
    m_list = new QListWidget(this);
    m_list->setFrameShape(QFrame::NoFrame);
    m_list->setAccessibleName(tr("Products"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setViewMode(QListView::ListMode);
    // Top to bottom in columns that wrap, so that a long list scrolls sideways.
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->horizontalScrollBar()->setStyle(scrollBarStyle);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &ProductsWidget::chipDoubleClicked);
}

void ProductsWidget::rebuild()
{
    setUpdatesEnabled(false);
    m_heading->setText(QStringLiteral(" "));
    m_list->clear();
    const QUuid collection = lastUsedCollection();
    const int row = rowIndex(collection);
    DB::ColorPage card;
    if (DB::loadPageByIndex(collection, pageIndex(collection), card) == DB::StatusOk && row > 0 && row <= card.rows.size()) {
        const DB::ColorEntry &colour = card.rows.at(row - 1);
        m_heading->setText(colour.code);
        m_heading->setAccessibleName(chipInWords(colour));
        QVector<QString> items;
        if (CollectionSettings::productGroupsMode(collection) == CollectionSettings::ListProducts)
            DB::loadProducts(collection, colour.id, items);
        else
            DB::loadProductGroups(collection, colour.id, items);
        for (const QString &item : std::as_const(items))
            m_list->addItem(item);
    }
    setUpdatesEnabled(true);
}

void ProductsWidget::selectedCollectionChanged(QUuid)
{
    rebuild();
}

void ProductsWidget::selectedColorChanged()
{
    rebuild();
}

void ProductsWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Insert)
        emit chipCollectedInteractively();
    else
        QWidget::keyPressEvent(event);
}

void ProductsWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        emit chipDoubleClicked();
}

void ProductsWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    rebuild();
}

void ProductsWidget::setWindowBackground(const WindowBackground &background)
{
    windowBackground = background;
    layOut();
}

void ProductsWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void ProductsWidget::layOut()
{
    const QRect inner = rect().adjusted(8, 8, -8, -8);
    const int headingHeight = QFontMetrics(font()).boundingRect(QStringLiteral("\u00C1g")).height();
    m_heading->setGeometry(inner.left(), inner.top(), inner.width(), headingHeight);
    m_list->setGeometry(QRect(QPoint(inner.left(), m_heading->geometry().bottom() + 9), inner.bottomRight()));

    // The list shows the window's background under it, so it looks see-through.
    QPalette palette = m_list->palette();
    const QImage background = windowBackground.under(this, m_list);
    if (!background.isNull())
        palette.setBrush(QPalette::Base, background);
    palette.setColor(QPalette::Text, QColor(189, 189, 189));
    m_list->setPalette(palette);
}

} // namespace Vantor
