#pragma once

#include "engine/db/ColorEntry.h"

#include <QImage>
#include <QString>
#include <QUuid>
#include <QWidget>

class QListWidget;
class QListWidgetItem;

namespace Vantor {

class DropDownButton;
class ImageButton;

// The bar at the top left with the current collection's name and a drop-down list of
// the registered collections; it also carries the Capsure button.
class CollectionSelectWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CollectionSelectWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(234, 30); }
    QSize minimumSizeHint() const override { return QSize(234, 30); }

    QString collectionName() const { return m_collectionName; }
    QListWidget *collectionList() const { return list; }
    DropDownButton *dropDownButton() const { return dropDown; }
    ImageButton *capsureButton() const { return capsure; }

signals:
    void collectionSelectedInteractively(QUuid collectionId);
    void capsureItemSelectedInteractively(QUuid collectionId, Vantor::DB::ColorEntry colorEntry);

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void capsureFileChanged(QString fileName);
    void dropDownButtonClicked();
    void capsureButtonClicked();
    void listWidgetItemActivated(QListWidgetItem *item);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void loadCollection(const QUuid &collection);
    void fillList();
    void layOut();
    void refreshButtonBackground();
    void emitPendingChoice();

    QImage backgroundImage;
    QString m_collectionName;
    QColor textColour;
    DropDownButton *dropDown = nullptr;
    ImageButton *capsure = nullptr;
    QString measurementPath;
    QListWidget *list = nullptr;
    QUuid pendingChoice;
};

} // namespace Vantor
