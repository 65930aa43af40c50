#include "ColorWheelWidget.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/NavigationQueries.h"
#include "engine/db/ThemeResources.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <cmath>

namespace Vantor {

namespace {
constexpr double Pi = 3.14159265358979323846;

QPointF onWheel(double radius, double angle)
{
    return QPointF(60 + radius * std::cos(angle), 61 - radius * std::sin(angle));
}
} // namespace

ColorWheelWidget::ColorWheelWidget(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(122, 122);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setUp(lastUsedCollection());
}

void ColorWheelWidget::selectedCollectionChanged(QUuid collectionId)
{
    setUp(collectionId);
}

void ColorWheelWidget::setUp(const QUuid &collection)
{
    wheelBackground = DB::themeImage(DB::ThemeKey::ImageWidgetColorWheelBackground, size());
    availableSegments.clear();
    DB::loadSegments(collection, availableSegments);
    hubRadius = 6.0;
    hitRadius = 57.0;
    pointerLength = 45.0;
    arcRadius = 48.0;
    firstSegmentAngle = CollectionSettings::firstSegmentAngle(collection) * Pi / 180.0;
    segmentCount = CollectionSettings::numOfSegments(collection);
    incrementOrientation = CollectionSettings::segmentIncrementOrientation(collection);
    // A collection without segments leaves the wheel inert instead of dividing by zero.
    segmentSpan = segmentCount > 0 ? 2 * Pi / segmentCount : 0;
    segmentRanges = Vantor::segmentRanges(segmentCount, firstSegmentAngle, incrementOrientation, availableSegments);
}

void ColorWheelWidget::chooseAt(const QPoint &point)
{
    const int segment = segmentAt(segmentRanges, point, hitRadius);
    if (segment == 0)
        return;
    const QUuid collection = lastUsedCollection();
    int found = segment;
    DB::findSegmentFrom(collection, segment, moodFilter(collection), exteriorColors(collection), found);
    emit segmentChangedInteractively(found);
}

void ColorWheelWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || dragging)
        return;
    if (wheelRadius(event->position().toPoint()) <= hitRadius) {
        dragging = true;
        chooseAt(event->position().toPoint());
    }
}

void ColorWheelWidget::mouseReleaseEvent(QMouseEvent *)
{
    dragging = false;
}

void ColorWheelWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        chooseAt(event->position().toPoint());
}

void ColorWheelWidget::wheelEvent(QWheelEvent *event)
{
    stepSegment(event->angleDelta().y() < 0 ? 1 : -1);
}

void ColorWheelWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left)
        stepSegment(event->key() == Qt::Key_Right ? 1 : -1);
    else
        QWidget::keyPressEvent(event);
}

void ColorWheelWidget::stepSegment(int step)
{
    if (segmentCount < 1)
        return;
    const QUuid collection = lastUsedCollection();
    int candidate = segmentIndex(collection);
    // Skip segments without cards under the filters; a full turn ends the search.
    for (int turns = 0; turns <= segmentCount; ++turns) {
        candidate += step;
        if (candidate < 1)
            candidate = segmentCount;
        else if (candidate > segmentCount)
            candidate = 1;
        int found = candidate;
        DB::findSegmentFrom(collection, candidate, moodFilter(collection), exteriorColors(collection), found);
        if (found == candidate)
            break;
    }
    emit segmentChangedInteractively(candidate);
}

void ColorWheelWidget::paintEvent(QPaintEvent *)
{
    const PersistentStateBatch stateReads;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(0, 0, wheelBackground);
    if (segmentCount < 1)
        return;

    const int k = incrementOrientation == 1 ? -1 : 1;
    const double theta = (segmentIndex(lastUsedCollection()) - 1) * segmentSpan * k + firstSegmentAngle;

    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(54, 55, 13, 13));
    painter.setPen(QPen(Qt::white, 3));
    painter.drawLine(QPointF(60, 61), onWheel(pointerLength - 5, theta));

    QPainterPath head;
    head.setFillRule(Qt::OddEvenFill);
    head.moveTo(onWheel(pointerLength - 1, theta));
    head.lineTo(onWheel(pointerLength - 9, theta + Pi / 20));
    head.lineTo(onWheel(pointerLength - 9, theta - Pi / 20));
    head.closeSubpath();
    QPen outline(Qt::white);
    outline.setCosmetic(true);
    painter.setPen(outline);
    painter.setBrush(Qt::white);
    painter.drawPath(head);

    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(Qt::NoBrush);
    const double start = (theta - segmentSpan / 2) * 180.0 / Pi * 16.0;
    const double span = segmentSpan * 180.0 / Pi * 16.0;
    painter.drawArc(QRectF(12, 13, 96, 96), int(start), int(span));
}

} // namespace Vantor
