// Small helpers for building the window's controls at fixed pixel positions, with the object
// names, tags and "short|long" hints the handlers rely on.
#pragma once

#include <QFont>
#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QObject;
class QWidget;

// Height of the one-line boxes and buttons of the pages.
inline constexpr int kBoxHeight = 21;

// The form's font: "MS Sans Serif" 8 pt where installed, else the platform's sans-serif 8 pt.
QFont FormFont();

// The hint of a control, menu item or action: "short|long".
void SetHint(QObject* object, const QString& hint);
QString HintText(const QObject* object);
// The long part of a hint: after the first "|", the whole text when there is none.
QString LongHint(const QString& hint);

// The tag that tells the controls of a family apart (0 to 5 = channel); -1 when none.
void SetTag(QObject* object, int tag);
int TagOf(const QObject* object);

// A label whose left edge is at x, vertically centred on a box row at top y.
QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, int x, int y);
// A one-line text box.
QLineEdit* MakeEdit(QWidget* parent, const QString& name, int x, int y, int width,
                    const QString& hint);
// A read-only read-out that is not a tab stop, with the button-face background.
QLineEdit* MakeReadout(QWidget* parent, const QString& name, int x, int y, int width,
                       const QString& hint);

// Background colour of a box (its palette's base role); a system colour follows the palette.
void SetBoxColor(QWidget* box, uint32_t color);
