#pragma once

#include "QWinWidget.h"

#include <QColor>
#include <QUuid>

class QAbstractButton;

namespace Vantor {
class MainWidget;
}

// Fills a picker dialog: the engine's main widget with the about button and the task
// button that hands the one selected chip of My Palette to 3ds Max, and the dialog's
// title kept to the collection on show.
class ZylaMainWidgetBridge : public QWinWidget
{
    Q_OBJECT
public:
    ZylaMainWidgetBridge(HWND parentWindow, QObject *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    ~ZylaMainWidgetBridge() override;

    Vantor::MainWidget *mainWidget() const { return m_mainWidget; }
    quint16 taskButtonId() const { return m_taskButtonId; }
    // Reachable through the meta-object system for hosts that script the picker.
    Q_INVOKABLE QAbstractButton *taskButton() const;

    bool usesDefaultTaskText() const { return useDefaultTaskText; }
    void setUseDefaultTaskText(bool useDefault) { useDefaultTaskText = useDefault; }
    // Shows `name` on the task button, or the collection's default text when it is empty.
    void setTaskButtonText(const QString &name = QString());

    // The colour of My Palette's single selected cell when it is not transparent;
    // invalid otherwise.
    QColor pickableColour() const;

    // True while a call of the bridge is on the stack that the host may destroy the
    // picker from: a colour being reported, a nested dialog (about box, Capsure match,
    // palette file dialog) or a chip drag waiting in its own event loop.
    bool isBusy() const;
    // The picker's window is being destroyed: the bridge goes now, or, when busy, leaves
    // the window at once, ends its nested dialogs and drags and goes once the last call
    // is over.
    void dispose();

signals:
    // The task button handed over a colour: the dialog that holds the bridge delivers it
    // to the host, which may destroy the picker while doing so.
    void colourPicked(QColor colour);

public slots:
    void selectedCollectionChanged(QUuid collectionUuid);
    void myPaletteChanged();
    void taskButtonClicked();
    void aboutButtonClicked();

private:
    void deleteWhenIdle();

    Vantor::MainWidget *m_mainWidget = nullptr;
    quint16 m_taskButtonId = 0;
    bool useDefaultTaskText = true;
    int callsOut = 0;
    bool disposed = false;
};
