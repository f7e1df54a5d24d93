// The main window's life: construction (settings, presets, history, scope, colours), FormCreate,
// the close query, FormClose and FormDestroy, the window settings and the About box.
#include "MainForm.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "Application.h"
#include "Dialogs.h"
#include "VirtualListModel.h"
#include "WatchTools.h"
#include "core/ColorText.h"
#include "core/Commands.h"
#include "core/Exceptions.h"
#include "core/History.h"
#include "core/IniFile.h"
#include "core/Params.h"
#include "core/PresetsFile.h"
#include "core/SettingsPath.h"
#include "core/Version.h"
#include "desktop/OfflineReason.h"    // desktop hook
#include "desktop/WindowPlacement.h"  // desktop hook
#include "pages/ChannelPage.h"
#include "pages/CommonPage.h"
#include "pages/HistoryPage.h"
#include "pages/PresetsPage.h"
#include "qv725/qv725.h"
#include "widgets/Jvsimscope.h"

// The artwork lives in a static library; naming its resources here links them in. (Outside any
// namespace: the macro declares the resource function where it stands.)
static void InitResources() {
    Q_INIT_RESOURCE(kelvane);
}

TMainForm::TMainForm(const std::string& settingsFileName, QWidget* parent) : QMainWindow(parent) {
    InitResources();
    BuildActions();
    BuildFrame();
    BuildMenus();
    BuildTray();
    FixWindowSize();
    ConnectHandlers();
    // An error here leaves the constructor: the window is never shown and, since FormDestroy
    // does not run for a window that was not constructed, the settings file stays untouched.
    Construct(settingsFileName);
    watchTools_ = new TWatchTools(*this, *iniFile_);
    try {
        FormCreate();
    } catch (...) {
        ShowCurrentException();
    }
}

TMainForm::~TMainForm() {
    try {
        FormDestroy();
    } catch (...) {
        ShowCurrentException();
    }
}

std::string TMainForm::DefaultSettingsFile() {
    return SettingsFilePath(QCoreApplication::applicationFilePath().toStdString());
}

void TMainForm::Construct(const std::string& settingsFileName) {
    try {
        iniFile_ = std::make_unique<TIniFile>(settingsFileName);
    } catch (const EFTooLargeError& error) {
        // No real settings file is that large; the program still runs, with the defaults, and
        // leaves the file alone.
        settingsRefused_ = true;
        iniFile_ = std::make_unique<TIniFile>();
        ShowErrorMessage(QString::fromStdString(error.Message()) +
                         QStringLiteral("\nThis run uses the default settings and does not save "
                                        "them."));
    }
    state_.Params = std::make_unique<TParams>();
    LoadPresets(*iniFile_, *state_.Params);
    state_.History = std::make_unique<THistory>();
    auto* scope = new TJvSimScope(this);
    historyPage_->Scope = scope;
    scope->setObjectName(QStringLiteral("Scope"));
    scope->hide();
    const TScopeColors scopeColors =
        ReadScopeColors(*iniFile_, TScopeColors{scope->Color(), TScopeColors{}.GridColor});
    scope->SetColor(scopeColors.BackgroundColor);
    scope->SetGridColor(scopeColors.GridColor);
    state_.GraphColors = ReadGraphColors(*iniFile_);
}

std::array<uint32_t, kChannelCount> TMainForm::ReadTraceColors() const {
    std::array<uint32_t, kChannelCount> colors = kDefaultChannelColors;
    QStringList errors;
    for (int i = 0; i < kChannelCount; ++i) {
        const std::string key = "Color" + std::to_string(i);
        const std::string text =
            iniFile_->ReadString("Channels", key, ColorToString(kDefaultChannelColors[i]));
        try {
            colors[i] = StringToColor(text);
        } catch (const EConvertError& error) {
            // The trace keeps its default colour; the rest of the start-up goes on, so the
            // stored names, position and widths are not replaced by defaults at exit.
            errors << QString::fromStdString(error.Message());
        }
    }
    if (!errors.isEmpty())
        ShowErrorMessage(errors.join(QLatin1Char('\n')));
    return colors;
}

void TMainForm::FormCreate() {
    // Step 1: number text never depends on the locale (FormatFixed always writes ".").
    // Step 2: Qt paints every widget double-buffered.
    presetsPage_->PresetsModel->SetRowCount(state_.Params->Count());
    historyPage_->HistoryModel->SetRowCount(kChannelCount);
    frame_.StatusPanels[1]->setText(state_.Params->Active() != nullptr
                                        ? QString::fromStdString(state_.Params->Active()->Name)
                                        : QString());
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TMainForm::ApplicationIdle, Qt::UniqueConnection);
    }

    TJvSimScope* scope = Scope();
    const QFrame* pScope = historyPage_->pScope;
    scope->setParent(historyPage_->pScope);
    scope->SetBounds(pScope->contentsRect().x(), pScope->contentsRect().y(),
                     pScope->contentsRect().width(), pScope->contentsRect().height());
    scope->SetBaseLine(0);
    scope->SetGridSize(12);
    scope->SetInterval(100);
    scope->SetActive(true);
    scope->OnUpdate = [this](QObject*) { Guarded([this] { TimerTimer(); }); };
    scope->show();

    for (int i = 0; i < kChannelCount; ++i) {
        TJvScopeLine* line = scope->Lines().Add();
        line->Position = 0;
        line->Color = kDefaultChannelColors[i];
    }
    const auto colors = ReadTraceColors();
    for (int i = 0; i < kChannelCount; ++i)
        scope->Lines().GetItem(i)->Color = colors[i];
    // New traces start at row 0; a fresh picture starts them on the base line instead, so the
    // first tick does not draw a stroke down from the top edge.
    scope->Clear();

    state_.Updating = true;
    LoadSettings();
    SetActivePage(0);
    commonPage_->ShowChannelNames();
    channelPage_->cbCh->setCurrentIndex(state_.SelectedChannel);
    state_.Updating = false;

    state_.Online = CmdOpenDevice();
    ShowOpenResult(frame_.StatusBar, state_.Online);  // desktop hook
    SetStatusOnline(state_.Online);
    state_.Changed.fill(false);

    try {
        ReadChannelValues();
        commonPage_->UpdateCommonPage();
        for (int channel = 0; channel < kChannelCount; ++channel)
            channelPage_->ReadChannelParams(channel);
        state_.ControllerParamsKnown = state_.Online;
        channelPage_->ShowChannelParams(state_.SelectedChannel);
        channelPage_->UpdateChannelPage(state_.SelectedChannel);
    } catch (const EHardwareException&) {
        // The first polling cycle reads again and goes off-line if the error recurs.
    }

    commonPage_->lVersion->setText(QStringLiteral("Version ") +
                                   QString::fromStdString(GetVersion()));
}

void TMainForm::LoadSettings() {
    std::array<int32_t, kHistoryColumnCount> historyWidths{};
    for (int j = 0; j < kHistoryColumnCount; ++j)
        historyWidths[j] = historyPage_->lvHistory->header()->sectionSize(j);
    std::array<int32_t, kPresetsColumnCount> presetsWidths{};
    for (int j = 0; j < kPresetsColumnCount; ++j)
        presetsWidths[j] = presetsPage_->lvPresets->header()->sectionSize(j);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize(0, 0);
    const TWindowSettings defaults = DefaultWindowSettings(
        screenSize.width(), screenSize.height(), width(), height(), historyWidths, presetsWidths);
    const TWindowSettings settings = ReadWindowSettings(*iniFile_, defaults);

    // desktop hook: a position mostly off every screen goes onto the nearest screen
    move(PlaceOnCurrentScreens(QRect(settings.Left, settings.Top, width(), height())));
    state_.SelectedChannel = settings.Channel;
    for (int i = 0; i < kChannelCount; ++i)
        state_.ChannelName[i] = QString::fromStdString(settings.ChannelNames[i]);
    for (int j = 0; j < kHistoryColumnCount; ++j)
        historyPage_->lvHistory->header()->resizeSection(j, settings.HistoryColumnWidths[j]);
    for (int j = 0; j < kPresetsColumnCount; ++j)
        presetsPage_->lvPresets->header()->resizeSection(j, settings.PresetsColumnWidths[j]);
}

void TMainForm::SaveSettings() {
    TWindowSettings settings;
    settings.Left = pos().x();
    settings.Top = pos().y();
    settings.Channel = state_.SelectedChannel;
    for (int i = 0; i < kChannelCount; ++i)
        settings.ChannelNames[i] = state_.ChannelName[i].toStdString();
    for (int j = 0; j < kHistoryColumnCount; ++j)
        settings.HistoryColumnWidths[j] = historyPage_->lvHistory->header()->sectionSize(j);
    for (int j = 0; j < kPresetsColumnCount; ++j)
        settings.PresetsColumnWidths[j] = presetsPage_->lvPresets->header()->sectionSize(j);
    WriteWindowSettings(*iniFile_, settings);
    if (watchTools_)
        watchTools_->SaveSettings(*iniFile_);
}

bool TMainForm::FormCloseQuery() {
    if (closeWithoutQuestion_)
        return true;
    if (std::none_of(state_.Changed.begin(), state_.Changed.end(),
                     [](bool changed) { return changed; }))
        return true;
    // Polling goes on while a box is open: the controller may leave while the question waits,
    // and then the answer Yes could save nothing.
    for (;;) {
        if (!state_.Online)
            return AskYesNo(UnsavedChannelsText(state_.Changed)) == QMessageBox::Yes;
        switch (AskYesNoCancel(QStringLiteral("Save new parameters to EEPROM?"))) {
            case QMessageBox::Yes:
                if (!state_.Online)
                    continue;
                for (int channel = 0; channel < kChannelCount; ++channel) {
                    if (state_.Changed[channel])
                        CmdSavePar(channel);
                }
                return true;
            case QMessageBox::No:
                return true;
            default:
                return false;
        }
    }
}

QString TMainForm::UnsavedChannelsText(const std::array<bool, kChannelCount>& changed) {
    QStringList numbers;
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (changed[channel])
            numbers << QString::number(channel + 1);
    }
    QString list = numbers.join(QStringLiteral(", "));
    if (numbers.size() > 1) {
        const qsizetype last = list.lastIndexOf(QStringLiteral(", "));
        list.replace(last, 2, QStringLiteral(" and "));
    }
    return QStringLiteral("OFF-Line: new parameters of channel") +
           (numbers.size() > 1 ? QStringLiteral("s ") : QStringLiteral(" ")) + list +
           QStringLiteral(" cannot be saved to EEPROM.\nExit anyway?");
}

void TMainForm::FormClose() {
    SaveSettings();
    if (state_.Online)
        QV725_CloseDevice();
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Refused unless the close query allows it; an error in the query (a failed EEPROM save)
    // leaves the window open and reaches the error box.
    if (formClosed_) {
        event->accept();
        return;
    }
    event->ignore();
    bool canClose = false;
    Guarded([&] { canClose = FormCloseQuery(); });
    if (!canClose)
        return;
    FormClose();
    formClosed_ = true;
    event->accept();
    emit FormClosed();
}

void TMainForm::CloseWithoutQuestion() {
    closeWithoutQuestion_ = true;
    // A box that is open runs its own event loop: end it first, then close from the main loop.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        QTimer::singleShot(0, this, [this] { CloseWithoutQuestion(); });
        return;
    }
    close();
}

void TMainForm::WriteSettingsNow() {
    if (settingsRefused_)
        return;
    // The same steps as the exit, in the same order, so the file holds one consistent picture
    // of this moment and a first run's sections come out in their usual order.
    SaveSettings();
    SavePresets(*iniFile_, *state_.Params);
    StoreColors();
    FlushSettings();
}

void TMainForm::StoreColors() {
    if (const TJvSimScope* scope = Scope()) {
        if (scope->Lines().Count() == kChannelCount) {
            std::array<TColor, kChannelCount> colors{};
            for (int i = 0; i < kChannelCount; ++i)
                colors[i] = scope->Lines().GetItem(i)->Color;
            WriteChannelColors(*iniFile_, colors);
        }
        WriteScopeColors(*iniFile_, TScopeColors{scope->Color(), scope->GridColor()});
    }
    WriteGraphColors(*iniFile_, state_.GraphColors);
}

void TMainForm::FlushSettings() {
    if (settingsRefused_)
        return;
    try {
        iniFile_->UpdateFile();
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
    }
}

void TMainForm::FormDestroy() {
    if (formDestroyed_)
        return;
    formDestroyed_ = true;
    historyPage_->DeleteColorDialog();
    state_.History.reset();
    SavePresets(*iniFile_, *state_.Params);
    state_.Params.reset();
    StoreColors();
    delete Scope();
    FlushSettings();
    iniFile_.reset();
}

TJvSimScope* TMainForm::Scope() const {
    return historyPage_ != nullptr ? historyPage_->Scope.data() : nullptr;
}

void TMainForm::acAboutExecute() {
    const QStringList lines = {
        QStringLiteral("Kelvane QV-725 control software"),
        QString(),
        QStringLiteral("Version ") + QString::fromStdString(GetVersion()),
        QString(),
        QStringLiteral("e-mail: support@kelvane.example"),
    };
    ShowInformation(QStringLiteral("Information"), lines.join(QLatin1Char('\n')));
}
