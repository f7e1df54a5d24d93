// The History page: its layout, the statistics rows of lvHistory, the colour line of each row,
// changing a trace colour and jumping to a channel's settings.
#include "HistoryPage.h"

#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "ChannelPage.h"
#include "Dialogs.h"
#include "HistoryColorDelegate.h"
#include "LayoutHelpers.h"
#include "MainState.h"
#include "PageHost.h"
#include "ReportList.h"
#include "VirtualListModel.h"
#include "widgets/ColorConvert.h"
#include "widgets/Jvsimscope.h"

namespace {

// Inner border of the page.
constexpr int kPageBorder = 8;

}  // namespace

THistoryPage::THistoryPage(TPageHost& host, TAction* colorChange, TAction* settings,
                           QWidget* parent)
    : QWidget(parent),
      host_(host),
      state_(host.State()),
      acHistoryColorChange(colorChange),
      acHistorySettings(settings) {
    Build();
    ConnectHandlers();
}

void THistoryPage::Build() {
    setObjectName(QStringLiteral("tsHistory"));
    SetHint(this, QStringLiteral("History|Shows history grahps"));
    const int clientWidth = 418;
    pScope = new QFrame(this);
    pScope->setObjectName(QStringLiteral("pScope"));
    pScope->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pScope->setLineWidth(1);
    pScope->setGeometry(kPageBorder, kPageBorder, clientWidth, 225);
    pScope->setAutoFillBackground(true);
    QPalette scopePalette = pScope->palette();
    scopePalette.setColor(QPalette::Window, Qt::black);
    pScope->setPalette(scopePalette);

    HistoryModel = new TVirtualListModel(
        {QStringLiteral("Color"), QStringLiteral("Channel"), QStringLiteral("Current, °C"),
         QStringLiteral("Average, °C"), QStringLiteral("Min, °C"), QStringLiteral("Max, °C")},
        this);
    QList<int> widths;
    for (int32_t width : kDefaultHistoryColumnWidths)
        widths.append(width);
    lvHistory = MakeReportList(this, QStringLiteral("lvHistory"), HistoryModel, widths, {});
    lvHistory->setGeometry(kPageBorder, kPageBorder + 232, clientWidth, 112);
    HistoryColors = new THistoryColorDelegate(lvHistory);
    lvHistory->setItemDelegateForColumn(0, HistoryColors);
    lvHistory->viewport()->installEventFilter(this);
    lvHistory->installEventFilter(this);
}

void THistoryPage::DeleteColorDialog() {
    delete ColorDialog.data();
}

void THistoryPage::ConnectHandlers() {
    HistoryModel->CellText = [this](int row, int column) -> QString {
        switch (column) {
            case 0:
                return {};
            case 1:
                return ChannelListText(row);
            default:
                break;
        }
        return rowTexts_.Text(state_.History.get(), row, column);
    };
    HistoryColors->LineColor = [this](int row) -> QColor {
        if (!Scope || row < 0 || row >= Scope->Lines().Count())
            return {};
        return ToQColor(Scope->Lines().GetItem(row)->Color);
    };

    acHistoryColorChange->OnUpdate = [this] { return acHistoryColorChangeUpdate(); };
    acHistoryColorChange->OnExecute = [this] { acHistoryColorChangeExecute(); };
    acHistorySettings->OnUpdate = [this] { return acHistorySettingsUpdate(); };
    acHistorySettings->OnExecute = [this] { acHistorySettingsExecute(); };
}

QString THistoryPage::ChannelListText(int index) const {
    return host_.ChannelPage().ChannelListText(index);
}

int THistoryPage::SelectedHistoryRow() const {
    const QModelIndexList rows = lvHistory->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void THistoryPage::RefreshHistoryRows() {
    HistoryModel->RefreshRows(0, kChannelCount - 1);
}

bool THistoryPage::acHistoryColorChangeUpdate() const {
    return SelectedHistoryRow() >= 0 && host_.CurrentPage() == this;
}

void THistoryPage::acHistoryColorChangeExecute() {
    const int row = SelectedHistoryRow();
    if (row < 0 || !Scope || row >= Scope->Lines().Count())
        return;
    if (!ColorDialog) {
        ColorDialog = new QColorDialog(window());
        ColorDialog->setObjectName(QStringLiteral("ColorDialog1"));
        ColorDialog->setOption(QColorDialog::DontUseNativeDialog);
    }
    TJvScopeLine* line = Scope->Lines().GetItem(row);
    ColorDialog->setCurrentColor(ToQColor(line->Color));
    if (Dialogs().Exec(*ColorDialog) != QDialog::Accepted)
        return;
    line->Color = FromQColor(ColorDialog->currentColor());
    lvHistory->viewport()->repaint();
}

bool THistoryPage::acHistorySettingsUpdate() const {
    return SelectedHistoryRow() >= 0;
}

void THistoryPage::acHistorySettingsExecute() {
    const int row = SelectedHistoryRow();
    if (row < 0)
        return;
    TChannelPage& channelPage = host_.ChannelPage();
    channelPage.cbCh->setCurrentIndex(row);
    channelPage.cbChChange();
    host_.SetActivePage(1);
    host_.PageControlChange();
}

bool THistoryPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvHistory->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        acHistoryColorChange->Execute();  // lvHistoryDblClick
        return true;
    }
    if (watched == lvHistory && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            acHistoryColorChange->Execute();  // lvHistoryKeyPress with character 13
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
