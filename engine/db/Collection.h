#pragma once

#include "AbstractBase.h"

#include <QSharedPointer>
#include <QString>
#include <QUuid>

namespace Vantor::DB {

// One row of COLLECTION.
class Collection : public AbstractBase
{
public:
    Collection() = default;
    explicit Collection(const RowView &row);
    ~Collection() override;

    bool isValid() const override { return true; }

    QString systemId;
    qint64 version = 0;
    QUuid uuid;
    QString name;
    qint32 order = 0;
};

// Loads the registered collection's own row. 0, -1 or a code of openCollection.
int loadCollection(const QUuid &uuid, QSharedPointer<Collection> &collection);

} // namespace Vantor::DB
