#pragma once


#include <QWidget>
#include <QUuid>

namespace Vantor {

// The products tab: the products or product groups of the current colour.
class ProductsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ProductsWidget(QWidget *parent = nullptr);


public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void selectedColorChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
