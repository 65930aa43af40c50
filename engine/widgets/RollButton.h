#pragma once

#include "engine/db/SharedTypes.h"

#include <QImage>
#include <QPushButton>
#include <QUuid>

namespace Vantor {

// A picture button that rolls the deck, repeating while held.
class RollButton : public QPushButton
{
    Q_OBJECT
public:
    RollButton(Direction direction, QWidget *parent = nullptr);

    Direction direction() const { return Direction(m_direction); }

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void loadImages();

    int m_direction;
    QImage pressedImage;
    QImage normalImage;
};

} // namespace Vantor
