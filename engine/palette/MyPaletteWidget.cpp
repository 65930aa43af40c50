#include "MyPaletteWidget.h"

#include "engine/widgets/PendingPanel.h"

#include <QLineEdit>
#include <QPainter>

namespace Vantor {

MyPaletteWidget::MyPaletteWidget(QWidget *parent)
    : QWidget(parent)
    , m_descriptionEditor(new QLineEdit(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAcceptDrops(true);
    m_descriptionEditor->setFrame(false);
    m_descriptionEditor->hide();
}

QVector<QColor> MyPaletteWidget::selectedChipColours() const
{
    return {};
}

void MyPaletteWidget::selectedCollectionChanged(QUuid) {}
void MyPaletteWidget::savePaletteTo(PaletteFileFormat, QString) {}
void MyPaletteWidget::loadPaletteFrom(PaletteFileFormat, QString) {}

void MyPaletteWidget::zoomClicked()
{
    emit zoomMyPaletteClicked();
}

void MyPaletteWidget::eraseClicked() {}
void MyPaletteWidget::clearClicked() {}
void MyPaletteWidget::gridClicked(bool) {}
void MyPaletteWidget::clearPaletteQuestionFinished(int) {}
void MyPaletteWidget::paletteDescriptionEditFinished() {}

void MyPaletteWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintPendingPanel(this, painter);
}

} // namespace Vantor
