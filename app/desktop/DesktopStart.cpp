// The desktop start: command line, single instance, tray start, activation, session end and a
// lost display, tied to the main window through TWindowHooks.
#include "DesktopStart.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>
#include <cstdio>

#include "desktop/DisplayLoss.h"
#include "desktop/SessionEnd.h"
#include "desktop/SingleInstance.h"
#include "widgets/Trayicon.h"

namespace {

// How long a second start waits for the running program to answer (it may still be starting).
constexpr int kActivationTimeoutMs = 15000;
// How long --minimized waits for a tray to appear before it shows the window.
constexpr int kTrayWaitMs = 5000;
constexpr int kTrayWaitStepMs = 250;

void ShowUnlessInTray(QWidget* window, TTrayIcon* tray) {
    if (tray == nullptr || !tray->InTray())
        window->show();
}

void Print(FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

int Answer(const TCommandLineResult& result) {
    Print(result.Action == TCommandLineResult::TAction::ExitError ? stderr : stdout, result.Output);
    return result.ExitCode();
}

}  // namespace

TDesktopStart::TDesktopStart() = default;
TDesktopStart::~TDesktopStart() = default;

int TDesktopStart::ReadCommandLine(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const TCommandLineResult result = ParseCommandLine(arguments, &UsualSettingsFile);
    if (result.Action != TCommandLineResult::TAction::Run)
        return Answer(result);
    options_ = result.Options;
    return -1;
}

bool TDesktopStart::Begin(const std::function<std::string()>& usualSettingsFile) {
    // The device library takes the port from its environment.
    if (!options_.Port.isEmpty())
        qputenv("QV725_PORT", options_.Port.toLocal8Bit());
    settingsFile_ = !options_.SettingsFile.isEmpty() ? options_.SettingsFile.toStdString()
                                                     : usualSettingsFile();

    instance_ = std::make_unique<TSingleInstance>(QString::fromStdString(settingsFile_));
    if (!instance_->Claim()) {
        if (!instance_->ActivateRunning(kActivationTimeoutMs)) {
            Print(stderr, QStringLiteral("Kelvane is already running with the settings file %1, "
                                         "but its window did not answer.\n")
                              .arg(QString::fromStdString(settingsFile_)));
        }
        exitCode_ = 0;
        return false;
    }
    return true;
}

void TDesktopStart::Attach(const TWindowHooks& hooks) {
    hooks_ = hooks;
    QWidget* window = hooks.Window;
    TTrayIcon* tray = hooks.Tray;
    connect(instance_.get(), &TSingleInstance::ActivationRequested, window,
            [window, tray] { BringToFront(window, tray); });
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, window, [this](QSessionManager& manager) {
            TQtSessionEndRequest request(manager);
            EndSession(request, hooks_.CloseQuery, hooks_.CloseWithoutQuestion);
        });
    }
    displayGuard_ = std::make_unique<TDisplayLossGuard>(hooks.SaveQuietly);
    if (!options_.Minimized || StartInTray(window, tray))
        return ShowUnlessInTray(window, tray);
    // Started with the session, the program may come before the panel that holds the tray: it
    // waits a few seconds for one, hidden, and shows its window when none comes.
    auto* wait = new QTimer(this);
    wait->setInterval(kTrayWaitStepMs);
    connect(wait, &QTimer::timeout, this, [wait, window, tray, steps = 0]() mutable {
        ++steps;
        // Shown meanwhile (a later start asked for the window): it stays shown.
        if (window->isVisible()) {
            wait->deleteLater();
            wait->stop();
            return;
        }
        if (StartInTray(window, tray) || steps * kTrayWaitStepMs >= kTrayWaitMs) {
            wait->stop();
            wait->deleteLater();
            ShowUnlessInTray(window, tray);
        }
    });
    wait->start();
}

void TDesktopStart::End() {
    displayGuard_.reset();
}

void BringToFront(QWidget* window, TTrayIcon* tray) {
    if (window == nullptr)
        return;
    if (tray != nullptr && (tray->InTray() || !window->isVisible())) {
        tray->Restore();
        return;
    }
    if ((window->windowState() & Qt::WindowMinimized) != 0)
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

bool StartInTray(QWidget* window, TTrayIcon* tray) {
    if (window == nullptr || tray == nullptr || !tray->Visible() || !tray->TrayAvailable())
        return false;
    tray->Minimize();
    return tray->InTray();
}
