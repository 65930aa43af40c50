#include "LogCategories.h"

namespace Vantor {

Q_LOGGING_CATEGORY(lcDatabase, "palettra.db", QtWarningMsg)
Q_LOGGING_CATEGORY(lcEngine, "palettra.engine", QtWarningMsg)
Q_LOGGING_CATEGORY(lcPalette, "palettra.palette", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWidgets, "palettra.widgets", QtWarningMsg)
Q_LOGGING_CATEGORY(lcHost, "palettra.host", QtWarningMsg)

} // namespace Vantor
