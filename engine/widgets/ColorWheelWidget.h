#pragma once


#include <QWidget>
#include <QUuid>

namespace Vantor {

// The round segment selector: the collection's colour wheel with a pointer on the current segment.
class ColorWheelWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ColorWheelWidget(QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(122, 122); }
    QSize minimumSizeHint() const override { return QSize(122, 122); }

signals:
    void segmentChangedInteractively(int newSegment);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
