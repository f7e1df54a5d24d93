// Which kind of notification area the desktop offers, and the mouse action that restores the
// window from it.
#pragma once

#include <functional>

#include "widgets/Trayicon.h"

enum class TTrayHost {
    XEmbed,          // an X11 system tray: the icon sees clicks and double clicks
    StatusNotifier,  // a D-Bus (StatusNotifierItem) host: a click arrives as one activation
};

// The kind Qt picks for its tray icons: a StatusNotifier host when a watcher on the session bus
// reports a registered host, else the X11 tray. A test may replace the answer
// (SetTrayHostProbe; nullptr restores the real one).
TTrayHost CurrentTrayHost();
void SetTrayHostProbe(std::function<TTrayHost()> probe);

// On an X11 tray a double click restores, as always; a D-Bus host never sends one, so a left
// click (its plain activation) restores there.
TTrayIconMessage RestoreMessageFor(TTrayHost host);
