// The words of alarm notifications and of the tray icon's tooltip while alarms are active.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "AlarmTracker.h"

// "Channel 3 'CPU'" for channel index 2 named CPU; "Channel 3" when the name is blank.
std::string ChannelLabel(int channel, const std::string& name);

// One line per event that began (ended episodes say nothing):
//   "Channel 3 'CPU': 71.4 °C, alarm at 65.0 °C"
//   "Channel 2: 450 rpm, alarm below 600 rpm"
//   "Channel 5 'Rear': fan stopped, 0 rpm at 31 % PWM"
//   "Controller lost: OFF-Line"      "Controller found again: ON-Line"
std::string AlarmEventText(const TAlarmEvent& event, const std::array<std::string, 6>& names);

// The lines of one cycle's events that began, joined by line breaks; "" when none began.
std::string AlarmNotificationText(const std::vector<TAlarmEvent>& events,
                                  const std::array<std::string, 6>& names);

// The tray icon's tooltip: "Kelvane" without alarms, else "Kelvane: alarm on 1 'CPU', 3" and
// "controller lost" when it is; cut with "..." to fit `maxLength` characters (UTF-8 text,
// counted in code points, never cut inside one).
std::string AlarmTooltip(const TAlarmTracker& tracker, const std::array<std::string, 6>& names,
                         size_t maxLength = 63);
