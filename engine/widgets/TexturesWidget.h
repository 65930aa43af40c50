#pragma once


#include <QScrollArea>
#include <QUuid>

namespace Vantor {

// The textures tab: the current card's textures tinted with the current colour.
class TexturesWidget : public QScrollArea
{
    Q_OBJECT
public:
    explicit TexturesWidget(QWidget *parent = nullptr);
    // Lays the tab out for its own rectangle (when it is shown).
    void layOut() {}

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void selectedPageChanged();
    void selectedRowChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
