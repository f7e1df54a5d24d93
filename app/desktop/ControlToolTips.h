// The window's controls show no tooltips (their hints go to the status bar); every other
// tooltip of the program, the tray icon's "Kelvane" among them, shows as usual.
#pragma once

class QWidget;

// Swallows the tooltip events of `window` and of every widget inside it or owned by it (its
// menus and boxes), for as long as `window` lives.
void HideToolTipsOfControls(QWidget* window);
