// The simulated controller's six channels: parameters, PWM outputs, and a small physical model
// of heat, airflow and fans. Time comes only from Advance(); the model never reads a clock.
#pragma once

#include <array>
#include <cstdint>

#include "ChannelParams.h"
#include "Rng.h"

namespace qv725sim {

// Fan behaviour shared by all channels.
inline constexpr int StallPwm = 40;             // a spinning fan stops at this drive or below
inline constexpr int StartPwm = 90;             // a standing fan starts at this drive or above
inline constexpr double BoostSeconds = 2.0;     // full drive given to a standing fan by the boost
inline constexpr double FanLagSeconds = 1.5;    // time constant of the fan speed
inline constexpr double ThermalSeconds = 30.0;  // time constant of a channel's temperature
inline constexpr double AirflowRpm = 700.0;     // speed at which airflow halves the heat rise
inline constexpr double StepSeconds = 0.1;      // largest integration step

// PWM along the regulation curve for a temperature in 0.1 degC: PWM_min up to T_min, a straight
// line to PWM_max at T_max, PWM_max above. The curve temperatures are read as signed 16-bit.
// When T_max is not above T_min the curve is a step at T_min.
uint8_t CurvePwm(const ChannelParams& params, int temperature);

struct ModelOptions {
    uint64_t seed = 1;
    // Sensor and tachometer noise and a slow wander of each channel's heat load.
    bool noise = true;
    double ambient = 24.0;  // degC
};

class ControllerModel {
public:
    explicit ControllerModel(const ModelOptions& options = {});

    const ChannelParams& Params(int channel) const { return channels_[channel].params; }
    void SetParams(int channel, const ChannelParams& params);
    // Hand-set PWM from the PWM command. A channel under automatic control keeps its curve
    // value and its stored PWM; the command does not touch it.
    void SetPwm(int channel, uint8_t pwm);

    // PWM the channel's regulation asks for: the curve value under automatic control, else the
    // hand-set PWM. This is what the controller reports as the channel's PWM output.
    uint8_t Pwm(int channel) const;
    // What the fan actually gets at the moment: Pwm() or, during a startup boost, 255.
    uint8_t Drive(int channel) const { return channels_[channel].drive; }
    bool Boosting(int channel) const { return channels_[channel].boostLeft > 0.0; }
    int16_t Temperature(int channel) const { return channels_[channel].measuredT; }  // 0.1 degC
    uint16_t FanSpeed(int channel) const { return channels_[channel].measuredRpm; }  // rpm

    // Runs the physics for the given time, in steps of at most StepSeconds.
    void Advance(double seconds);

    // The environment, for tests and demonstrations.
    void SetAmbient(double degC) { ambient_ = degC; }
    // Heat rise of the channel over ambient with its fan standing, in degC.
    void SetLoad(int channel, double degC) { channels_[channel].load = degC; }
    void SetTemperature(int channel, double degC);
    double MaxRpm(int channel) const { return channels_[channel].maxRpm; }

private:
    struct Channel {
        ChannelParams params;
        double load = 0;         // heat rise with no airflow, degC
        double loadWander = 0;   // slow random part of the load, degC
        double maxRpm = 0;       // speed at full drive
        double temperature = 0;  // true temperature, degC
        double rpm = 0;          // true fan speed
        bool spinning = false;
        double boostLeft = 0;  // seconds of boost still to give
        uint8_t drive = 0;
        int16_t measuredT = 0;
        uint16_t measuredRpm = 0;
    };

    void Step(Channel& channel, double dt);
    void Measure(Channel& channel);

    std::array<Channel, ChannelCount> channels_;
    double ambient_;
    bool noise_;
    Rng rng_;
};

}  // namespace qv725sim
