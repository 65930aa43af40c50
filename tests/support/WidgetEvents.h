#pragma once

// Events the widget tests send as a user or the desktop would.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QUrl>

class QWidget;

namespace Palettra::Test {

// A chip record dragged onto `target` and dropped at `at`: enter, move and drop.
void dropChipRecord(QWidget *target, const QPoint &at, const QByteArray &record);

// Receives the URLs the picker asks the desktop to open (QDesktopServices::setUrlHandler).
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

} // namespace Palettra::Test
