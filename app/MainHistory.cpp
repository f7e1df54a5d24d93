// The History page: the statistics rows of lvHistory, the colour line of each row, changing a
// trace colour and jumping to a channel's settings.
#include <QColorDialog>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "Dialogs.h"
#include "HistoryColorDelegate.h"
#include "Main.h"
#include "VirtualListModel.h"
#include "core/History.h"
#include "core/NumberFormat.h"
#include "widgets/ColorConvert.h"
#include "widgets/Jvsimscope.h"
#include "widgets/ReadoutText.h"

namespace {

QString Readout(double value) {
    return ReadoutText(value);
}

}  // namespace

void TMainForm::ConnectHistoryHandlers() {
    HistoryModel->CellText = [this](int row, int column) -> QString {
        switch (column) {
            case 0:
                return {};
            case 1:
                return ChannelListText(row);
            default:
                break;
        }
        if (History == nullptr || History->Count() == 0)
            return QStringLiteral("0.0");
        switch (column) {
            case 2:
                return Readout(History->Last().Values[row]);
            case 3:
                return Readout(History->Average(row));
            case 4:
                return Readout(History->Min(row));
            default:
                return Readout(History->Max(row));
        }
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
    connect(lvHistory, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ActionList1->UpdateAll();
        pmHistory->popup(lvHistory->viewport()->mapToGlobal(pos));
    });
}

QString TMainForm::ChannelListText(int index) const {
    return index >= 0 && index < cbCh->count() ? cbCh->itemText(index) : QString();
}

int TMainForm::SelectedHistoryRow() const {
    const QModelIndexList rows = lvHistory->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TMainForm::RefreshHistoryRows() {
    HistoryModel->RefreshRows(0, kChannelCount - 1);
}

bool TMainForm::acHistoryColorChangeUpdate() const {
    return SelectedHistoryRow() >= 0 && PageControl->currentWidget() == tsHistory;
}

void TMainForm::acHistoryColorChangeExecute() {
    const int row = SelectedHistoryRow();
    if (row < 0 || !Scope || row >= Scope->Lines().Count())
        return;
    if (!ColorDialog) {
        ColorDialog = new QColorDialog(this);
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

bool TMainForm::acHistorySettingsUpdate() const {
    return SelectedHistoryRow() >= 0;
}

void TMainForm::acHistorySettingsExecute() {
    const int row = SelectedHistoryRow();
    if (row < 0)
        return;
    cbCh->setCurrentIndex(row);
    cbChChange();
    SetActivePage(1);
    PageControlChange();
}

bool TMainForm::HistoryListEvent(QObject* watched, QEvent* event) {
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
    return false;
}
