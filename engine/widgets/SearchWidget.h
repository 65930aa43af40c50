#pragma once

#include "engine/db/SharedTypes.h"

#include <QImage>
#include <QUuid>
#include <QWidget>

class QLineEdit;

namespace Vantor {

// The search box above the fan deck: a text field with completion and two roll buttons.
class SearchWidget : public QWidget
{
    Q_OBJECT
public:
    explicit SearchWidget(QWidget *parent = nullptr);

    QSize sizeHint() const override { return QSize(210, 26); }
    QSize minimumSizeHint() const override { return QSize(210, 26); }

    // The parent's background picture; the text field shows the part under it.
    void setBackgroundImage(const QImage &image);
    QLineEdit *lineEdit() const { return m_lineEdit; }

signals:
    void roll(Vantor::Direction dir);
    void searchForPhrase(QString phrase);

public slots:
    void selectedCollectionChanged(QUuid collectionId);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage backgroundImage;
    QLineEdit *m_lineEdit = nullptr;
};

} // namespace Vantor
