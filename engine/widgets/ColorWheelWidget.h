#pragma once

#include "ColorWheelGeometry.h"

#include <QImage>
#include <QUuid>
#include <QVector>
#include <QWidget>

namespace Vantor {

// The round segment selector: the collection's colour wheel with a white pointer and
// arc on the stored segment. Presses, drags and the mouse wheel choose a segment.
class ColorWheelWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ColorWheelWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(122, 122); }
    QSize minimumSizeHint() const override { return QSize(122, 122); }

    const QVector<SegmentRange> &ranges() const { return segmentRanges; }

signals:
    void segmentChangedInteractively(int newSegment);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void setUp(const QUuid &collection);
    void chooseAt(const QPoint &point);
    // One segment on (1) or back (-1), skipping segments without cards under the filters.
    void stepSegment(int step);

    QImage wheelBackground;
    QVector<SegmentRange> segmentRanges;
    QVector<int> availableSegments;
    double hubRadius = 6.0;
    double hitRadius = 57.0;
    double pointerLength = 45.0;
    double arcRadius = 48.0;
    int segmentCount = 0;
    double firstSegmentAngle = 0;
    int incrementOrientation = 0;
    double segmentSpan = 0;
    bool dragging = false;
};

} // namespace Vantor
