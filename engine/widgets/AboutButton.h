#pragma once

#include "HelpButton.h"

namespace Vantor {

// The round "…" button of the header that opens the about box.
class AboutButton : public HelpButton
{
    Q_OBJECT
public:
    explicit AboutButton(QWidget *parent = nullptr);

protected:
    QPoint downShift() const override { return QPoint(2, 2); }
};

} // namespace Vantor
