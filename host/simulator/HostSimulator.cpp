#include "HostSimulator.h"

#include "host/plugin/PluginEntry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRect>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <memory>

namespace {

// A click as the user makes it: press and release of the left button at the point.
void click(QWidget *widget, const QPoint &point, Qt::KeyboardModifiers modifiers)
{
    const QPointF local(point);
    const QPointF global(widget->mapToGlobal(point));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, modifiers);
    QApplication::sendEvent(widget, &release);
}


QString hex8(DWORD value)
{
    return QStringLiteral("0x") + QString::number(value, 16).rightJustified(8, QLatin1Char('0')).toUpper();
}

bool parseColor(const QString &text, DWORD &color)
{
    bool ok = false;
    const qulonglong value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toULongLong(&ok, 16)
                                                                                         : text.toULongLong(&ok, 10);
    if (!ok || value > 0xFFFFFF)
        return false;
    color = DWORD(value);
    return true;
}

QPlainTextEdit *eventLog = nullptr;

// The resident memory of this process in bytes, or -1 where /proc does not tell.
qint64 residentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace

// Waits for the first paint of the main widget and calls back once that paint, with
// the paints of its children, is over.
class HostSimulator::FirstPaintProbe : public QObject
{
public:
    explicit FirstPaintProbe(std::function<void()> painted)
        : painted(std::move(painted))
    {
        qApp->installEventFilter(this);
    }
    bool done() const { return finished; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!seen && event->type() == QEvent::Paint
            && qstrcmp(watched->metaObject()->className(), "Vantor::MainWidget") == 0) {
            seen = true;
            qApp->removeEventFilter(this);
            // A zero timer fires once the whole paint pass has returned.
            QTimer::singleShot(0, this, [this] {
                finished = true;
                painted();
            });
        }
        return false;
    }

private:
    std::function<void()> painted;
    bool seen = false;
    bool finished = false;
};

// Shows every call the picker makes on the host's callback.
class HostSimulator::PrintingCallback : public HSVCallback
{
public:
    void ColorChanged(DWORD col, BOOL buttonUp) override
    {
        print(QStringLiteral("ColorChanged %1 %2").arg(hex8(col)).arg(buttonUp));
    }
    void BeingDestroyed(IPoint2 pos) override { print(QStringLiteral("BeingDestroyed %1 %2").arg(pos.x).arg(pos.y)); }
    void OnOK() override { print(QStringLiteral("OnOK")); }
};

void HostSimulator::print(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
    if (eventLog)
        eventLog->appendPlainText(line);
}

bool HostSimulator::parseArguments(const QStringList &arguments, Script &script, QString &error)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &option = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        auto value = [&]() { return arguments.at(++i); };
        if (option == QLatin1String("--plugin") && hasValue) {
            script.pluginPath = value();
            continue;
        }
        script.scripted = true;
        if (option == QLatin1String("--modal")) {
            script.kind = PickerKind::Modal;
        } else if (option == QLatin1String("--modeless")) {
            script.kind = PickerKind::Modeless;
        } else if (option == QLatin1String("--object-color")) {
            script.kind = PickerKind::ObjectColor;
        } else if (option == QLatin1String("--initial-color") && hasValue) {
            if (!parseColor(value(), script.initialColor)) {
                error = QStringLiteral("--initial-color takes 0xBBGGRR");
                return false;
            }
        } else if (option == QLatin1String("--load-palette") && hasValue) {
            script.palettePath = value();
        } else if (option == QLatin1String("--select-cell") && hasValue) {
            const QStringList parts = value().split(QLatin1Char(','));
            bool rowOk = false, columnOk = false;
            const int row = parts.value(0).trimmed().toInt(&rowOk);
            const int column = parts.value(1).trimmed().toInt(&columnOk);
            if (parts.size() != 2 || !rowOk || !columnOk) {
                error = QStringLiteral("--select-cell takes ROW,COL");
                return false;
            }
            script.cells << QPoint(column, row);
        } else if (option == QLatin1String("--press-task")) {
            script.pressTask = true;
        } else if (option == QLatin1String("--screenshot") && hasValue) {
            script.screenshotPath = value();
        } else if (option == QLatin1String("--close")) {
            script.close = true;
        } else if (option == QLatin1String("--install-name") && hasValue) {
            script.installName = true;
            script.name = value();
        } else if (option == QLatin1String("--print-position")) {
            script.printPosition = true;
        } else if (option == QLatin1String("--report-open")) {
            script.reportOpen = true;
        } else {
            error = QStringLiteral("unknown option or missing value: %1").arg(option);
            return false;
        }
    }
    if ((script.installName || script.printPosition) && script.kind == PickerKind::Modal) {
        error = QStringLiteral("--install-name and --print-position need --modeless or --object-color");
        return false;
    }
    return true;
}

HostSimulator::HostSimulator(const Script &script)
    : script(script)
    , callback(new PrintingCallback)
{
    hostWindow = new QWidget;
    hostWindow->setWindowTitle(QStringLiteral("3ds Max (simulated)"));
    const Win32Layer::MessageHandler printMessage = [](HWND, UINT message, WPARAM wParam, LPARAM, void *) -> LRESULT {
        print(QStringLiteral("Message 0x%1 %2")
                  .arg(QString::number(message, 16).rightJustified(4, QLatin1Char('0')).toUpper(), hex8(DWORD(wParam))));
        return 0;
    };
    hostHandle = Win32Layer::createHostWindow(hostWindow, printMessage, this);
    // The buttons stand for the controls of 3ds Max that open a picker: each is the
    // owner of the pickers it opens.
    modalButton = new QPushButton(QStringLiteral("Modal picker…"), hostWindow);
    modelessButton = new QPushButton(QStringLiteral("Modeless picker"), hostWindow);
    objectColorButton = new QPushButton(QStringLiteral("Object colour picker"), hostWindow);
    modelessOwner = Win32Layer::createHostWindow(modelessButton, printMessage, this);
    objectColorOwner = Win32Layer::createHostWindow(objectColorButton, printMessage, this);
}

HWND HostSimulator::ownerOf(PickerKind kind) const
{
    switch (kind) {
    case PickerKind::Modeless: return modelessOwner;
    case PickerKind::ObjectColor: return objectColorOwner;
    default: return hostHandle;
    }
}

HostSimulator::~HostSimulator()
{
    // The host owns the picker objects it asked for.
    for (ColorPicker *modeless : modelessPickers) {
        modeless->Destroy();
        delete modeless;
    }
    if (picker)
        picker->DeleteThis();
    delete hostWindow;
    delete callback;
}

bool HostSimulator::load()
{
    QString path = script.pluginPath;
    if (path.isEmpty()) {
        // Beside the simulator in the build tree, or in the installed tree's private
        // library folder.
        const QString folder = QCoreApplication::applicationDirPath();
        path = folder + QStringLiteral("/OrvaTavelColorPicker.dlu");
        const QString installed = folder + QStringLiteral("/../" PALETTRA_PRIVATE_LIBDIR "/OrvaTavelColorPicker.dlu");
        if (!QFileInfo::exists(path) && QFileInfo::exists(installed))
            path = QFileInfo(installed).canonicalFilePath();
    }
    library = dlopen(QFileInfo(path).absoluteFilePath().toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "palettra-host: cannot load %s: %s\n", path.toLocal8Bit().constData(), dlerror());
        return false;
    }
    const auto initialize = reinterpret_cast<LibInitializeFunction>(dlsym(library, "LibInitialize"));
    const auto classDesc = reinterpret_cast<LibClassDescFunction>(dlsym(library, "LibClassDesc"));
    const auto numberOfClasses = reinterpret_cast<LibNumberClassesFunction>(dlsym(library, "LibNumberClasses"));
    if (!initialize || !classDesc || !numberOfClasses || !dlsym(library, "LibDescription")
        || !dlsym(library, "LibVersion") || !dlsym(library, "LibShutdown")) {
        std::fprintf(stderr, "palettra-host: %s lacks the plug-in entry points\n", path.toLocal8Bit().constData());
        return false;
    }
    const auto version = reinterpret_cast<LibVersionFunction>(dlsym(library, "LibVersion"));
    const auto description = reinterpret_cast<LibDescriptionFunction>(dlsym(library, "LibDescription"));
    // What 3ds Max asks first when it meets a plug-in library.
    print(QStringLiteral("LibVersion %1").arg(hex8(DWORD(version()))));
    print(QStringLiteral("LibDescription %1").arg(QString::fromUtf16(description())));
    sinceInitialize.start();
    const int initialized = initialize();
    print(QStringLiteral("LibInitialize %1").arg(initialized));
    if (!initialized)
        return false;
    for (int i = 0; i < numberOfClasses() && !picker; ++i) {
        ClassDesc *descriptor = classDesc(i);
        if (descriptor && descriptor->SuperClassID() == COLPICK_CLASS_ID)
            picker = static_cast<ColPick *>(descriptor->Create(FALSE));
    }
    if (!picker) {
        std::fprintf(stderr, "palettra-host: the plug-in offers no colour picker\n");
        return false;
    }
    return true;
}

// The window of the picker that is open, found as a user would: the one showing the
// main widget's palette.
QWidget *HostSimulator::openPickerDialog()
{
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->isVisible())
            continue;
        for (QWidget *child : window->findChildren<QWidget *>()) {
            if (qstrcmp(child->metaObject()->className(), "ZylaMainWidgetBridge") == 0)
                return window;
        }
    }
    return nullptr;
}

void HostSimulator::unload()
{
    if (!library)
        return;
    if (const auto shutdown = reinterpret_cast<LibShutdownFunction>(dlsym(library, "LibShutdown")))
        print(QStringLiteral("LibShutdown %1").arg(shutdown()));
}

QAbstractButton *HostSimulator::taskButtonOf(QObject *bridge)
{
    QAbstractButton *task = nullptr;
    QMetaObject::invokeMethod(bridge, "taskButton", Q_RETURN_ARG(QAbstractButton *, task));
    return task;
}

void HostSimulator::scriptPicker()
{
    QWidget *dialog = openPickerDialog();
    if (!dialog) {
        std::fprintf(stderr, "palettra-host: no picker window is open\n");
        return;
    }
    QObject *bridge = nullptr;
    QWidget *palette = nullptr;
    for (QWidget *child : dialog->findChildren<QWidget *>()) {
        if (qstrcmp(child->metaObject()->className(), "ZylaMainWidgetBridge") == 0)
            bridge = child;
        if (qstrcmp(child->metaObject()->className(), "Vantor::MyPaletteWidget") == 0)
            palette = child;
    }
    if (!bridge || !palette)
        return;

    if (!script.palettePath.isEmpty())
        QMetaObject::invokeMethod(palette, "loadPalette", Q_ARG(QString, QFileInfo(script.palettePath).absoluteFilePath()));
    for (int i = 0; i < script.cells.size(); ++i) {
        QRect cell;
        QMetaObject::invokeMethod(palette, "cellGeometry", Q_RETURN_ARG(QRect, cell), Q_ARG(int, script.cells[i].y()),
                                  Q_ARG(int, script.cells[i].x()));
        if (cell.isEmpty()) {
            std::fprintf(stderr, "palettra-host: no cell %d,%d\n", script.cells[i].y(), script.cells[i].x());
            continue;
        }
        click(palette, cell.center(), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }
    QCoreApplication::processEvents();
    if (!script.screenshotPath.isEmpty() && !dialog->grab().save(script.screenshotPath))
        std::fprintf(stderr, "palettra-host: cannot write %s\n", script.screenshotPath.toLocal8Bit().constData());
    if (script.pressTask) {
        if (QAbstractButton *task = taskButtonOf(bridge))
            click(task, task->rect().center(), Qt::NoModifier);
    }
    if (script.printPosition && !modelessPickers.isEmpty()) {
        const IPoint2 position = modelessPickers.last()->GetPosition();
        print(QStringLiteral("GetPosition %1 %2").arg(position.x).arg(position.y));
    }
    if (script.close && dialog->isVisible())
        dialog->close();
}

void HostSimulator::reportOpen()
{
    print(QStringLiteral("FirstPaint %1 ms").arg(double(sinceInitialize.nsecsElapsed()) / 1e6, 0, 'f', 3));
    print(QStringLiteral("Resident %1 bytes").arg(residentBytes()));
}

void HostSimulator::openPicker(PickerKind kind)
{
    IPoint2 position(40, 40);
    std::unique_ptr<FirstPaintProbe> probe;
    if (script.reportOpen) {
        probe = std::make_unique<FirstPaintProbe>([this, kind] {
            reportOpen();
            if (kind != PickerKind::Modal)
                return;
            scriptPicker();
            if (QWidget *dialog = openPickerDialog())
                dialog->close();
        });
    }
    if (kind == PickerKind::Modal) {
        DWORD color = script.initialColor;
        if (script.scripted && !probe) {
            QTimer::singleShot(0, [this] {
                scriptPicker();
                // A scripted modal picker never waits for a user who is not there.
                if (QWidget *dialog = openPickerDialog())
                    dialog->close();
            });
        }
        const int result = picker->ModalColorPicker(ownerOf(kind), &color, &position, callback, static_cast<const MCHAR *>(nullptr));
        print(QStringLiteral("ModalColorPicker %1 %2").arg(result).arg(hex8(color)));
        return;
    }
    ColorPicker *modeless = picker->CreateColorPicker(ownerOf(kind), script.initialColor, &position, callback,
                                                      static_cast<const MCHAR *>(nullptr),
                                                      kind == PickerKind::ObjectColor ? TRUE : FALSE);
    if (modeless)
        modelessPickers << modeless;
    if (modeless && script.installName) {
        modeless->InstallNewCB(0, nullptr, reinterpret_cast<const MCHAR *>(script.name.utf16()));
        if (QWidget *dialog = openPickerDialog()) {
            for (QWidget *child : dialog->findChildren<QWidget *>()) {
                if (qstrcmp(child->metaObject()->className(), "ZylaMainWidgetBridge") != 0)
                    continue;
                if (QAbstractButton *task = taskButtonOf(child))
                    print(QStringLiteral("TaskButton %1").arg(task->text()));
            }
        }
    }
    if (probe) {
        QElapsedTimer waited;
        waited.start();
        while (!probe->done() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    if (script.scripted) {
        QCoreApplication::processEvents();
        scriptPicker();
        QCoreApplication::processEvents();
    }
}

int HostSimulator::runScript()
{
    openPicker(script.kind);
    unload();
    return 0;
}

int HostSimulator::runInteractive()
{
    auto *layout = new QVBoxLayout(hostWindow);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(modalButton);
    buttons->addWidget(modelessButton);
    buttons->addWidget(objectColorButton);
    layout->addLayout(buttons);
    eventLog = new QPlainTextEdit;
    eventLog->setReadOnly(true);
    layout->addWidget(eventLog);
    QObject::connect(modalButton, &QPushButton::clicked, hostWindow, [this] { openPicker(PickerKind::Modal); });
    QObject::connect(modelessButton, &QPushButton::clicked, hostWindow, [this] { openPicker(PickerKind::Modeless); });
    QObject::connect(objectColorButton, &QPushButton::clicked, hostWindow, [this] { openPicker(PickerKind::ObjectColor); });
    hostWindow->resize(520, 320);
    hostWindow->show();
    QTimer::singleShot(0, hostWindow, [this] { openPicker(PickerKind::Modal); });
    const int status = QApplication::exec();
    eventLog = nullptr;
    unload();
    return status;
}
