#pragma once

#include "engine/db/ColorEntry.h"

#include <QString>
#include <QUuid>
#include <QWidget>

class QListWidgetItem;

namespace Vantor {

// The collection selector at the top left: the current collection's name with a
// drop-down list of the others, and the Capsure button.
class CollectionSelectWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CollectionSelectWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(234, 30); }
    QSize minimumSizeHint() const override { return QSize(234, 30); }

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
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
