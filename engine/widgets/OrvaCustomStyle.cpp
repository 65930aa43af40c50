#include "OrvaCustomStyle.h"

#include "ImageButton.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOption>

#include <cmath>

namespace Vantor {

namespace {

int rounded(double value)
{
    return int(std::floor(value + 0.5));
}

// Fills a scroll-bar part with the gradient across the bar.
void fillAcross(QPainter *painter, const QRect &rect, bool vertical, const QColor &from, const QColor &to)
{
    QLinearGradient gradient = vertical ? QLinearGradient(rect.topLeft(), rect.topRight())
                                        : QLinearGradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    painter->fillRect(rect, gradient);
}

} // namespace

ScrollBarSpan scrollBarSpan(int length, int minimum, int maximum, int pageStep, int position)
{
    const int range = pageStep + maximum - minimum;
    const double scale = range > 0 ? double(length) / range : 0.0;
    ScrollBarSpan span;
    span.sliderStart = rounded(position * scale);
    span.sliderLength = rounded(pageStep * scale);
    span.addPageStart = rounded((pageStep + position) * scale);
    return span;
}

OrvaCustomStyle::OrvaCustomStyle(QObject *parent)
{
    setParent(parent);
}

QStyle *OrvaCustomStyle::base()
{
    return QApplication::style();
}

void OrvaCustomStyle::drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                                    const QWidget *widget) const
{
    base()->drawPrimitive(element, option, painter, widget);
}

void OrvaCustomStyle::drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                                  const QWidget *widget) const
{
    switch (element) {
    case CE_ScrollBarAddPage:
    case CE_ScrollBarSubPage:
    case CE_ScrollBarSlider: {
        const bool vertical = option->state & State_Horizontal ? false : true;
        const QRect rect = option->rect;
        if (rect.isNull())
            return;
        fillAcross(painter, rect, vertical, QColor(152, 152, 152), QColor(144, 144, 144));
        if (element != CE_ScrollBarSlider)
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->setPen(Qt::NoPen);
        QLinearGradient thumb = vertical ? QLinearGradient(rect.topLeft(), rect.topRight())
                                         : QLinearGradient(rect.topLeft(), rect.bottomLeft());
        thumb.setColorAt(0, QColor(192, 192, 192));
        thumb.setColorAt(1, QColor(208, 208, 208));
        painter->setBrush(thumb);
        QPainterPath path;
        if (vertical) {
            const QRectF inner = QRectF(rect).adjusted(3, 0, -3, 0);
            path.addEllipse(QRectF(inner.left(), inner.top(), 6, 6));
            path.addEllipse(QRectF(inner.left(), inner.bottom() - 6, 6, 6));
            path.addRect(inner.adjusted(0, 3, 0, -3));
        } else {
            const QRectF inner = QRectF(rect).adjusted(0, 3, 0, -3);
            path.addEllipse(QRectF(inner.left(), inner.top(), 6, 6));
            path.addEllipse(QRectF(inner.right() - 6, inner.top(), 6, 6));
            path.addRect(inner.adjusted(3, 0, -3, 0));
        }
        path.setFillRule(Qt::WindingFill);
        painter->drawPath(path);
        painter->restore();
        return;
    }
    case CE_PushButton:
        if (const auto *button = qobject_cast<const ImageButton *>(widget)) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing);
            const QRect rect = option->rect;
            if (button->isCheckable() && button->isChecked()) {
                QLinearGradient plate(rect.topLeft(), rect.bottomLeft());
                plate.setColorAt(0, QColor(255, 255, 255, 224));
                plate.setColorAt(1, QColor(255, 255, 255, 192));
                painter->setPen(Qt::NoPen);
                painter->setBrush(plate);
                painter->drawRoundedRect(rect.adjusted(0, 0, -1, -1), 4, 4);
            }
            const QImage &picture = button->currentPicture();
            if (!picture.isNull()) {
                QPoint at((rect.width() - picture.width()) / 2, (rect.height() - picture.height()) / 2);
                if (button->isDown())
                    at += QPoint(1, 1);
                painter->drawImage(rect.topLeft() + at, picture);
            }
            painter->restore();
            return;
        }
        break;
    default:
        break;
    }
    base()->drawControl(element, option, painter, widget);
}

QRect OrvaCustomStyle::subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget) const
{
    if (element == SE_PushButtonLayoutItem && qobject_cast<const ImageButton *>(widget))
        return option->rect;
    return base()->subElementRect(element, option, widget);
}

void OrvaCustomStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                         const QWidget *widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const SubControl order[] = {SC_ScrollBarSubLine, SC_ScrollBarAddLine, SC_ScrollBarSubPage, SC_ScrollBarAddPage,
                                        SC_ScrollBarFirst,   SC_ScrollBarLast,    SC_ScrollBarSlider};
            const ControlElement elements[] = {CE_ScrollBarSubLine, CE_ScrollBarAddLine, CE_ScrollBarSubPage, CE_ScrollBarAddPage,
                                               CE_ScrollBarFirst,   CE_ScrollBarLast,    CE_ScrollBarSlider};
            for (int i = 0; i < 7; ++i) {
                if (!(bar->subControls & order[i]))
                    continue;
                QStyleOptionSlider part = *bar;
                part.rect = subControlRect(control, bar, order[i], widget);
                if (!part.rect.isNull())
                    drawControl(elements[i], &part, painter, widget);
            }
            if (bar->state & State_HasFocus) {
                const QRect slider = subControlRect(control, bar, SC_ScrollBarSlider, widget);
                QStyleOptionFocusRect focus;
                focus.QStyleOption::operator=(*bar);
                focus.rect = QRect(QPoint(slider.left() + 2, slider.top() + 2), QPoint(slider.right() - 3, slider.bottom() - 3));
                drawPrimitive(PE_FrameFocusRect, &focus, painter, widget);
            }
            return;
        }
    }
    if (control == CC_Slider && pictureSlider()) {
        const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option);
        if (!slider || slider->orientation != Qt::Horizontal)
            return; // a vertical picture slider draws nothing
        const QRect r = slider->rect;
        const int hw = handleImage.width();
        const int gh = grooveImage.height();
        const int left = r.left() + hw / 2;
        const int right = r.right() - hw / 2;
        const int top = r.top() + (r.height() - gh) / 2;
        painter->drawImage(QPoint(left, top), grooveImage, QRect(0, 0, gh, gh));
        painter->drawImage(QPoint(right - gh, top), grooveImage, QRect(grooveImage.width() - gh, 0, gh, gh));
        painter->drawImage(QRect(left + gh, top, std::max(0, right - gh - left - gh), gh), grooveImage, QRect(gh, 0, gh, gh));
        if (!grooveMask.isNull() && right > left) {
            const int maskWidth = grooveMask.width();
            const int maskHeight = grooveMask.height();
            QImage ramp(right - left, maskHeight, QImage::Format_ARGB32);
            QPainter rampPainter(&ramp);
            QLinearGradient diagonal(QPointF(0, 0), QPointF(ramp.width(), ramp.height()));
            diagonal.setColorAt(0, Qt::white);
            diagonal.setColorAt(1, Qt::black);
            rampPainter.fillRect(ramp.rect(), diagonal);
            rampPainter.end();
            for (int y = 0; y < ramp.height(); ++y) {
                for (int i = 0; i < ramp.width(); ++i) {
                    int column;
                    if (i < maskHeight)
                        column = i;
                    else if (i >= ramp.width() - maskHeight)
                        column = maskWidth - (ramp.width() - i);
                    else
                        column = maskHeight + 1;
                    column = std::clamp(column, 0, maskWidth - 1);
                    if (qRed(grooveMask.pixel(column, y)) == 0)
                        ramp.setPixel(i, y, qRgba(0, 0, 0, 0));
                }
            }
            painter->drawImage(QPoint(left, top), ramp);
        }
        painter->drawImage(subControlRect(control, option, SC_SliderHandle, widget), handleImage);
        return;
    }
    base()->drawComplexControl(control, option, painter, widget);
}

QStyle::SubControl OrvaCustomStyle::hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option,
                                                          const QPoint &position, const QWidget *widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const bool vertical = bar->orientation == Qt::Vertical;
            const int length = vertical ? bar->rect.height() : bar->rect.width();
            const ScrollBarSpan span = scrollBarSpan(length, bar->minimum, bar->maximum, bar->pageStep, bar->sliderPosition);
            const int along = vertical ? position.y() : position.x();
            if (along < span.sliderStart)
                return SC_ScrollBarSubPage;
            if (along > span.addPageStart)
                return SC_ScrollBarAddPage;
            return SC_ScrollBarSlider;
        }
    }
    return base()->hitTestComplexControl(control, option, position, widget);
}

QRect OrvaCustomStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                                      const QWidget *widget) const
{
    if (control == CC_ScrollBar) {
        if (const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const bool vertical = bar->orientation == Qt::Vertical;
            const QRect r = bar->rect;
            const int length = vertical ? r.height() : r.width();
            const ScrollBarSpan span = scrollBarSpan(length, bar->minimum, bar->maximum, bar->pageStep, bar->sliderPosition);
            auto along = [&](int from, int to) -> QRect {
                if (to < from)
                    return QRect();
                return vertical ? QRect(QPoint(r.left(), r.top() + from), QPoint(r.right(), r.top() + to))
                                : QRect(QPoint(r.left() + from, r.top()), QPoint(r.left() + to, r.bottom()));
            };
            switch (subControl) {
            case SC_ScrollBarAddLine:
            case SC_ScrollBarSubLine:
            case SC_ScrollBarFirst:
            case SC_ScrollBarLast:
                return QRect();
            case SC_ScrollBarSlider:
                return along(span.sliderStart, span.sliderStart + span.sliderLength - 1);
            case SC_ScrollBarSubPage:
                return bar->sliderPosition == bar->minimum || span.sliderStart == 0 ? QRect() : along(0, span.sliderStart - 1);
            case SC_ScrollBarAddPage:
                return bar->sliderPosition >= bar->maximum ? QRect() : along(span.addPageStart, length - 1);
            case SC_ScrollBarGroove:
                return r;
            default:
                break;
            }
        }
    }
    if (control == CC_Slider && pictureSlider()) {
        if (const auto *slider = qstyleoption_cast<const QStyleOptionSlider *>(option)) {
            const QRect r = slider->rect;
            const int hw = handleImage.width();
            const int hh = handleImage.height();
            const int gh = grooveImage.height();
            if (subControl == SC_SliderGroove)
                return QRect(QPoint(r.left() + hw / 2, r.top() + (r.height() - gh) / 2),
                             QPoint(r.right() + hw / 2 - hw, r.top() + (r.height() - gh) / 2 + gh - 1));
            if (subControl == SC_SliderHandle) {
                const int range = std::max(1, slider->maximum - slider->minimum);
                const int v = slider->upsideDown ? slider->maximum - slider->sliderPosition : slider->sliderPosition - slider->minimum;
                const int centre = r.left() + hw / 2 + (r.width() - hw) * v / range;
                return QRect(centre - hw / 2, r.top() + (r.height() - hh) / 2, hw, hh);
            }
        }
    }
    return base()->subControlRect(control, option, subControl, widget);
}

int OrvaCustomStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_ScrollBarExtent:
        return 12;
    case PM_ScrollBarSliderMin:
        return 32;
    case PM_SliderThickness:
    case PM_SliderControlThickness:
        if (!handleImage.isNull())
            return handleImage.height();
        break;
    case PM_SliderLength:
        if (!handleImage.isNull())
            return handleImage.width();
        break;
    case PM_SliderTickmarkOffset:
        return 0;
    default:
        break;
    }
    return base()->pixelMetric(metric, option, widget);
}

QSize OrvaCustomStyle::sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                                        const QWidget *widget) const
{
    return base()->sizeFromContents(type, option, contentsSize, widget);
}

int OrvaCustomStyle::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                               QStyleHintReturn *returnData) const
{
    return base()->styleHint(hint, option, widget, returnData);
}

QPixmap OrvaCustomStyle::standardPixmap(StandardPixmap standardPixmap, const QStyleOption *option, const QWidget *widget) const
{
    return base()->standardPixmap(standardPixmap, option, widget);
}

QIcon OrvaCustomStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const
{
    return base()->standardIcon(standardIcon, option, widget);
}

QPixmap OrvaCustomStyle::generatedIconPixmap(QIcon::Mode iconMode, const QPixmap &pixmap, const QStyleOption *option) const
{
    return base()->generatedIconPixmap(iconMode, pixmap, option);
}

int OrvaCustomStyle::layoutSpacing(QSizePolicy::ControlType control1, QSizePolicy::ControlType control2,
                                   Qt::Orientation orientation, const QStyleOption *option, const QWidget *widget) const
{
    return base()->layoutSpacing(control1, control2, orientation, option, widget);
}

} // namespace Vantor
