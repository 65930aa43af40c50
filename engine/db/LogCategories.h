#pragma once

// The engine's logging categories, one per subsystem. Debug detail (statement texts,
// diagnostics) is off by default and switched on with QT_LOGGING_RULES, for example
// QT_LOGGING_RULES="palettra.db.debug=true"; failures are warnings and always shown.
#include <QLoggingCategory>

namespace Vantor {

Q_DECLARE_LOGGING_CATEGORY(lcDatabase) // "palettra.db": statements and failed queries
Q_DECLARE_LOGGING_CATEGORY(lcEngine)   // "palettra.engine": start-up and stored state
Q_DECLARE_LOGGING_CATEGORY(lcPalette)  // "palettra.palette": My Palette, palette files, imports
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)  // "palettra.widgets": the main window and its panels
Q_DECLARE_LOGGING_CATEGORY(lcHost)     // "palettra.host": host adapters and the window layer

} // namespace Vantor
