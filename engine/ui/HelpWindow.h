#pragma once

#include <QDialog>
#include <QUrl>

class QTextBrowser;

namespace Vantor {

// The help page in a window of the picker's own, for a machine where no program opens
// it (no browser, no desktop). A local page is shown with its pictures and links to its
// own pages; a page on the web is named with its address to copy.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    HelpWindow(const QUrl &page, QWidget *parent);

    QTextBrowser *browser() const { return m_browser; }

private:
    QTextBrowser *m_browser = nullptr;
};

} // namespace Vantor
