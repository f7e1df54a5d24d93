// Why the program is OFF-Line: the device library's reason for a failed open (the port, and
// what to do about it), shown in the status bar beside "OFF-Line". Without a reason the status
// bar looks as it always has.
#pragma once

#include <QLabel>
#include <QString>

class QStatusBar;

// A status-bar panel that shows its whole text, cut with "..." when it is too long.
class TOfflineReasonPanel : public QLabel {
    Q_OBJECT
public:
    explicit TOfflineReasonPanel(QWidget* parent = nullptr);
    QString Reason() const { return reason_; }
    // Shows `reason`, or hides the panel when it is empty; nothing happens when it is the text
    // shown already.
    void SetReason(const QString& reason);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();
    QString reason_;
};

// After an open of the controller: opened, the reason goes away; failed, the library's
// last-error text becomes the reason. The panel is made on first use, right after the first
// panel of `bar` (the "ON-Line"/"OFF-Line" panel).
void ShowOpenResult(QStatusBar* bar, bool opened);

// The panel of `bar`, or nullptr before the first failed open.
TOfflineReasonPanel* OfflineReasonPanel(QStatusBar* bar);
