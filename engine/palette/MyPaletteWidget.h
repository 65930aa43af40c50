#pragma once

#include "engine/db/SharedTypes.h"

#include <QColor>
#include <QString>
#include <QVector>
#include <QUuid>
#include <QWidget>

class QLineEdit;

namespace Vantor {

// The My Palette panel: a bar of buttons, the 6 × 4 grid of gathered chips and a
// description line.
class MyPaletteWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MyPaletteWidget(QWidget *parent = nullptr);

    QLineEdit *descriptionEditor() const { return m_descriptionEditor; }
    // The colours of the selected cells that hold a chip.
    QVector<QColor> selectedChipColours() const;

signals:
    void zoomMyPaletteClicked();
    void myPaletteChanged();
    void myPaletteSelectionChanged();

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void savePaletteTo(Vantor::PaletteFileFormat fileFormat, QString path);
    void loadPaletteFrom(Vantor::PaletteFileFormat expectedFileFormat, QString path);
    void zoomClicked();
    void eraseClicked();
    void clearClicked();
    void gridClicked(bool checked);
    void clearPaletteQuestionFinished(int result);
    void paletteDescriptionEditFinished();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLineEdit *m_descriptionEditor = nullptr;
};

} // namespace Vantor
