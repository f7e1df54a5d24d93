// The real main window polling qv725-sim on its own clock, with a fast poll period, for
// thousands of cycles while the simulator drops out every few seconds, garbles or refuses a
// share of its replies, or both. Every cycle is checked as it ends: one history sample per
// cycle, never a reading that was not read (a sample at 0 degrees or beyond any real one), the
// active preset holding either what it held at start or exactly the controller's parameters
// (never zeros or a partial reply), no error box, off-line within the cycle that finds the
// controller gone and on-line again soon after it is back. Each run prints its figures: OFF-Line
// episodes per ten minutes (600 cycles of the real one-second clock) and the cycles it took to
// be ON-Line again after the controller came back. Built with the sanitizers, the run also
// proves that nothing crashes or leaks.
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <vector>

#include "GuiTestSupport.h"
#include "SimulatorChild.h"
#include "core/Commands.h"
#include "core/History.h"
#include "core/Params.h"
#include "pages/HistoryPage.h"
#include "pages/Readouts.h"
#include "qv725/qv725.h"
#include "widgets/Jvsimscope.h"

namespace {

using TRecords = std::array<TChannelParams, kChannelCount>;
using TSample = std::array<float, kChannelCount>;

// The six parameter sets the controller holds, read through the library; the faults of the
// simulator are ridden out by asking again.
std::optional<TRecords> ControllerRecords() {
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (!QV725_OpenDevice()) {
            QTest::qWait(50);  // unplugged for the moment
            continue;
        }
        TRecords records;
        bool complete = true;
        for (int channel = 0; channel < kChannelCount && complete; ++channel) {
            int32_t flags = 0;
            TChannelParams& r = records[channel];
            complete = QV725_GetM(channel, &flags, &r.T_min, &r.PWM_min, &r.T_max, &r.PWM_max,
                                  &r.T_alarm, &r.V_alarm, &r.PWM) != 0;
            r.SetMode(flags);
        }
        QV725_CloseDevice();
        if (complete)
            return records;
    }
    return std::nullopt;
}

TSample Sample(const THistoryItem& item) {
    TSample sample;
    std::copy(item.Values.begin(), item.Values.end(), sample.begin());
    return sample;
}

// The simulated rooms stay far inside these bounds (ambient 24 degrees C): a sample outside them
// is a failed read that reached the history.
constexpr float kLowestReading = 10.0f;
constexpr float kHighestReading = 150.0f;

// Cycles of the real clock (one a second) in ten minutes.
constexpr int kCyclesPerTenMinutes = 600;

// The value at `share` (0 to 1) of the sorted values, by the nearest rank; 0 when none.
int Percentile(std::vector<int> values, double share) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// The sample of the window's current readings.
TSample ExpectedSample(const TMainForm& form) {
    TSample sample;
    for (int c = 0; c < kChannelCount; ++c)
        sample[c] = static_cast<float>(TemperatureCelsius(form.State().Temperature[c]));
    return sample;
}

// Watches every polling cycle of one window and records the first broken rule.
class TCycleWatch {
public:
    TCycleWatch(TMainForm& form, TScriptedDialogs& dialogs, QString linkPath, TRecords controller,
                int reconnectLimit)
        : form_(form),
          dialogs_(dialogs),
          linkPath_(std::move(linkPath)),
          controller_(controller),
          initial_(form.State().Params->Active()->Channels),
          reconnectLimit_(reconnectLimit) {}

    // One cycle of the window's clock, with the checks around it.
    void Cycle() {
        if (!failure.isEmpty())
            return;
        const bool pluggedBefore = Plugged();
        const bool onlineBefore = form_.State().Online;
        const int countBefore = form_.State().History->Count();
        const std::optional<TSample> lastBefore =
            countBefore > 0 ? std::optional(Sample(form_.State().History->Last())) : std::nullopt;
        try {
            form_.TimerTimer();
        } catch (const std::exception& error) {
            Fail(QStringLiteral("the cycle raised: ") + QString::fromUtf8(error.what()));
            return;
        }
        ++cycles;
        CheckHistory(countBefore, lastBefore);
        CheckReadings();
        CheckPreset();
        CheckConnection(pluggedBefore, onlineBefore);
        if (!dialogs_.shown.empty())
            Fail(QStringLiteral("a box was shown: ") + dialogs_.shown.front().text);
    }

    int cycles = 0;
    int outages = 0;     // cycles that took the window off-line
    int reconnects = 0;  // cycles that brought it back
    int worstWait = 0;   // most cycles the controller answered before the window was back
    // For each outage during which the controller was unplugged and that has ended: the cycles
    // from the first one that began with the controller back to the one that ended ON-Line.
    std::vector<int> waitsAfterUnplug;
    QString failure;

private:
    bool Plugged() const { return QFileInfo::exists(linkPath_); }

    void Fail(const QString& what) {
        if (failure.isEmpty())
            failure = QStringLiteral("cycle %1: %2").arg(cycles).arg(what);
    }

    void CheckHistory(int countBefore, const std::optional<TSample>& lastBefore) {
        const int expected = std::min(countBefore + 1, form_.State().History->MaxCount());
        if (form_.State().History->Count() != expected)
            return Fail(QStringLiteral("%1 samples after %2")
                            .arg(form_.State().History->Count())
                            .arg(countBefore));
        if (Sample(form_.State().History->Last()) != ExpectedSample(form_))
            return Fail(QStringLiteral("the newest sample is not this cycle's readings"));
        // The sample before the newest is the one the previous cycle added: exactly one came.
        if (lastBefore &&
            Sample(form_.State().History->Items(form_.State().History->Count() - 2)) != *lastBefore)
            Fail(QStringLiteral("more than one sample was added"));
    }

    void CheckReadings() {
        const TSample sample = Sample(form_.State().History->Last());
        const bool read = std::any_of(sample.begin(), sample.end(), [](float v) { return v > 0; });
        readOnce_ = readOnce_ || read;
        if (!readOnce_)
            return;  // before the first reading the samples are 0
        for (int c = 0; c < kChannelCount; ++c) {
            if (sample[c] < kLowestReading || sample[c] > kHighestReading)
                return Fail(QStringLiteral("channel %1 sampled %2 degrees C, which was never read")
                                .arg(c + 1)
                                .arg(sample[c]));
        }
    }

    void CheckPreset() {
        const TRecords& now = form_.State().Params->Active()->Channels;
        for (int c = 0; c < kChannelCount; ++c) {
            if (now[c] == controller_[c]) {
                taken_[c] = true;
            } else if (taken_[c] || now[c] != initial_[c]) {
                return Fail(QStringLiteral("channel %1 of the active preset holds values the "
                                           "controller never had (T_max %2, PWM_max %3)")
                                .arg(c + 1)
                                .arg(now[c].T_max)
                                .arg(now[c].PWM_max));
            }
        }
    }

    void CheckConnection(bool pluggedBefore, bool onlineBefore) {
        if (onlineBefore && !form_.State().Online) {
            ++outages;
            unpluggedInOutage_ = !pluggedBefore;
            waitSinceBack_ = 0;
        }
        if (!onlineBefore) {
            // The count starts again for as long as the controller is still away.
            if (!pluggedBefore) {
                unpluggedInOutage_ = true;
                waitSinceBack_ = 0;
            } else {
                ++waitSinceBack_;
            }
        }
        if (!onlineBefore && form_.State().Online) {
            ++reconnects;
            worstWait = std::max(worstWait, answeringWhileOffline_);
            // Back within the cycle that began without it: that cycle is the first one.
            if (unpluggedInOutage_)
                waitsAfterUnplug.push_back(std::max(waitSinceBack_, 1));
        }
        // A controller that is gone when the cycle starts cannot be read: off-line at once.
        if (!pluggedBefore && onlineBefore && form_.State().Online)
            return Fail(QStringLiteral("still on-line after a cycle without the controller"));
        // Count the cycles that began with the controller answering and ended off-line.
        answeringWhileOffline_ =
            (pluggedBefore && !form_.State().Online) ? answeringWhileOffline_ + 1 : 0;
        if (answeringWhileOffline_ >= reconnectLimit_)
            Fail(QStringLiteral("still off-line after %1 cycles with the controller answering")
                     .arg(answeringWhileOffline_));
    }

    TMainForm& form_;
    TScriptedDialogs& dialogs_;
    QString linkPath_;
    TRecords controller_;
    TRecords initial_;
    std::array<bool, kChannelCount> taken_{};
    int reconnectLimit_;
    int answeringWhileOffline_ = 0;
    bool readOnce_ = false;
    bool unpluggedInOutage_ = false;
    int waitSinceBack_ = 0;
};

}  // namespace

class FaultSoakTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(UsePrivateRuntime(runtime_)); }

    void cleanup() { QV725_CloseDevice(); }

    // The reconnection limits: without other faults the window is back in the first or second
    // cycle that finds the controller answering (the second when it came back in the middle of
    // one). With 5 % garbled and 5 % busy replies a request fails three times in a row about
    // once in a thousand, so a reconnection of ten requests fails about once in a hundred; six
    // failed ones in a row would take a broken retry (chance about 1 in 10^12 otherwise).
    // The episode limit of the run without unplugging is no goal but a guard: sent only once,
    // about one cycle in four would fail and take the window off-line (some 160 episodes in
    // ten minutes); with the retries about 1.7 are expected.
    void soak_data() {
        QTest::addColumn<QStringList>("faults");
        QTest::addColumn<int>("cycles");
        QTest::addColumn<int>("reconnectLimit");
        QTest::addColumn<bool>("unplugging");
        QTest::addColumn<double>("episodeLimit");  // per ten minutes; 0: none
        QTest::newRow("outages") << QStringList{"--unplug-every", "1.5"} << 1500 << 2 << true
                                 << 0.0;
        QTest::newRow("garbled and busy replies")
            << QStringList{"--garble-percent", "5", "--busy-percent", "5"} << 3000 << 6 << false
            << 15.0;
        QTest::newRow("outages, garbled and busy replies")
            << QStringList{"--unplug-every", "1", "--garble-percent", "5", "--busy-percent", "5"}
            << 4000 << 6 << true << 0.0;
    }

    void soak() {
        QFETCH(QStringList, faults);
        QFETCH(int, cycles);
        QFETCH(int, reconnectLimit);
        QFETCH(bool, unplugging);
        QFETCH(double, episodeLimit);

        TSimulator sim(runtime_.path());
        QVERIFY(sim.Start(faults));
        const std::optional<TRecords> controller = ControllerRecords();
        QVERIFY2(controller.has_value(), "the simulator's parameters could not be read");

        TWindowRig rig;
        TMainForm& form = rig.Open();
        TCycleWatch watch(form, rig.dialogs, runtime_.filePath(QStringLiteral("qv725/gui0")),
                          *controller, reconnectLimit);
        QEventLoop loop;
        form.HistoryPage().Scope->OnUpdate = [&](QObject*) {
            watch.Cycle();
            if (watch.cycles >= cycles || !watch.failure.isEmpty()) {
                form.SetPollInterval(0);
                loop.quit();
            }
        };
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(600000);
        form.SetPollInterval(1);
        loop.exec();

        qInfo("%d cycles, %d outages, %d reconnections, at most %d cycles to come back",
              watch.cycles, watch.outages, watch.reconnects, watch.worstWait);
        const double episodes =
            watch.cycles > 0 ? watch.outages * double(kCyclesPerTenMinutes) / watch.cycles : 0;
        qInfo("figure: %s: OFF-Line episodes per 10 minutes (%d cycles): %.2f (%d in %d cycles)",
              QTest::currentDataTag(), kCyclesPerTenMinutes, episodes, watch.outages, watch.cycles);
        if (unplugging) {
            const std::vector<int>& waits = watch.waitsAfterUnplug;
            const auto within2 =
                std::count_if(waits.begin(), waits.end(), [](int w) { return w <= 2; });
            qInfo(
                "figure: %s: cycles to ON-Line after an unplug ends: median %d, 95th percentile "
                "%d, worst %d; within 2 cycles in %.1f %% of %zu outages",
                QTest::currentDataTag(), Percentile(waits, 0.5), Percentile(waits, 0.95),
                Percentile(waits, 1.0), waits.empty() ? 0.0 : 100.0 * within2 / waits.size(),
                waits.size());
        }
        QVERIFY2(watch.failure.isEmpty(), qPrintable(watch.failure));
        QCOMPARE(watch.cycles, cycles);
        if (unplugging) {
            // The run saw the faults it was meant to: the window went off-line and came back.
            QVERIFY(watch.outages >= 3);
            QVERIFY(watch.reconnects >= watch.outages - 1);
            QVERIFY(!watch.waitsAfterUnplug.empty());
        }
        if (episodeLimit > 0)
            QVERIFY2(episodes < episodeLimit, "brief line errors take the controller off-line");
    }

private:
    QTemporaryDir runtime_;
};

KELVANE_GUI_TEST_MAIN(FaultSoakTest)
#include "FaultSoakTest.moc"
