#pragma once

#include "AbstractBase.h"

#include <QColor>
#include <QString>
#include <QStringList>

namespace Vantor::DB {

// One colour chip (a row of "ROW").
class ColorEntry : public AbstractBase
{
public:
    ColorEntry();
    explicit ColorEntry(const RowView &row);

    bool isValid() const override { return true; }
    void reset() override;
    void load(const RowView &row) override;

    // The text at that position, or the empty string outside the list.
    QString name(int index) const;
    QString extra(int index) const;
    QColor color() const { return QColor(red, green, blue); }

    qint64 collectionId = -1;
    qint64 pageId = -1;
    qint32 rowIndex = -1;   // position on the card, or within a scheme
    qint32 pageOrder = -1;  // the card's place in a scheme (scheme queries only)
    QString code;
    qint32 segment = -1;
    qint32 red = -1;
    qint32 green = -1;
    qint32 blue = -1;
    double l = 0.0;
    double a = 0.0;
    double b = 0.0;
    bool isMto = false;
    bool neutral = false;
    bool white = false;
    qint32 mood = 0;
    qint32 schemePos = -1;
    qint32 nschemePos = -1;
    QStringList names;
    QStringList extras;
};

} // namespace Vantor::DB
