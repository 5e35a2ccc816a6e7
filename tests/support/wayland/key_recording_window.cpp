// A window that stands for the program the user is typing into: it records,
// one line each, when it gains the keyboard focus ("focus"), every key
// pressed while it has it ("press F8"; the keyboard's own repeats are left
// out), and "blur" when it loses the focus, on its standard output.

#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPainter>
#include <QRasterWindow>

#include <cstdio>

namespace {

class RecordingWindow : public QRasterWindow {
protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(QRect(QPoint(), size()), Qt::darkCyan); }

    void focusInEvent(QFocusEvent *) override { write("focus"); }
    void focusOutEvent(QFocusEvent *) override { write("blur"); }

    void keyPressEvent(QKeyEvent *event) override
    {
        if (!event->isAutoRepeat())
            write("press " + QKeySequence(event->key()).toString());
    }

private:
    static void write(const QString &line)
    {
        // Flushed at once: the test reads the lines while the window runs.
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    RecordingWindow window;
    window.setTitle("Key recording window");
    window.resize(320, 200);
    window.show();
    window.requestActivate();
    return application.exec();
}
