#pragma once

#include <QFontMetrics>
#include <QString>
#include <QUuid>

namespace Vantor {

// A caption cut to a width, with an ellipsis at the right when it does not fit. Only as
// much of the text is measured as could show in that width, so a caption of megabytes
// (a broken or hostile collection file) costs no more than a short one.
QString elideCaption(const QString &text, const QFontMetrics &metrics, int width);

// The collection's text for the key where it has one, else the English text: icon
// buttons whose tooltips the collection files may not carry.
QString localeTextOr(const QUuid &collection, const QString &key, const QString &english);

// Wider than any window of the picker shows: texts drawn at their natural width (tab
// captions, the footer) are cut there, so that their measuring and drawing stay cheap
// while every text a window can show is whole.
inline constexpr int WidestShownCaption = 4000;

} // namespace Vantor
