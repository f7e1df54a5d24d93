// The Presets page: the rows of lvPresets and the enable rules of the four preset actions.
#include <QItemSelectionModel>
#include <QMenu>
#include <QTabWidget>
#include <QTreeView>

#include "ActionList.h"
#include "Main.h"
#include "VirtualListModel.h"
#include "core/Params.h"

namespace {

int SelectedRow(const QTreeView* view) {
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

}  // namespace

void TMainForm::ConnectPresetsHandlers() {
    PresetsModel->CellText = [this](int row, int column) -> QString {
        if (Params == nullptr || row < 0 || row >= Params->Count())
            return {};
        return column == 0 ? QString::number(row + 1)
                           : QString::fromStdString(Params->Items(row).Name);
    };
    acPresetsAdd->OnUpdate = [this] { return acPresetsAddUpdate(); };
    acPresetsEdit->OnUpdate = [this] { return acPresetsEditUpdate(); };
    acPresetsActive->OnUpdate = [this] { return acPresetsActiveUpdate(); };
    acPresetsDelete->OnUpdate = [this] { return acPresetsDeleteUpdate(); };
    connect(lvPresets, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        ActionList1->UpdateAll();
        pmPresets->popup(lvPresets->viewport()->mapToGlobal(pos));
    });
}

bool TMainForm::acPresetsAddUpdate() const {
    return PageControl->currentWidget() == tsPresets;
}

bool TMainForm::acPresetsEditUpdate() const {
    return SelectedRow(lvPresets) >= 0 && PageControl->currentWidget() == tsPresets;
}

bool TMainForm::acPresetsActiveUpdate() const {
    const int row = SelectedRow(lvPresets);
    return row >= 0 && Params != nullptr && row < Params->Count() &&
           &Params->Items(row) != Params->Active() && PageControl->currentWidget() == tsPresets;
}

bool TMainForm::acPresetsDeleteUpdate() const {
    return acPresetsActiveUpdate();
}
