#pragma once

class QWidget;

namespace Vantor {

// Gives a window of the picker's own (a file dialog, a question, the about box, the
// Capsure match, the window shown when no collection is found) the picker's dark look:
// its colours, its font and its light buttons, with text that stays legible (a contrast
// of at least 4.5:1 to its background) and a focus frame that shows. Windows do not take
// their owner's palette, so each is given it here.
void applyDialogTheme(QWidget *window);

} // namespace Vantor
