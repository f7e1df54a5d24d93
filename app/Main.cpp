// The main window's life: construction (settings, presets, history, scope, colours), FormCreate,
// the close query, FormClose and FormDestroy, the window settings and the About box.
#include "Main.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

#include "Application.h"
#include "Dialogs.h"
#include "VirtualListModel.h"
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
#include "qv725/qv725.h"
#include "widgets/Jvsimscope.h"

// The artwork lives in a static library; naming its resources here links them in. (Outside any
// namespace: the macro declares the resource function where it stands.)
static void InitResources() {
    Q_INIT_RESOURCE(kelvane);
}

TMainForm::TMainForm(const std::string& settingsFileName, QWidget* parent) : QMainWindow(parent) {
    InitResources();
    BuildFrame();
    BuildActions();
    BuildMenus();
    BuildCommonPage();
    BuildChannelPage();
    BuildHistoryPage();
    BuildPresetsPage();
    BuildTray();
    FixWindowSize();
    ConnectHandlers();
    // An error here leaves the constructor: the window is never shown and, since FormDestroy
    // does not run for a window that was not constructed, the settings file stays untouched.
    Construct(settingsFileName);
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
        IniFile = std::make_unique<TIniFile>(settingsFileName);
    } catch (const EFTooLargeError& error) {
        // No real settings file is that large; the program still runs, with the defaults, and
        // leaves the file alone.
        settingsRefused_ = true;
        IniFile = std::make_unique<TIniFile>();
        ShowErrorMessage(QString::fromStdString(error.Message()) +
                         QStringLiteral("\nThis run uses the default settings and does not save "
                                        "them."));
    }
    Params = std::make_unique<TParams>();
    LoadPresets(*IniFile, *Params);
    History = std::make_unique<THistory>();
    Scope = new TJvSimScope(this);
    Scope->setObjectName(QStringLiteral("Scope"));
    Scope->hide();
    const TScopeColors scopeColors =
        ReadScopeColors(*IniFile, TScopeColors{Scope->Color(), TScopeColors{}.GridColor});
    Scope->SetColor(scopeColors.BackgroundColor);
    Scope->SetGridColor(scopeColors.GridColor);
    GraphColors = ReadGraphColors(*IniFile);
}

std::array<uint32_t, kChannelCount> TMainForm::ReadTraceColors() const {
    std::array<uint32_t, kChannelCount> colors = kDefaultChannelColors;
    QStringList errors;
    for (int i = 0; i < kChannelCount; ++i) {
        const std::string key = "Color" + std::to_string(i);
        const std::string text =
            IniFile->ReadString("Channels", key, ColorToString(kDefaultChannelColors[i]));
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
    PresetsModel->SetRowCount(Params->Count());
    HistoryModel->SetRowCount(kChannelCount);
    StatusPanels[1]->setText(
        Params->Active() != nullptr ? QString::fromStdString(Params->Active()->Name) : QString());
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread())) {
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
                &TMainForm::ApplicationIdle, Qt::UniqueConnection);
    }

    Scope->setParent(pScope);
    Scope->SetBounds(pScope->contentsRect().x(), pScope->contentsRect().y(),
                     pScope->contentsRect().width(), pScope->contentsRect().height());
    Scope->SetBaseLine(0);
    Scope->SetGridSize(12);
    Scope->SetInterval(100);
    Scope->SetActive(true);
    Scope->OnUpdate = [this](QObject*) { Guarded([this] { TimerTimer(); }); };
    Scope->show();

    for (int i = 0; i < kChannelCount; ++i) {
        TJvScopeLine* line = Scope->Lines().Add();
        line->Position = 0;
        line->Color = kDefaultChannelColors[i];
    }
    const auto colors = ReadTraceColors();
    for (int i = 0; i < kChannelCount; ++i)
        Scope->Lines().GetItem(i)->Color = colors[i];
    // New traces start at row 0; a fresh picture starts them on the base line instead, so the
    // first tick does not draw a stroke down from the top edge.
    Scope->Clear();

    Updating = true;
    LoadSettings();
    SetActivePage(0);
    for (int i = 0; i < kChannelCount; ++i)
        edN[i]->setText(ChannelName[i]);
    cbCh->setCurrentIndex(SelectedChannel);
    Updating = false;

    Online = CmdOpenDevice();
    ShowOpenResult(StatusBar, Online);  // desktop hook
    SetStatusOnline(Online);
    Changed.fill(false);

    try {
        ReadChannelValues();
        UpdateCommonPage();
        for (int channel = 0; channel < kChannelCount; ++channel)
            ReadChannelParams(channel);
        ControllerParamsKnown = Online;
        ShowChannelParams(SelectedChannel);
        UpdateChannelPage(SelectedChannel);
    } catch (const EHardwareException&) {
        // The first polling cycle reads again and goes off-line if the error recurs.
    }

    lVersion->setText(QStringLiteral("Version ") + QString::fromStdString(GetVersion()));
}

void TMainForm::LoadSettings() {
    std::array<int32_t, kHistoryColumnCount> historyWidths{};
    for (int j = 0; j < kHistoryColumnCount; ++j)
        historyWidths[j] = lvHistory->header()->sectionSize(j);
    std::array<int32_t, kPresetsColumnCount> presetsWidths{};
    for (int j = 0; j < kPresetsColumnCount; ++j)
        presetsWidths[j] = lvPresets->header()->sectionSize(j);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenSize = screen != nullptr ? screen->size() : QSize(0, 0);
    const TWindowSettings defaults = DefaultWindowSettings(
        screenSize.width(), screenSize.height(), width(), height(), historyWidths, presetsWidths);
    const TWindowSettings settings = ReadWindowSettings(*IniFile, defaults);

    // desktop hook: a position mostly off every screen goes onto the nearest screen
    move(PlaceOnCurrentScreens(QRect(settings.Left, settings.Top, width(), height())));
    SelectedChannel = settings.Channel;
    for (int i = 0; i < kChannelCount; ++i)
        ChannelName[i] = QString::fromStdString(settings.ChannelNames[i]);
    for (int j = 0; j < kHistoryColumnCount; ++j)
        lvHistory->header()->resizeSection(j, settings.HistoryColumnWidths[j]);
    for (int j = 0; j < kPresetsColumnCount; ++j)
        lvPresets->header()->resizeSection(j, settings.PresetsColumnWidths[j]);
}

void TMainForm::SaveSettings() {
    TWindowSettings settings;
    settings.Left = pos().x();
    settings.Top = pos().y();
    settings.Channel = SelectedChannel;
    for (int i = 0; i < kChannelCount; ++i)
        settings.ChannelNames[i] = ChannelName[i].toStdString();
    for (int j = 0; j < kHistoryColumnCount; ++j)
        settings.HistoryColumnWidths[j] = lvHistory->header()->sectionSize(j);
    for (int j = 0; j < kPresetsColumnCount; ++j)
        settings.PresetsColumnWidths[j] = lvPresets->header()->sectionSize(j);
    WriteWindowSettings(*IniFile, settings);
}

bool TMainForm::FormCloseQuery() {
    if (closeWithoutQuestion_)
        return true;
    if (std::none_of(Changed.begin(), Changed.end(), [](bool changed) { return changed; }))
        return true;
    // Polling goes on while a box is open: the controller may leave while the question waits,
    // and then the answer Yes could save nothing.
    for (;;) {
        if (!Online)
            return AskYesNo(UnsavedChannelsText(Changed)) == QMessageBox::Yes;
        switch (AskYesNoCancel(QStringLiteral("Save new parameters to EEPROM?"))) {
            case QMessageBox::Yes:
                if (!Online)
                    continue;
                for (int channel = 0; channel < kChannelCount; ++channel) {
                    if (Changed[channel])
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
    if (Online)
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
    SavePresets(*IniFile, *Params);
    StoreColors();
    FlushSettings();
}

void TMainForm::StoreColors() {
    if (Scope) {
        if (Scope->Lines().Count() == kChannelCount) {
            std::array<TColor, kChannelCount> colors{};
            for (int i = 0; i < kChannelCount; ++i)
                colors[i] = Scope->Lines().GetItem(i)->Color;
            WriteChannelColors(*IniFile, colors);
        }
        WriteScopeColors(*IniFile, TScopeColors{Scope->Color(), Scope->GridColor()});
    }
    WriteGraphColors(*IniFile, GraphColors);
}

void TMainForm::FlushSettings() {
    if (settingsRefused_)
        return;
    try {
        IniFile->UpdateFile();
    } catch (const std::exception& error) {
        ShowErrorMessage(QString::fromUtf8(error.what()));
    }
}

void TMainForm::FormDestroy() {
    if (formDestroyed_)
        return;
    formDestroyed_ = true;
    delete ColorDialog.data();
    History.reset();
    SavePresets(*IniFile, *Params);
    Params.reset();
    StoreColors();
    delete Scope.data();
    FlushSettings();
    IniFile.reset();
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
