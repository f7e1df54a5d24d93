// Unsaved-change marks in the channel list.
#include "UnsavedMarks.h"

#include <QAbstractEventDispatcher>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>

QIcon TUnsavedMarks::MarkIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(150, 70, 0), 1));
    painter.setBrush(QColor(255, 140, 0));
    painter.drawEllipse(QRectF(3.5, 3.5, 9, 9));
    painter.end();
    return QIcon(pixmap);
}

TUnsavedMarks::TUnsavedMarks(QComboBox* channelList, std::function<std::array<bool, 6>()> changed,
                             QObject* parent)
    : QObject(parent), channelList_(channelList), changed_(std::move(changed)), mark_(MarkIcon()) {
    // An empty picture of the same size keeps the entries' texts in one column.
    QPixmap empty(16, 16);
    empty.fill(Qt::transparent);
    blank_ = QIcon(empty);
    if (channelList_) {
        for (int i = 0; i < channelList_->count() && i < 6; ++i)
            channelList_->setItemIcon(i, blank_);
    }
    if (auto* dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TUnsavedMarks::Refresh);
}

void TUnsavedMarks::Refresh() {
    if (!channelList_ || !changed_)
        return;
    const std::array<bool, 6> changed = changed_();
    for (int i = 0; i < 6 && i < channelList_->count(); ++i) {
        if (changed[static_cast<size_t>(i)] == shown_[static_cast<size_t>(i)])
            continue;
        shown_[static_cast<size_t>(i)] = changed[static_cast<size_t>(i)];
        channelList_->setItemIcon(i, shown_[static_cast<size_t>(i)] ? mark_ : blank_);
        channelList_->setItemData(
            i, shown_[static_cast<size_t>(i)] ? QStringLiteral("unsaved") : QVariant(),
            Qt::AccessibleDescriptionRole);
    }
}

bool TUnsavedMarks::Marked(int channel) const {
    return channel >= 0 && channel < 6 && shown_[static_cast<size_t>(channel)];
}
