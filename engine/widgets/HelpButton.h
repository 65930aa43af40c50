#pragma once

#include "TaskButton.h"

namespace Vantor {

// The round "?" button of the header.
class HelpButton : public TaskButton
{
    Q_OBJECT
public:
    explicit HelpButton(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

    // Round buttons: how far the caption moves while the button is down.
    virtual QPoint downShift() const { return QPoint(0, 2); }
};

} // namespace Vantor
