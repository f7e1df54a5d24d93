// A bare Qt window of the program's size, with a menu bar and nothing that ticks: what any Qt
// Widgets program costs just by being on the desktop, measured beside the program.
//   bench_bare_window
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    // The program's client area below its menu bar.
    window.setFixedSize(452, window.menuBar()->sizeHint().height() + 416);
    window.show();
    return QApplication::exec();
}
