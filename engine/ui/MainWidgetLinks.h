#pragma once

// The links of the main window's footer and banner, as its labels and its banner name
// them.

#include <QString>

namespace Vantor {

inline const QString CopyrightLink = QStringLiteral("links/copyright");
inline const QString MottoLink = QStringLiteral("links/motto");
inline const QString HeaderLink = QStringLiteral("links/header");

} // namespace Vantor
