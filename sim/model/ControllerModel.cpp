// Physics of the simulated controller: heat towards ambient plus load, cooled by airflow; fans
// that lag their drive, stall at low PWM and need a kick to start; regulation along the curve.
#include "ControllerModel.h"

#include <algorithm>
#include <cmath>

namespace qv725sim {

namespace {

// Per channel: heat rise with the fan standing (degC) and fan speed at full drive (rpm).
constexpr std::array<double, ChannelCount> DefaultLoads = {30, 42, 22, 50, 15, 34};
constexpr std::array<double, ChannelCount> DefaultMaxRpm = {1800, 2200, 1500, 2600, 1200, 2000};

constexpr double SensorNoise = 0.15;     // degC, uniform
constexpr double TachNoise = 0.01;       // fraction of the speed, uniform
constexpr double WanderSeconds = 60.0;   // the load wander is pulled back over this time
constexpr double WanderPerSqrtS = 0.25;  // degC of wander added per square root of a second

double Approach(double value, double target, double dt, double timeConstant) {
    return target + (value - target) * std::exp(-dt / timeConstant);
}

}  // namespace

uint8_t CurvePwm(const ChannelParams& params, int temperature) {
    const int tMin = static_cast<int16_t>(params.T_min);
    const int tMax = static_cast<int16_t>(params.T_max);
    if (temperature <= tMin) {
        return params.PWM_min;
    }
    if (temperature >= tMax || tMax <= tMin) {
        return params.PWM_max;
    }
    const double share = static_cast<double>(temperature - tMin) / (tMax - tMin);
    const double pwm = params.PWM_min + share * (params.PWM_max - params.PWM_min);
    return static_cast<uint8_t>(std::clamp(std::lround(pwm), 0L, 255L));
}

ControllerModel::ControllerModel(const ModelOptions& options)
    : ambient_(options.ambient), noise_(options.noise), rng_(options.seed) {
    for (int i = 0; i < ChannelCount; ++i) {
        Channel& channel = channels_[i];
        channel.params = FactoryChannelParams();
        channel.load = DefaultLoads[i];
        channel.maxRpm = DefaultMaxRpm[i];
        channel.temperature = ambient_;
        Measure(channel);
    }
}

void ControllerModel::SetParams(int channel, const ChannelParams& params) {
    channels_[channel].params = params;
}

void ControllerModel::SetPwm(int channel, uint8_t pwm) {
    ChannelParams& params = channels_[channel].params;
    if ((params.Flags & Auto) == 0) {
        params.PWM = pwm;
    }
}

uint8_t ControllerModel::Pwm(int channel) const {
    const Channel& c = channels_[channel];
    if (c.params.Flags & Auto) {
        return CurvePwm(c.params, c.measuredT);
    }
    return c.params.PWM;
}

void ControllerModel::SetTemperature(int channel, double degC) {
    channels_[channel].temperature = degC;
    Measure(channels_[channel]);
}

void ControllerModel::Advance(double seconds) {
    if (!(seconds > 0.0)) {
        return;
    }
    // Equal steps, so that a time given in tenths of a second is met exactly.
    const long steps = std::max(1L, std::lround(std::ceil(seconds / StepSeconds - 1e-9)));
    const double dt = seconds / static_cast<double>(steps);
    for (long step = 0; step < steps; ++step) {
        for (int i = 0; i < ChannelCount; ++i) {
            Channel& channel = channels_[i];
            const uint8_t wanted = Pwm(i);
            // The boost kicks a standing fan that its regulation wants turning; it ends early
            // when the regulation drops to where the fan would stall anyway.
            if ((channel.params.Flags & Boost) && !channel.spinning && wanted > StallPwm &&
                channel.boostLeft <= 0.0) {
                channel.boostLeft = BoostSeconds;
            }
            if (wanted <= StallPwm) {
                channel.boostLeft = 0.0;
            }
            if (channel.boostLeft > 0.0) {
                channel.drive = 255;
                channel.boostLeft -= dt;
                if (channel.boostLeft < 1e-9) {
                    channel.boostLeft = 0.0;  // rounding must not leave a sliver of boost
                }
            } else {
                channel.drive = wanted;
            }
            Step(channel, dt);
        }
    }
}

void ControllerModel::Step(Channel& channel, double dt) {
    if (channel.drive >= StartPwm) {
        channel.spinning = true;
    } else if (channel.drive <= StallPwm) {
        channel.spinning = false;
    }
    const double targetRpm = channel.spinning ? channel.maxRpm * channel.drive / 255.0 : 0.0;
    channel.rpm = Approach(channel.rpm, targetRpm, dt, FanLagSeconds);

    if (noise_) {
        // Mean-reverting random walk: the load wanders by a few degrees and comes back.
        channel.loadWander += -channel.loadWander * dt / WanderSeconds +
                              WanderPerSqrtS * std::sqrt(dt) * rng_.Symmetric();
    }
    const double load = std::max(0.0, channel.load + channel.loadWander);
    const double target = ambient_ + load / (1.0 + channel.rpm / AirflowRpm);
    channel.temperature = Approach(channel.temperature, target, dt, ThermalSeconds);
    Measure(channel);
}

void ControllerModel::Measure(Channel& channel) {
    double t = channel.temperature;
    double rpm = channel.rpm;
    if (noise_) {
        t += SensorNoise * rng_.Symmetric();
        rpm *= 1.0 + TachNoise * rng_.Symmetric();
    }
    channel.measuredT = static_cast<int16_t>(std::clamp(std::lround(t * 10.0), -32768L, 32767L));
    // A standing fan gives no tachometer pulses; below a few rpm the reading is 0.
    channel.measuredRpm = static_cast<uint16_t>(rpm < 5.0 ? 0 : std::min(std::lround(rpm), 65535L));
}

}  // namespace qv725sim
