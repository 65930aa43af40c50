#pragma once

#include "host/sdk/MaxSdk.h"

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QVector>

class QAbstractButton;
class QObject;
class QPushButton;
class QWidget;

// Plays 3ds Max for the colour picker plug-in: loads the library by path, calls its
// entry points and opens a picker beside a window of its own, printing one line for
// every event the host sees.
class HostSimulator
{
public:
    enum class PickerKind { Modal, Modeless, ObjectColor };

    struct Script
    {
        QString pluginPath;
        bool scripted = false;
        PickerKind kind = PickerKind::Modal;
        DWORD initialColor = 0;
        QString palettePath;
        QVector<QPoint> cells; // (column, row)
        bool pressTask = false;
        QString screenshotPath;
        bool close = false;
        // Modeless pickers only: a name handed over with InstallNewCB before the
        // script's clicks, and the window position asked with GetPosition after them.
        bool installName = false;
        QString name;
        bool printPosition = false;
        // Prints the time from LibInitialize to the end of the main widget's first
        // paint, and the resident memory then.
        bool reportOpen = false;
    };

    // Reads the command line; returns false with `error` set when it makes no sense.
    static bool parseArguments(const QStringList &arguments, Script &script, QString &error);

    explicit HostSimulator(const Script &script);
    ~HostSimulator();
    HostSimulator(const HostSimulator &) = delete;
    HostSimulator &operator=(const HostSimulator &) = delete;

    // Loads the library and calls LibInitialize; false (with a message on standard
    // error) when the library or an entry point is missing.
    bool load();
    // Runs the script; the exit status of the program.
    int runScript();
    // Tells the plug-in the host is about to unload it.
    void unload();
    // Shows the host window with buttons that open each kind of picker.
    int runInteractive();

private:
    class PrintingCallback;
    class FirstPaintProbe;

    void openPicker(PickerKind kind);
    // Each kind of picker has an owner window of its own, as the controls of 3ds Max do.
    HWND ownerOf(PickerKind kind) const;
    static QAbstractButton *taskButtonOf(QObject *bridge);
    void scriptPicker();
    void reportOpen();
    static QWidget *openPickerDialog();
    static void print(const QString &line);

    Script script;
    void *library = nullptr;
    ColPick *picker = nullptr;
    QWidget *hostWindow = nullptr;
    HWND hostHandle = nullptr;
    QPushButton *modalButton = nullptr;
    QPushButton *modelessButton = nullptr;
    QPushButton *objectColorButton = nullptr;
    HWND modelessOwner = nullptr;
    HWND objectColorOwner = nullptr;
    PrintingCallback *callback = nullptr;
    QVector<ColorPicker *> modelessPickers;
    QElapsedTimer sinceInitialize;
};
