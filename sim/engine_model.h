// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdint>
#include <random>

// The stages of the simulated engine's loop, in the order they follow.
enum class EnginePhase { Stopped, Cranking, Idle, RunUp, IdleAfterRunUp, ShutDown };

// An engine going round a loop of about a minute: stopped with the propeller
// turned slowly by hand, cranking, idle, run-up, idle, shut-down. Advanced by
// elapsed time only, so it is deterministic for a seed.
class EngineModel {
public:
    explicit EngineModel(std::uint64_t seed);

    void advance(std::chrono::nanoseconds elapsed);
    // Keeps the engine stopped for good (the propeller still turns by hand).
    void holdStopped(bool hold) { stayStopped = hold; }

    EnginePhase phase() const { return currentPhase; }
    int rpm() const;
    int propAngle() const;        // 0..255 per turn
    int busTenths() const;        // bus volts in tenths
    int temperature() const;      // unit temperature, degrees C
    int maxTemperature() const { return hottest; }
    int dwell() const;            // tenths of a millisecond
    int sensor() const;           // crank sensor amplitude, 0..255
    int health12() const;         // plug and coil health, 0..100
    int health34() const;
    bool isFiring() const;

private:
    void step(double seconds);
    void enterPhase(EnginePhase next);
    double phaseSeconds(EnginePhase phase);
    double targetRpm() const;
    double rpmTimeConstant() const;
    double targetVolts() const;
    void moveHealth(double seconds);
    double uniform(double low, double high);

    std::mt19937_64 random;
    EnginePhase currentPhase = EnginePhase::Stopped;
    bool stayStopped = false;
    double phaseLeft = 0;
    double speed = 0;
    double jitter = 0;
    double angle = 0;
    double volts = 12.4;
    double temp;
    int hottest;
    double crankTarget = 220;
    double crankRedraw = 0;
    double health[2] = {0, 0};
    double healthTarget[2] = {92, 92};
};
