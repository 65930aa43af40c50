#pragma once

#include "AbstractBase.h"
#include "ColorEntry.h"

#include <QStringList>
#include <QVector>

namespace Vantor::DB {

// One card of the fan deck, with its chips when a page query loads them.
class ColorPage : public AbstractBase
{
public:
    ColorPage();
    explicit ColorPage(const RowView &row);

    bool isValid() const override { return pageIndex > 0 && segment > 0; }
    void load(const RowView &row) override;

    QString name(int index) const;

    qint32 pageIndex = -1;
    qint32 segment = -1;
    bool exterior = false;
    qint32 mood = 0;
    QStringList names;
    QStringList extras;
    QVector<ColorEntry> rows;
};

} // namespace Vantor::DB
