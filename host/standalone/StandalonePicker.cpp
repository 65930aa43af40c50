#include "StandalonePicker.h"

#include "engine/PersistentState.h"
#include "engine/db/CollectionSettings.h"
#include "engine/palette/MyPaletteWidget.h"
#include "engine/ui/AboutBox.h"
#include "engine/ui/MainWidget.h"

#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QVBoxLayout>

namespace Palettra {

namespace {
Vantor::MainWidget *standaloneMainWidget = nullptr;
}

StandalonePicker::StandalonePicker(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(Vantor::DB::localizedString(Vantor::lastUsedCollection(), Vantor::DB::LocaleKey::CommonMainwindowCaption));
    setWindowIcon(Vantor::applicationWindowIcon());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_mainWidget = new Vantor::MainWidget(&standaloneMainWidget, this);
    layout->addWidget(m_mainWidget);
    setFixedSize(m_mainWidget->size());

    m_copyButtonId = m_mainWidget->addTaskButton(Vantor::MainWidget::LoadButtonId);
    QAbstractButton *copyButton = m_mainWidget->headerButton(m_copyButtonId);
    copyButton->setText(tr("Copy colour"));
    connect(copyButton, &QAbstractButton::clicked, this, &StandalonePicker::copyPickedColour);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteSelectionChanged, this, &StandalonePicker::updateCopyButton);
    connect(m_mainWidget, &Vantor::MainWidget::myPaletteChanged, this, &StandalonePicker::updateCopyButton);
    updateCopyButton();
}

StandalonePicker::~StandalonePicker() = default;

QColor StandalonePicker::pickedColour() const
{
    const QVector<QColor> colours = m_mainWidget->myPaletteWidget()->selectedChipColours();
    return colours.size() == 1 ? colours.first() : QColor();
}

void StandalonePicker::updateCopyButton()
{
    m_mainWidget->headerButton(m_copyButtonId)->setEnabled(pickedColour().isValid());
}

void StandalonePicker::copyPickedColour()
{
    const QColor colour = pickedColour();
    if (colour.isValid())
        QGuiApplication::clipboard()->setText(colour.name(QColor::HexRgb).toUpper());
}

} // namespace Palettra
