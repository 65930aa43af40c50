#pragma once

#include "host/sdk/MaxSdk.h"

#include <QPoint>
#include <QString>
#include <QVector>

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
    // Shows the host window with buttons that open each kind of picker.
    int runInteractive();

private:
    class PrintingCallback;

    void openPicker(PickerKind kind);
    void scriptPicker();
    static QWidget *openPickerDialog();
    static void print(const QString &line);

    Script script;
    void *library = nullptr;
    ColPick *picker = nullptr;
    QWidget *hostWindow = nullptr;
    HWND hostHandle = nullptr;
    PrintingCallback *callback = nullptr;
    QVector<ColorPicker *> modelessPickers;
};
