#pragma once


#include <QScrollArea>
#include <QUuid>

namespace Vantor {

// The trend-groups tab: the collection's trend groups that open and close.
class ProspectWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit ProspectWidget(QWidget *parent = nullptr);
    // Lays the tab out for its own rectangle (when it is shown).
    void layOut() {}

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
