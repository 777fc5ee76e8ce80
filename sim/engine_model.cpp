// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/engine_model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double stepSeconds = 0.05;
constexpr double ambient = 20;
constexpr double firingRpm = 100;
constexpr double chargingRpm = 600;
constexpr double handTurnPerSecond = 6; // of 256 per turn

double approach(double value, double target, double seconds, double timeConstant)
{
    return value + (target - value) * (1 - std::exp(-seconds / timeConstant));
}

EnginePhase following(EnginePhase phase)
{
    switch (phase) {
    case EnginePhase::Stopped: return EnginePhase::Cranking;
    case EnginePhase::Cranking: return EnginePhase::Idle;
    case EnginePhase::Idle: return EnginePhase::RunUp;
    case EnginePhase::RunUp: return EnginePhase::IdleAfterRunUp;
    case EnginePhase::IdleAfterRunUp: return EnginePhase::ShutDown;
    case EnginePhase::ShutDown: return EnginePhase::Stopped;
    }
    return EnginePhase::Stopped;
}

double nominalSeconds(EnginePhase phase)
{
    switch (phase) {
    case EnginePhase::Stopped: return 12;
    case EnginePhase::Cranking: return 3;
    case EnginePhase::Idle: return 14;
    case EnginePhase::RunUp: return 14;
    case EnginePhase::IdleAfterRunUp: return 8;
    case EnginePhase::ShutDown: return 5;
    }
    return 10;
}

} // namespace

EngineModel::EngineModel(std::uint64_t seed)
    : random(seed), temp(ambient), hottest(int(ambient))
{
    phaseLeft = phaseSeconds(currentPhase);
}

void EngineModel::advance(std::chrono::nanoseconds elapsed)
{
    double seconds = std::chrono::duration<double>(elapsed).count();
    while (seconds > 0) {
        const double slice = std::min(seconds, stepSeconds);
        step(slice);
        seconds -= slice;
    }
}

int EngineModel::rpm() const
{
    return std::max(0, int(std::lround(speed + jitter)));
}

int EngineModel::propAngle() const
{
    return int(angle) & 0xFF;
}

int EngineModel::busTenths() const
{
    return int(std::lround(volts * 10));
}

int EngineModel::temperature() const
{
    return int(std::lround(temp));
}

int EngineModel::dwell() const
{
    return isFiring() ? int(std::lround(45 - speed / 150)) : 0;
}

int EngineModel::sensor() const
{
    return isFiring() ? std::min(255, int(std::lround(40 + speed / 15))) : 0;
}

int EngineModel::health12() const
{
    return std::clamp(int(std::lround(health[0])), 0, 100);
}

int EngineModel::health34() const
{
    return std::clamp(int(std::lround(health[1])), 0, 100);
}

bool EngineModel::isFiring() const
{
    return speed >= firingRpm;
}

void EngineModel::step(double seconds)
{
    phaseLeft -= seconds;
    if (phaseLeft <= 0 && !(stayStopped && currentPhase == EnginePhase::Stopped))
        enterPhase(following(currentPhase));

    if (currentPhase == EnginePhase::Cranking) {
        // The starter labours through each compression stroke.
        crankRedraw -= seconds;
        if (crankRedraw <= 0) {
            crankTarget = uniform(170, 280);
            crankRedraw = 0.25;
        }
    }
    speed = approach(speed, targetRpm(), seconds, rpmTimeConstant());
    if (currentPhase == EnginePhase::ShutDown && speed < 40)
        speed = 0;
    jitter = isFiring() ? speed * uniform(-0.008, 0.008) : 0;

    const double turnsPerSecond = speed > 1 ? speed / 60 : handTurnPerSecond / 256;
    angle = std::fmod(angle + turnsPerSecond * 256 * seconds, 256.0);

    volts = approach(volts, targetVolts(), seconds, 0.8);

    const double hot = isFiring() ? 30 + speed / 45 : ambient;
    temp = approach(temp, hot, seconds, hot > temp ? 60 : 240);
    hottest = std::max(hottest, temperature());

    moveHealth(seconds);
}

void EngineModel::enterPhase(EnginePhase next)
{
    currentPhase = next;
    phaseLeft = phaseSeconds(next);
    crankRedraw = 0;
}

double EngineModel::phaseSeconds(EnginePhase phase)
{
    return nominalSeconds(phase) * uniform(0.8, 1.2);
}

double EngineModel::targetRpm() const
{
    switch (currentPhase) {
    case EnginePhase::Cranking: return crankTarget;
    case EnginePhase::Idle:
    case EnginePhase::IdleAfterRunUp: return 900;
    case EnginePhase::RunUp: return 2700;
    case EnginePhase::Stopped:
    case EnginePhase::ShutDown: return 0;
    }
    return 0;
}

double EngineModel::rpmTimeConstant() const
{
    switch (currentPhase) {
    case EnginePhase::Cranking: return 0.25;
    case EnginePhase::Idle: return 0.7;
    case EnginePhase::RunUp: return 2.5;
    case EnginePhase::IdleAfterRunUp: return 1.0;
    case EnginePhase::ShutDown: return 0.8;
    case EnginePhase::Stopped: return 0.3;
    }
    return 1;
}

double EngineModel::targetVolts() const
{
    if (currentPhase == EnginePhase::Cranking)
        return 11.2; // the starter's draw
    return speed >= chargingRpm ? 13.8 : 12.4;
}

void EngineModel::moveHealth(double seconds)
{
    for (int i = 0; i < 2; ++i) {
        healthTarget[i] = std::clamp(healthTarget[i] + uniform(-1.5, 1.5), 80.0, 99.0);
        double target = 0;
        if (currentPhase == EnginePhase::Cranking && isFiring())
            target = healthTarget[i] - 25; // weak sparks at cranking speed
        else if (isFiring())
            target = healthTarget[i];
        health[i] = approach(health[i], target, seconds, 0.6);
    }
}

double EngineModel::uniform(double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}
