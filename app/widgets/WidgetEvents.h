// Event handler types shared by the program's own controls: plain callables that run when
// assigned, so a control can tell whether anyone handles an event.
#pragma once

#include <functional>

class QObject;

// A notification that carries the control that raised it.
using TNotifyEvent = std::function<void(QObject* sender)>;
