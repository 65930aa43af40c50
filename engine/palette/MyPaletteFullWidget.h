#pragma once

#include <QUuid>
#include <QWidget>

namespace Vantor {

// My Palette enlarged over the whole window, on an adjustable grey background.
class MyPaletteFullWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyPaletteFullWidget(QWidget *parent = nullptr);

signals:
    void backButtonClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void backClicked();
    void backgroundColorSliderValueChanged(int value);

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
