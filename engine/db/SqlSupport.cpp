#include "SqlSupport.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace Vantor::DB {

void logQueryError(const QSqlError &error)
{
    qDebug().noquote() << QStringLiteral("%1 : %2").arg(error.nativeErrorCode(), error.text());
}

void logQueryError(const QSqlQuery &query)
{
    logQueryError(query.lastError());
}

} // namespace Vantor::DB
