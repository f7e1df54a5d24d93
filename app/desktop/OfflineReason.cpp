// The reason panel of the status bar.
#include "OfflineReason.h"

#include <QStatusBar>

#include "qv725/qv725.h"

namespace {

const QString kPanelName = QStringLiteral("OfflineReason");

}  // namespace

TOfflineReasonPanel::TOfflineReasonPanel(QWidget* parent) : QLabel(parent) {
    setObjectName(kPanelName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setIndent(2);
    setMinimumWidth(1);
    hide();
}

void TOfflineReasonPanel::SetReason(const QString& reason) {
    if (reason == reason_)
        return;
    reason_ = reason;
    // The whole reason also as the panel's hint, so pointing at it puts it into the hint panel.
    setProperty("hint", QStringLiteral("OFF-Line|") + reason);
    Elide();
    setVisible(!reason.isEmpty());
}

void TOfflineReasonPanel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    Elide();
}

void TOfflineReasonPanel::Elide() {
    const int room = contentsRect().width() - 2 * indent();
    setText(fontMetrics().elidedText(reason_, Qt::ElideRight, qMax(room, 0)));
}

TOfflineReasonPanel* OfflineReasonPanel(QStatusBar* bar) {
    return bar != nullptr ? bar->findChild<TOfflineReasonPanel*>(kPanelName) : nullptr;
}

void ShowOpenResult(QStatusBar* bar, bool opened) {
    if (bar == nullptr)
        return;
    TOfflineReasonPanel* panel = OfflineReasonPanel(bar);
    if (opened) {
        if (panel != nullptr)
            panel->SetReason(QString());
        return;
    }
    const char* text = nullptr;
    QV725_GetLastError(&text);
    const QString reason = QString::fromUtf8(text != nullptr ? text : "").trimmed();
    if (panel == nullptr) {
        if (reason.isEmpty())
            return;
        panel = new TOfflineReasonPanel(bar);
        // Right after the first panel ("OFF-Line"); it takes twice the room of the hint panel.
        bar->insertPermanentWidget(1, panel, 2);
    }
    panel->SetReason(reason);
}
