#pragma once


#include <QWidget>
#include <QUuid>

namespace Vantor {

// The scheme tab of pulvex collections: three fixed contrast partners of the current colour.
class ColorSchemerPulvexWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSchemerPulvexWidget(QWidget *parent = nullptr);


public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
