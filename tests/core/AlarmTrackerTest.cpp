// Alarm episodes cycle by cycle: one event when an alarm begins, none while it stays, an end
// only after it has been gone for a few cycles, a new episode when it comes back; stalls after
// three cycles at 0 rpm under drive; the controller lost and found; and the texts and tooltip.
#include <gtest/gtest.h>

#include "AlarmText.h"
#include "AlarmTracker.h"

namespace {

TAlarmCycle Quiet() {
    TAlarmCycle cycle;
    cycle.Online = true;
    cycle.Temperature.fill(300);
    cycle.FanSpeed.fill(1200);
    cycle.Pwm.fill(128);
    for (TChannelParams& params : cycle.Params) {
        params.Ta = 1;
        params.T_alarm = 650;
        params.Va = 1;
        params.V_alarm = 500;
    }
    return cycle;
}

std::vector<TAlarmKind> Kinds(const std::vector<TAlarmEvent>& events, bool began) {
    std::vector<TAlarmKind> kinds;
    for (const TAlarmEvent& event : events) {
        if (event.Began == began)
            kinds.push_back(event.Kind);
    }
    return kinds;
}

const std::array<std::string, 6> kNames = {"", "", "CPU", "", "Rear, low", ""};

}  // namespace

TEST(AlarmEpisodes, TemperatureEntersOnceStaysQuietLeavesAfterClearCyclesAndReenters) {
    TAlarmTracker tracker;
    TAlarmCycle cycle = Quiet();
    EXPECT_TRUE(tracker.Cycle(cycle).empty());

    cycle.Temperature[2] = 651;  // T_alarm < T, strictly
    const auto entered = tracker.Cycle(cycle);
    ASSERT_EQ(entered.size(), 1u);
    EXPECT_EQ(entered[0], (TAlarmEvent{TAlarmKind::Temperature, 2, true, 651, 650, 128}));
    EXPECT_EQ(AlarmEventText(entered[0], kNames), "Channel 3 'CPU': 65.1 °C, alarm at 65.0 °C");
    EXPECT_TRUE(tracker.ChannelInAlarm(2));

    // Staying in alarm, and wavering at the limit for fewer than kClearCycles, is one episode.
    cycle.Temperature[2] = 714;
    EXPECT_TRUE(tracker.Cycle(cycle).empty());
    cycle.Temperature[2] = 650;  // equal is no alarm
    EXPECT_TRUE(tracker.Cycle(cycle).empty());
    cycle.Temperature[2] = 652;
    EXPECT_TRUE(tracker.Cycle(cycle).empty());

    cycle.Temperature[2] = 600;
    for (int i = 1; i < TAlarmTracker::kClearCycles; ++i)
        EXPECT_TRUE(tracker.Cycle(cycle).empty()) << i;
    const auto left = tracker.Cycle(cycle);
    EXPECT_EQ(Kinds(left, false), std::vector<TAlarmKind>{TAlarmKind::Temperature});
    EXPECT_FALSE(tracker.AnyActive());
    EXPECT_EQ(AlarmNotificationText(left, kNames), "");  // an end says nothing

    cycle.Temperature[2] = 700;
    EXPECT_EQ(Kinds(tracker.Cycle(cycle), true), std::vector<TAlarmKind>{TAlarmKind::Temperature});
}

TEST(AlarmEpisodes, AlarmsFollowTheReadoutRules) {
    struct Case {
        const char* name;
        int32_t t, v, pwm;
        uint8_t ta, va;
        std::vector<TAlarmKind> kinds;
    };
    const Case cases[] = {
        {"temperature over the limit, Ta off", 900, 1200, 128, 0, 1, {}},
        {"speed under the limit", 300, 450, 41, 1, 1, {TAlarmKind::FanSpeed}},
        {"speed under the limit at PWM 40 (standing)", 300, 450, 40, 1, 1, {}},
        {"speed under the limit, Va off", 300, 450, 200, 1, 0, {}},
        {"speed at the limit", 300, 500, 200, 1, 1, {}},
        {"both", 800, 100, 255, 1, 1, {TAlarmKind::Temperature, TAlarmKind::FanSpeed}},
    };
    for (const Case& c : cases) {
        TAlarmTracker tracker;
        TAlarmCycle cycle = Quiet();
        cycle.Temperature[4] = c.t;
        cycle.FanSpeed[4] = c.v;
        cycle.Pwm[4] = c.pwm;
        cycle.Params[4].Ta = c.ta;
        cycle.Params[4].Va = c.va;
        EXPECT_EQ(Kinds(tracker.Cycle(cycle), true), c.kinds) << c.name;
    }
    TAlarmEvent speed{TAlarmKind::FanSpeed, 4, true, 450, 500, 41};
    EXPECT_EQ(AlarmEventText(speed, kNames), "Channel 5 'Rear, low': 450 rpm, alarm below 500 rpm");
}

TEST(AlarmEpisodes, StallNeedsThreeCyclesAtZeroRpmUnderDrive) {
    TAlarmTracker tracker;
    TAlarmCycle cycle = Quiet();
    cycle.Params[0].Va = 0;
    cycle.FanSpeed[0] = 0;
    cycle.Pwm[0] = 30;  // under drive, though below the speed alarm's PWM
    EXPECT_TRUE(tracker.Cycle(cycle).empty());
    EXPECT_TRUE(tracker.Cycle(cycle).empty());
    const auto stalled = tracker.Cycle(cycle);
    ASSERT_EQ(Kinds(stalled, true), std::vector<TAlarmKind>{TAlarmKind::Stall});
    EXPECT_EQ(AlarmEventText(stalled[0], kNames), "Channel 1: fan stopped, 0 rpm at 12 % PWM");
    EXPECT_TRUE(tracker.Cycle(cycle).empty());

    // A fan that was switched off (PWM 0) is not stalled; a count broken by one turn restarts.
    TAlarmTracker other;
    cycle.Pwm[0] = 0;
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(other.Cycle(cycle).empty());
    cycle.Pwm[0] = 90;
    other.Cycle(cycle);
    other.Cycle(cycle);
    cycle.FanSpeed[0] = 300;
    other.Cycle(cycle);
    cycle.FanSpeed[0] = 0;
    EXPECT_TRUE(other.Cycle(cycle).empty());
    EXPECT_TRUE(other.Cycle(cycle).empty());
    EXPECT_EQ(Kinds(other.Cycle(cycle), true), std::vector<TAlarmKind>{TAlarmKind::Stall});
}

TEST(AlarmEpisodes, ControllerLostAndFoundAgain) {
    TAlarmTracker tracker;
    TAlarmCycle offline = Quiet();
    offline.Online = false;
    // Off-line from the start is not a loss: nothing was there to lose.
    EXPECT_TRUE(tracker.Cycle(offline).empty());
    TAlarmCycle online = Quiet();
    EXPECT_TRUE(tracker.Cycle(online).empty());

    const auto lost = tracker.Cycle(offline);
    EXPECT_EQ(Kinds(lost, true), std::vector<TAlarmKind>{TAlarmKind::ControllerLost});
    EXPECT_EQ(AlarmNotificationText(lost, kNames), "Controller lost: OFF-Line");
    EXPECT_TRUE(tracker.AnyActive());
    EXPECT_TRUE(tracker.Cycle(offline).empty());

    const auto found = tracker.Cycle(online);
    EXPECT_EQ(Kinds(found, true), std::vector<TAlarmKind>{TAlarmKind::ControllerFound});
    EXPECT_EQ(AlarmNotificationText(found, kNames), "Controller found again: ON-Line");
    EXPECT_FALSE(tracker.AnyActive());
}

TEST(AlarmEpisodes, OfflineCyclesNeitherEndEpisodesNorCountTowardsAStall) {
    TAlarmTracker tracker;
    TAlarmCycle cycle = Quiet();
    cycle.Temperature[1] = 900;
    tracker.Cycle(cycle);
    TAlarmCycle offline = cycle;
    offline.Online = false;
    offline.Temperature[1] = 0;
    for (int i = 0; i < 5; ++i)
        tracker.Cycle(offline);
    EXPECT_TRUE(tracker.InAlarm(1, TAlarmKind::Temperature));
    // Back on-line still hot: the same episode, only the controller's return is news.
    EXPECT_EQ(Kinds(tracker.Cycle(cycle), true),
              std::vector<TAlarmKind>{TAlarmKind::ControllerFound});

    TAlarmTracker stall;
    cycle = Quiet();
    cycle.Params[3].Va = 0;
    cycle.FanSpeed[3] = 0;
    offline = cycle;
    offline.Online = false;
    stall.Cycle(cycle);
    stall.Cycle(cycle);
    stall.Cycle(offline);
    EXPECT_EQ(Kinds(stall.Cycle(cycle), true),
              std::vector<TAlarmKind>{TAlarmKind::ControllerFound});
    EXPECT_TRUE(stall.Cycle(cycle).empty());  // two cycles at 0 rpm since the return
    EXPECT_EQ(Kinds(stall.Cycle(cycle), true), std::vector<TAlarmKind>{TAlarmKind::Stall});
}

TEST(AlarmTooltipText, ListsTheChannelsInAlarmAndFitsTheTray) {
    TAlarmTracker tracker;
    EXPECT_EQ(AlarmTooltip(tracker, kNames), "Kelvane");
    TAlarmCycle cycle = Quiet();
    cycle.Temperature[2] = 900;
    cycle.Temperature[5] = 900;
    tracker.Cycle(cycle);
    EXPECT_EQ(AlarmTooltip(tracker, kNames), "Kelvane: alarm on 3 'CPU', 6");
    cycle.Online = false;
    tracker.Cycle(cycle);
    EXPECT_EQ(AlarmTooltip(tracker, kNames), "Kelvane: alarm on 3 'CPU', 6; controller lost");

    const std::array<std::string, 6> longNames = {
        "Ä very long channel name", "ünother long one", "CPU", "", "", ""};
    TAlarmTracker all;
    TAlarmCycle hot = Quiet();
    hot.Temperature.fill(900);
    all.Cycle(hot);
    const std::string tip = AlarmTooltip(all, longNames, 63);
    EXPECT_EQ(tip.substr(tip.size() - 3), "...");
    size_t codePoints = 0;
    for (unsigned char c : tip)
        codePoints += (c & 0xC0) != 0x80 ? 1 : 0;
    EXPECT_EQ(codePoints, 63u);
}
