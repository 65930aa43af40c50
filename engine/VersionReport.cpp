#include "VersionReport.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtGlobal>

#include <libxml/parser.h>
#include <libxml/xmlversion.h>

namespace Vantor {

namespace {

QString sqliteVersion()
{
    QString version = QStringLiteral("unknown");
    const QString connection = QStringLiteral("palettra-version");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("SELECT sqlite_version()")) && query.next())
                version = query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return version;
}

} // namespace

QString versionReport(const QString &program)
{
    // libxml2 gives its version as a number: 20914 is 2.9.14.
    const int xml = QString::fromLatin1(xmlParserVersion).toInt();
    return QStringLiteral("%1 %2\nQt %3, SQLite %4, libxml2 %5.%6.%7\n")
        .arg(program, QStringLiteral(PALETTRA_VERSION), QString::fromLatin1(qVersion()), sqliteVersion())
        .arg(xml / 10000)
        .arg(xml / 100 % 100)
        .arg(xml % 100);
}

} // namespace Vantor
