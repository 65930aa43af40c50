#pragma once

#include <QRect>
#include <QSize>
#include <QVector>

namespace Vantor {

// The trend-groups tab's geometry as a pure function of the viewport's width, the chip
// size and the sizes of the texts: each group a header, and when open a grid of chips
// with two captions under each.

struct ProspectEntryInput
{
    QSize firstCaption;  // single-line size of the first name
    QSize secondCaption; // and of the second
};

struct ProspectGroupInput
{
    bool open = false;
    int headerHeight = 0; // the larger of the name's height and the header picture's
    QVector<ProspectEntryInput> entries;
};

struct ProspectEntryPlace
{
    QRect chip;
    QRect firstCaption;
    QRect secondCaption;
};

struct ProspectGroupPlace
{
    QRect area; // the header and, when open, its chips
    QVector<ProspectEntryPlace> entries; // empty for a closed group
};

struct ProspectLayout
{
    QVector<ProspectGroupPlace> groups;
    int height = 0; // of the whole viewport
};

ProspectLayout layoutProspectGroups(int width, const QSize &chip, const QVector<ProspectGroupInput> &groups);

} // namespace Vantor
