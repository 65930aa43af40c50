// drop-target: a window of another program for a chip dragged out of the picker. It takes
// what a colour well or a text field of another program would, prints the formats, the
// colour and the text of the first drop on standard output, and exits.
// Usage: drop-target X Y (where its window goes on the screen)

#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTextStream>
#include <QWidget>

#include <cstdio>

namespace {

class DropTarget : public QWidget
{
public:
    DropTarget() { setAcceptDrops(true); }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override
    {
        if (event->mimeData()->hasColor() || event->mimeData()->hasText())
            event->acceptProposedAction();
    }
    void dropEvent(QDropEvent *event) override
    {
        const QMimeData *data = event->mimeData();
        QTextStream out(stdout);
        out << "formats=" << data->formats().join(QLatin1Char(',')) << '\n';
        out << "color=" << (data->hasColor() ? data->colorData().value<QColor>().name() : QString()) << '\n';
        out << "text=" << data->text() << '\n';
        out.flush();
        event->acceptProposedAction();
        QApplication::exit(0);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments();
    DropTarget window;
    window.setWindowTitle(QStringLiteral("drop-target"));
    window.setGeometry(arguments.value(1).toInt(), arguments.value(2).toInt(), 300, 300);
    window.show();
    std::puts("ready");
    std::fflush(stdout);
    return QApplication::exec();
}
