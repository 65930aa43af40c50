#pragma once

#include <QWidget>

namespace Palettra {

// What the picker shows when it finds no colour collection: where it looked, by which
// rule, and how to install or point to collections; in the picker's dark look, since the
// collections that carry the theme are what is missing.
class NoCollectionsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit NoCollectionsWindow(const QString &databaseFolder, QWidget *parent = nullptr);

    // The words the window shows.
    QString message() const { return m_message; }

private:
    QString m_message;
};

} // namespace Palettra
