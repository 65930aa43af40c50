#include "AboutBox.h"

#include "engine/EngineStartup.h"
#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/db/ThemeResources.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

namespace Vantor {

QIcon applicationWindowIcon()
{
    QIcon icon(QStringLiteral(":/image/ui/icon_16.png"));
    for (int size : {32, 48, 64})
        icon.addFile(QStringLiteral(":/image/ui/icon_%1.png").arg(size));
    return icon;
}

AboutBox::AboutBox(QWidget *parent, const QString &productVersion)
    : QDialog(parent)
    , productVersion(productVersion)
{
    setAttribute(Qt::WA_NativeWindow);
    const QUuid collection = lastUsedCollection();
    setWindowTitle(DB::localizedString(collection, DB::LocaleKey::AboutboxCaption));
    setWindowIcon(applicationWindowIcon());
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowType_Mask | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint
               | Qt::WindowContextHelpButtonHint | Qt::CustomizeWindowHint);
    setWindowFlags(flags | Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);

    QFont dialogFont = DB::normalFont(2);
    dialogFont.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::PreferQuality));
    setFont(dialogFont);

    background = new QWidget(this);

    logo = new QLabel(this);
    logo->setFrameShape(QFrame::NoFrame);
    logo->setPixmap(QPixmap::fromImage(DB::themeImage(collection, DB::ThemeKey::ImageAboutLogo, QSize(128, 64))));
    logo->setAlignment(Qt::AlignCenter);
    logo->setFixedSize(128, 48);

    title = new QLabel(this);
    QFont titleFont(dialogFont.family(), dialogFont.pointSize() + 2, QFont::Bold);
    title->setFont(titleFont);
    title->setText(DB::localizedString(collection, DB::LocaleKey::AboutboxMain));
    title->resize(QFontMetrics(titleFont).horizontalAdvance(title->text()), QFontMetrics(titleFont).lineSpacing());

    notice = new QLabel(this);
    notice->setText(DB::localizedString(collection, DB::LocaleKey::AboutboxCopyright));
    notice->adjustSize();

    version = new QLabel(this);
    version->setFont(QFont(dialogFont.family(), qMax(1, dialogFont.pointSize() - 2)));
    version->setText(versionText());
    version->adjustSize();

    licenseText = new QTextEdit(this);
    licenseText->setReadOnly(true);
    licenseText->setHtml(DB::localizedString(collection, DB::LocaleKey::LicenseCopyright));

    qtLicenseButton = new QPushButton(DB::localizedString(collection, DB::LocaleKey::AboutboxQtLicenseButton), this);
    qtLicenseButton->setAutoDefault(false);
    qtLicenseButton->adjustSize();
    closeButton = new QPushButton(DB::localizedString(collection, DB::LocaleKey::AboutboxCloseButton), this);
    closeButton->setAutoDefault(false);
    closeButton->setDefault(true);
    closeButton->adjustSize();
    const int buttonWidth = qMax(qtLicenseButton->width(), closeButton->width()) + 6;
    qtLicenseButton->resize(buttonWidth, qtLicenseButton->height());
    closeButton->resize(buttonWidth, closeButton->height());

    background->lower();
    background->setStyleSheet(QStringLiteral(
        "background-color: qlineargradient(spread:pad, x1:0, y1:0, x2:0.5, y2:1, stop:0 rgba(238, 238, 238, 255), "
        "stop:1 rgba(218, 218, 218, 255));"));

    setFixedSize(680, 480);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->geometry();
        move((available.width() - 680) / 2, available.height() / 3);
    }

    layOut();

    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(qtLicenseButton, &QPushButton::clicked, this, &AboutBox::onQtLicenseClicked);
}

void AboutBox::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    layOut();
}

void AboutBox::layOut()
{
    const int w = width();
    const int h = height();
    const int left = logo->pixmap().isNull() ? 16 : 16 + logo->width() + 16;
    background->setGeometry(rect());
    logo->move(16, 16);
    title->move(left, 16);
    notice->move(left, title->geometry().bottom() + 5);
    version->move(left, notice->geometry().bottom() + 5);
    licenseText->setGeometry(QRect(QPoint(left, version->geometry().bottom() + 5),
                                   QPoint(w - 17, h - closeButton->height() - 33)));
    qtLicenseButton->move(left, h - qtLicenseButton->height() - 16);
    closeButton->move(w - closeButton->width() - 16, qtLicenseButton->y());
}

QString AboutBox::versionText() const
{
    if (!productVersion.isEmpty())
        return QStringLiteral("%1 (engine %2) (%3bit)").arg(productVersion, engineVersion()).arg(64);
    return QStringLiteral("%1 %2 (%3bit)")
        .arg(DB::localizedString(lastUsedCollection(), DB::LocaleKey::AboutboxVersion), engineVersion())
        .arg(64);
}

void AboutBox::onQtLicenseClicked()
{
    QApplication::aboutQt();
}

} // namespace Vantor
