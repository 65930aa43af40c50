#include "HelpWindow.h"

#include "engine/widgets/DialogTheme.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace Vantor {

HelpWindow::HelpWindow(const QUrl &page, QWidget *parent)
    : QDialog(parent, Qt::Window)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Help — Palettra"));
    applyDialogTheme(this);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenExternalLinks(true);
    if (page.isLocalFile()) {
        m_browser->setSource(page);
    } else {
        m_browser->setHtml(tr("<p>The help is on the web, at</p><p><a href=\"%1\">%1</a></p>"
                              "<p>No program on this machine opens it: copy the address into a browser.</p>")
                               .arg(page.toString().toHtmlEscaped()));
        m_browser->setTextInteractionFlags(Qt::TextBrowserInteraction | Qt::TextSelectableByMouse);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser);
    layout->addWidget(buttons);
    resize(760, 560);
}

} // namespace Vantor
