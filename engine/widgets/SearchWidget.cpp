#include "SearchWidget.h"

#include "PendingPanel.h"

#include <QLineEdit>
#include <QPainter>

namespace Vantor {

SearchWidget::SearchWidget(QWidget *parent)
    : QWidget(parent)
    , m_lineEdit(new QLineEdit(this))
{
    m_lineEdit->setFrame(false);
    m_lineEdit->setTextMargins(0, 0, 0, 0);
    m_lineEdit->setFocusPolicy(Qt::StrongFocus);
    m_lineEdit->hide();
    setFixedSize(210, 26);
}

void SearchWidget::setBackgroundImage(const QImage &image)
{
    backgroundImage = image;
}

void SearchWidget::selectedCollectionChanged(QUuid)
{
}

void SearchWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
