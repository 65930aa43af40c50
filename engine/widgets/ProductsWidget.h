#pragma once

#include "WindowBackground.h"

#include <QUuid>
#include <QWidget>

class QLabel;
class QListWidget;

namespace Vantor {

class OrvaCustomStyle;

// The products tab: the current colour's code as a heading, and below it the colour's
// product groups or its products with their codes, as the collection chooses.
class ProductsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ProductsWidget(QWidget *parent = nullptr);

    QLabel *heading() const { return m_heading; }
    QListWidget *productList() const { return m_list; }
    // The main window's background and where the tab stands on it.
    void setWindowBackground(const WindowBackground &background);

signals:
    // Return or Insert on the tab: the colour it lists is to go into My Palette.
    void chipCollectedInteractively();
    // A double click on the tab: on the colour it lists.
    void chipDoubleClicked();

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void selectedColorChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void rebuild();
    void layOut();

    OrvaCustomStyle *scrollBarStyle = nullptr;
    QLabel *m_heading = nullptr;
    QListWidget *m_list = nullptr;
    WindowBackground windowBackground;
};

} // namespace Vantor
