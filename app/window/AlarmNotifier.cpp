// Alarm notifications and the tray icon's alarm mark.
#include "AlarmNotifier.h"

#include <QAction>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>

#include "LayoutHelpers.h"
#include "core/AlarmText.h"
#include "widgets/Trayicon.h"

namespace {

// The icon with a red disc, ringed in white, over its lower right quarter, at every size the
// icon comes in (so each tray picks a sharp one).
QIcon WithRedMark(const QIcon& icon) {
    QIcon marked;
    QList<QSize> sizes = icon.availableSizes();
    if (sizes.isEmpty())
        sizes = {QSize(16, 16), QSize(22, 22), QSize(32, 32), QSize(48, 48)};
    for (const QSize& size : sizes) {
        QPixmap pixmap = icon.pixmap(size);
        if (pixmap.isNull()) {
            pixmap = QPixmap(size);
            pixmap.fill(Qt::transparent);
        }
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal d = size.width() * 0.55;
        const QRectF disc(size.width() - d, size.height() - d, d, d);
        painter.setPen(QPen(Qt::white, qMax<qreal>(1.0, size.width() / 16.0)));
        painter.setBrush(QColor(220, 0, 0));
        painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        painter.end();
        marked.addPixmap(pixmap);
    }
    return marked;
}

}  // namespace

TAlarmNotifier::TAlarmNotifier(TTrayIcon* trayIcon, QObject* parent)
    : QObject(parent),
      trayIcon_(trayIcon),
      action_(new QAction(QStringLiteral("Alarm notifications"), this)) {
    action_->setObjectName(QStringLiteral("acAlarmNotifications"));
    action_->setCheckable(true);
    action_->setChecked(true);
    SetHint(action_, QStringLiteral("Alarm notifications|Shows a desktop notification when a "
                                    "channel enters an alarm, a fan stalls or the controller is "
                                    "lost or found"));
    if (trayIcon_) {
        plainIcon_ = trayIcon_->Icon();
        plainHint_ = trayIcon_->Hint();
    }
    markedIcon_ = WithRedMark(plainIcon_);
}

bool TAlarmNotifier::Enabled() const {
    return action_->isChecked();
}

void TAlarmNotifier::SetEnabled(bool enabled) {
    action_->setChecked(enabled);
}

void TAlarmNotifier::Cycle(const TAlarmCycle& cycle, const std::array<std::string, 6>& names) {
    const std::vector<TAlarmEvent> events = tracker_.Cycle(cycle);
    const std::string text = AlarmNotificationText(events, names);
    if (!text.empty() && Enabled()) {
        bool alarm = false;
        for (const TAlarmEvent& event : events)
            alarm = alarm || (event.Began && event.Kind != TAlarmKind::ControllerFound);
        const QString title = alarm ? QStringLiteral("Kelvane alarm") : QStringLiteral("Kelvane");
        const QString message = QString::fromStdString(text);
        if (trayIcon_ && trayIcon_->Visible()) {
            trayIcon_->SystemTrayIcon()->showMessage(
                title, message, alarm ? QSystemTrayIcon::Warning : QSystemTrayIcon::Information,
                10000);
        }
        emit Notified(title, message);
    }
    const bool active = tracker_.AnyActive();
    ShowMark(active, active ? QString::fromStdString(AlarmTooltip(tracker_, names)) : plainHint_);
}

void TAlarmNotifier::ShowMark(bool marked, const QString& tooltip) {
    if (!trayIcon_)
        return;
    if (marked != marked_) {
        marked_ = marked;
        trayIcon_->SetIcon(marked ? markedIcon_ : plainIcon_);
    }
    trayIcon_->SetHint(tooltip);
}
