#include "AboutButton.h"

namespace Vantor {

AboutButton::AboutButton(QWidget *parent)
    : HelpButton(parent)
{
    setText(QString(QChar(0x2026)));
    setToolTip(QStringLiteral("About the picker"));
    setAccessibleName(QStringLiteral("About"));
}

} // namespace Vantor
