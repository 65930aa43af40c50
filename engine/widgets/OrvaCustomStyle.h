#pragma once

#include <QImage>
#include <QStyle>

namespace Vantor {

// The engine's look for slim scroll bars, the picture slider of the full palette view
// and image buttons; everything else is the application's style.
class OrvaCustomStyle : public QStyle
{
    Q_OBJECT
public:
    explicit OrvaCustomStyle(QObject *parent = nullptr);

    // Pictures of the picture slider (null: the application's slider).
    QImage grooveImage;
    QImage grooveMask;
    QImage handleImage;

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;
    QRect subElementRect(SubElement element, const QStyleOption *option, const QWidget *widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget = nullptr) const override;
    SubControl hitTestComplexControl(ComplexControl control, const QStyleOptionComplex *option, const QPoint &position,
                                     const QWidget *widget = nullptr) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl subControl,
                         const QWidget *widget = nullptr) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr, const QWidget *widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption *option, const QSize &contentsSize,
                           const QWidget *widget = nullptr) const override;
    int styleHint(StyleHint hint, const QStyleOption *option = nullptr, const QWidget *widget = nullptr,
                  QStyleHintReturn *returnData = nullptr) const override;
    QPixmap standardPixmap(StandardPixmap standardPixmap, const QStyleOption *option = nullptr,
                           const QWidget *widget = nullptr) const override;
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
    QPixmap generatedIconPixmap(QIcon::Mode iconMode, const QPixmap &pixmap, const QStyleOption *option) const override;
    int layoutSpacing(QSizePolicy::ControlType control1, QSizePolicy::ControlType control2, Qt::Orientation orientation,
                      const QStyleOption *option = nullptr, const QWidget *widget = nullptr) const override;

private:
    static QStyle *base();
    bool pictureSlider() const { return !grooveImage.isNull() && !handleImage.isNull(); }
};

// Scroll-bar geometry along the bar: where the slider starts and how long it is, for a
// bar of `length` pixels.
struct ScrollBarSpan
{
    int sliderStart = 0;
    int sliderLength = 0;
    int addPageStart = 0;
};
ScrollBarSpan scrollBarSpan(int length, int minimum, int maximum, int pageStep, int position);

} // namespace Vantor
