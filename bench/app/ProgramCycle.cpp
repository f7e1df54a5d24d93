// The program's window polling once a second on one page, for measuring what a polling cycle
// costs under callgrind with everything counted: the cycle, the painting, the timers and the
// waits. The page is turned as the user turns it (its change handler runs), then the event loop
// runs for WARMUP seconds uncounted and for SECONDS more inside MeasuredPolling, the one
// function callgrind is told to count (--toggle-collect=MeasuredPolling).
//   bench_program_cycle common|history WARMUP SECONDS [SETTINGS_FILE]
// Without SETTINGS_FILE the window starts from a fresh settings file in a temporary folder.
#include <QEventLoop>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <string>

#include "Application.h"
#include "pages/MainState.h"
#include "window/MainForm.h"
#include "window/MainFrame.h"

namespace {

void RunFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

// Kept out of line and unmangled so callgrind can be told its name.
extern "C" __attribute__((noinline)) void MeasuredPolling(double seconds) {
    RunFor(seconds);
}

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[1], "common") != 0 && std::strcmp(argv[1], "history") != 0)) {
        std::fprintf(stderr, "usage: %s common|history WARMUP SECONDS [SETTINGS_FILE]\n", argv[0]);
        return 2;
    }
    const bool history = std::strcmp(argv[1], "history") == 0;
    const double warmup = std::stod(argv[2]);
    const double seconds = std::stod(argv[3]);
    TApplication application(argc, argv);
    QTemporaryDir folder;
    const std::string settings =
        argc > 4 ? std::string(argv[4]) : (folder.path() + QStringLiteral("/kelvane.ini")).toStdString();
    TMainForm form(settings);
    form.show();
    // Common -> Channel -> History, as ctrl+Tab turns them.
    if (history) {
        form.Frame().PageControl->setCurrentIndex(1);
        form.Frame().PageControl->setCurrentIndex(2);
    }
    RunFor(warmup);
    MeasuredPolling(seconds);
    std::printf("page=%s online=%d seconds=%.0f\n", argv[1], form.State().Online ? 1 : 0, seconds);
    return 0;
}
