#pragma once

#include "engine/db/SharedTypes.h"
#include <QWidget>
#include <QUuid>

namespace Vantor {

// The fan-deck view: the current card between its two neighbours.
class CardRollerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CardRollerWidget(QWidget *parent = nullptr);


signals:
    void roll(Vantor::Direction dir);
    void pageChangedInteractively(int newPage);
    void rowChangedInteractively(int newRow);
    void collectionSelectedInteractively(QUuid collectionId);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
