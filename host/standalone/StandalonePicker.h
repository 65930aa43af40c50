#pragma once

#include <QColor>
#include <QWidget>

namespace Vantor {
class MainWidget;
}

namespace Palettra {

// The picker as a window of its own: the main widget with a header button that copies
// the one selected My Palette colour to the clipboard as #RRGGBB.
class StandalonePicker : public QWidget
{
    Q_OBJECT
public:
    explicit StandalonePicker(QWidget *parent = nullptr);
    ~StandalonePicker() override;

    Vantor::MainWidget *mainWidget() const { return m_mainWidget; }
    quint16 copyButtonId() const { return m_copyButtonId; }

    // The colour the copy button hands out: valid only when exactly one My Palette cell
    // is selected and holds a chip.
    QColor pickedColour() const;

public slots:
    void copyPickedColour();
    void updateCopyButton();

private:
    Vantor::MainWidget *m_mainWidget = nullptr;
    quint16 m_copyButtonId = 0;
};

} // namespace Palettra
