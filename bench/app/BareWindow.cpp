// A bare Qt window of the program's size, with a menu bar and nothing that ticks: what any Qt
// Widgets program costs just by being on the desktop, measured beside the program.
//   bench_bare_window                    (runs until closed)
//   bench_bare_window WARMUP SECONDS     (runs WARMUP seconds, then SECONDS more inside
//                                         MeasuredIdle, the function callgrind is told to count,
//                                         then ends)
#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <string>

namespace {

void RunFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

// Kept out of line and unmangled so callgrind can be told its name.
extern "C" __attribute__((noinline)) void MeasuredIdle(double seconds) {
    RunFor(seconds);
}

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.menuBar()->addMenu(QStringLiteral("&Help"));
    // The program's client area below its menu bar.
    window.setFixedSize(452, window.menuBar()->sizeHint().height() + 416);
    window.show();
    if (argc > 2) {
        RunFor(std::stod(argv[1]));
        MeasuredIdle(std::stod(argv[2]));
        return 0;
    }
    return QApplication::exec();
}
