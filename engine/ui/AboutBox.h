#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>

class QLabel;
class QPushButton;
class QTextEdit;

namespace Vantor {

// The window icon made of the embedded icon pictures.
QIcon applicationWindowIcon();

// The modal about box: logo, product name, copyright, version line and licence text.
class AboutBox : public QDialog
{
    Q_OBJECT
public:
    AboutBox(QWidget *parent, const QString &productVersion);

    // The version line: the product version with the engine's, or the collection's
    // version text with the engine's when there is no product version.
    QString versionText() const;
    QLabel *versionLabel() const { return version; }
    QLabel *titleLabel() const { return title; }
    QLabel *noticeLabel() const { return notice; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onQtLicenseClicked();

private:
    // Places the parts for the dialog's size: logo at the top left, the texts beside
    // it, the licence text below and the two buttons at the bottom.
    void layOut();

    QWidget *background = nullptr;
    QLabel *logo = nullptr;
    QLabel *title = nullptr;
    QLabel *notice = nullptr;
    QLabel *version = nullptr;
    QTextEdit *licenseText = nullptr;
    QPushButton *qtLicenseButton = nullptr;
    QPushButton *closeButton = nullptr;
    QString productVersion;
};

} // namespace Vantor
