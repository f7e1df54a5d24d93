// The Presets page: its layout, the rows of lvPresets with the active one in bold, the four
// preset actions with their enable rules, and making a preset active, which sends its six
// channel records to the controller. Every change of the presets is written to the settings
// file at once.
#include "PresetsPage.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeView>

#include "ActionList.h"
#include "Application.h"
#include "ChannelPage.h"
#include "Dialogs.h"
#include "InputQuery.h"
#include "LayoutHelpers.h"
#include "MainState.h"
#include "PageHost.h"
#include "ReportList.h"
#include "VirtualListModel.h"
#include "core/Params.h"

namespace {

QString PresetName(const TParamsItem& preset) {
    return QString::fromStdString(preset.Name);
}

// Inner border of the page.
constexpr int kPageBorder = 8;

}  // namespace

TPresetsPage::TPresetsPage(TPageHost& host, const TPresetsActions& actions, QWidget* parent)
    : QWidget(parent), host_(host), state_(host.State()), actions_(actions) {
    Build();
    ConnectHandlers();
}

void TPresetsPage::Build() {
    setObjectName(QStringLiteral("tsPresets"));
    SetHint(this, QStringLiteral("Presets|Manages presets"));
    PresetsModel = new TVirtualListModel({QStringLiteral("№"), QStringLiteral("Name")}, this);
    QList<int> widths;
    for (int32_t width : kDefaultPresetsColumnWidths)
        widths.append(width);
    lvPresets = MakeReportList(this, QStringLiteral("lvPresets"), PresetsModel, widths, {});
    lvPresets->setGeometry(kPageBorder, kPageBorder, 335, 344);

    const int buttonLeft = kPageBorder + 418 - 75;
    bAdd = MakeActionButton(this, QStringLiteral("bAdd"), actions_.acPresetsAdd, buttonLeft,
                            kPageBorder);
    bEdit = MakeActionButton(this, QStringLiteral("bEdit"), actions_.acPresetsEdit, buttonLeft,
                             kPageBorder + 32);
    bActive = MakeActionButton(this, QStringLiteral("bActive"), actions_.acPresetsActive,
                               buttonLeft, kPageBorder + 64);
    bDelete = MakeActionButton(this, QStringLiteral("bDelete"), actions_.acPresetsDelete,
                               buttonLeft, kPageBorder + 344 - 25);
    QWidget::setTabOrder(bAdd, bEdit);
    QWidget::setTabOrder(bEdit, bActive);
    QWidget::setTabOrder(bActive, bDelete);
    QWidget::setTabOrder(bDelete, lvPresets);
}

void TPresetsPage::ConnectHandlers() {
    PresetsModel->CellText = [this](int row, int column) -> QString {
        if (state_.Params == nullptr || row < 0 || row >= state_.Params->Count())
            return {};
        return column == 0 ? QString::number(row + 1) : PresetName(state_.Params->Items(row));
    };
    PresetsModel->RowBold = [this](int row) {
        return state_.Params != nullptr && row >= 0 && row < state_.Params->Count() &&
               &state_.Params->Items(row) == state_.Params->Active();
    };
    actions_.acPresetsAdd->OnUpdate = [this] { return acPresetsAddUpdate(); };
    actions_.acPresetsEdit->OnUpdate = [this] { return acPresetsEditUpdate(); };
    actions_.acPresetsActive->OnUpdate = [this] { return acPresetsActiveUpdate(); };
    actions_.acPresetsDelete->OnUpdate = [this] { return acPresetsDeleteUpdate(); };
    actions_.acPresetsAdd->OnExecute = [this] { acPresetsAddExecute(); };
    actions_.acPresetsEdit->OnExecute = [this] { acPresetsEditExecute(); };
    actions_.acPresetsActive->OnExecute = [this] { acPresetsActiveExecute(); };
    actions_.acPresetsDelete->OnExecute = [this] { acPresetsDeleteExecute(); };
    connect(lvPresets, &QAbstractItemView::doubleClicked, this,
            [this] { Guarded([this] { lvPresetsDblClick(); }); });
}

int TPresetsPage::SelectedPresetRow() const {
    const QModelIndexList rows = lvPresets->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

bool TPresetsPage::acPresetsAddUpdate() const {
    return host_.CurrentPage() == this;
}

bool TPresetsPage::acPresetsEditUpdate() const {
    const int row = SelectedPresetRow();
    return row >= 0 && state_.Params != nullptr && row < state_.Params->Count() &&
           host_.CurrentPage() == this;
}

bool TPresetsPage::acPresetsActiveUpdate() const {
    // Activating sends the preset to the controller: off-line it could not.
    return state_.Online && acPresetsDeleteUpdate();
}

bool TPresetsPage::acPresetsDeleteUpdate() const {
    return acPresetsEditUpdate() &&
           &state_.Params->Items(SelectedPresetRow()) != state_.Params->Active();
}

void TPresetsPage::acPresetsAddExecute() {
    QString name = QStringLiteral("Name ") + QString::number(state_.Params->Count() + 1);
    if (!InputQuery(QStringLiteral("Add preset"), QStringLiteral("Name:"), name))
        return;
    // Any text is taken as it is, empty and repeated names too. The new preset is not active.
    state_.Params->AddNew().Name = name.toStdString();
    PresetsModel->SetRowCount(state_.Params->Count());
    const QModelIndex last = PresetsModel->index(state_.Params->Count() - 1, 0);
    lvPresets->selectionModel()->setCurrentIndex(
        last, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvPresets->scrollTo(last);
    PresetsModel->RefreshRows(last.row(), last.row());
    host_.WriteSettingsNow();
}

void TPresetsPage::acPresetsEditExecute() {
    const int row = SelectedPresetRow();
    TParamsItem& preset = state_.Params->Items(row);
    QString name = PresetName(preset);
    if (!InputQuery(QString(), QStringLiteral("Name:"), name))
        return;
    preset.Name = name.toStdString();
    PresetsModel->RefreshRows(row, row);
    host_.WriteSettingsNow();
}

void TPresetsPage::acPresetsDeleteExecute() {
    const int row = SelectedPresetRow();
    QMessageBox box(QMessageBox::Question, QStringLiteral("Message"), QStringLiteral("Delete?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    if (Dialogs().Exec(box) != QMessageBox::Yes)
        return;
    // The action is disabled for the active preset, so it is never the one deleted here.
    state_.Params->Delete(row);
    PresetsModel->SetRowCount(state_.Params->Count());
    host_.WriteSettingsNow();
}

void TPresetsPage::acPresetsActiveExecute() {
    ActivatePreset(SelectedPresetRow(), false);
}

void TPresetsPage::lvPresetsDblClick() {
    actions_.acPresetsActive->Execute();
}

void TPresetsPage::ActivatePreset(int index, bool fromTray) {
    state_.Params->SetActive(index);
    // Stored before anything is sent: a failure to send leaves the new active preset in place.
    host_.WriteSettingsNow();
    const bool presetsShown = host_.CurrentPage() == this;
    if (!fromTray)
        PresetsModel->RefreshRows(0, state_.Params->Count() - 1);
    // Exactly six requests, channels 0 to 5; a failure ends the activation there, and the
    // channels sent so far keep their new parameters and their Changed flags.
    const TParamsItem& active = *state_.Params->Active();
    TChannelPage& channelPage = host_.ChannelPage();
    for (int channel = 0; channel < kChannelCount; ++channel) {
        state_.Pwm[channel] = active.Channels[channel].PWM;
        channelPage.WriteChannelParams(channel);
        state_.Changed[channel] = true;
    }
    channelPage.ShowChannelParams(state_.SelectedChannel);
    if (!fromTray) {
        channelPage.DrawGraph(state_.SelectedChannel);
    } else {
        if (host_.CurrentPage() == &channelPage) {
            channelPage.UpdateChannelPage(state_.SelectedChannel);
            channelPage.DrawGraph(state_.SelectedChannel);
        }
        if (presetsShown)
            PresetsModel->RefreshRows(0, state_.Params->Count() - 1);
    }
    host_.ShowPresetName(PresetName(active));
}
