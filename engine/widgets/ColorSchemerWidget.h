#pragma once

#include "engine/db/SharedTypes.h"
#include <QWidget>
#include <QUuid>

namespace Vantor {

// The colour-scheme tab: scheme buttons above the chips stored for the current colour or card.
class ColorSchemerWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ColorSchemerWidget(QWidget *parent = nullptr);


signals:
    void schemeKindChangedInteractively(Vantor::SchemeKind scheme);
    void schemeNeutralSubKindChangedInteractively(Vantor::SchemeKind scheme);

public slots:
    void selectedCollectionChanged(QUuid collectionId);
    void switchToScheme1();
    void switchToScheme2();
    void switchToScheme3();
    void switchToScheme4();
    void switchToScheme5();
    void switchToScheme6();
    void switchToScheme7();
    void switchToScheme8();
    void switchToScheme9();

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace Vantor
