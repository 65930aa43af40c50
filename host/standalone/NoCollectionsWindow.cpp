#include "NoCollectionsWindow.h"

#include "engine/widgets/DialogTheme.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace Palettra {

NoCollectionsWindow::NoCollectionsWindow(const QString &databaseFolder, QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(tr("No colour collections"));
    setObjectName(QStringLiteral("NoCollectionsWindow"));
    Vantor::applyDialogTheme(this);
    const QString folder = QDir::toNativeSeparators(QDir(databaseFolder).filePath(QStringLiteral("Contents/Resources")));
    m_message = tr("<h3>No colour collections found</h3>"
                   "<p>Palettra looked for collection files (<tt>*.db</tt>) in<br><tt>%1</tt></p>"
                   "<p>That is <tt>Orva Tavel/Palettra/SQLite/Contents/Resources</tt> below the first folder of "
                   "<tt>XDG_DATA_DIRS</tt> (by default <tt>/usr/local/share:/usr/share</tt>) that holds "
                   "<tt>Orva Tavel/Palettra/SQLite</tt>, else below the first folder of the list.</p>"
                   "<p>Install the <tt>palettra</tt> package, which brings the demo collections, or copy a "
                   "maker's collection files there; or start the picker with "
                   "<tt>XDG_DATA_DIRS=/your/folder</tt> pointing at a folder that holds them.</p>")
                    .arg(folder.toHtmlEscaped());
    auto *text = new QLabel(m_message, this);
    text->setWordWrap(true);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *close = new QPushButton(tr("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(text);
    layout->addWidget(close, 0, Qt::AlignRight);
    setFixedWidth(520);
}

} // namespace Palettra
