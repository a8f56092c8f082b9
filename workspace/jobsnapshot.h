#pragma once
// The balancing job in the core object as one value: the settings, the
// sensors, the rotor, the session texts, the runs with their samples, the
// steps and the buffers the views show. Reading a session file clears the
// job before it knows whether the file is good; the session commands keep
// a copy beforehand and put it back when the file fails, so a failed load
// changes nothing, and the next automatic save writes the same job again.

#include <array>
#include <cstdint>
#include <vector>

#include "zelto.h"

struct TJobSnapshot {
  // settings a session file carries
  int32_t BuffLength = 0, AvgSize = 0, SamplingRate = 0, GainA = 0, GainB = 0;
  uint8_t WindowType = 0;
  SensorInfo VibSensorA, VibSensorB;
  uint8_t RotationDir = 0, Type = 0;
  TControlMass CtrlMass;
  RotorDefinition Rotor;
  uint8_t MassAdd = 0, SpeedTolerance = 0;
  int32_t RotorDivCount = 0;
  uint8_t DivideMass = 0;
  TAmplitudeOnlyMethod GWB;
  TSessionInfo Session;
  uint8_t SpeedDisplayMode = 0;
  // the runs and where the workflow stands
  std::array<CaptureRecord, RunCount> Captures{};
  std::array<MeasurementResult, RunCount> Results{};
  int32_t BalancingStep = 0, HighestStep = 0, Readings = 0;
  // what the views and the read-outs show of it
  double MeanA = 0, MeanB = 0, RmsA = 0, RmsB = 0, MinA = 0, MinB = 0, MaxA = 0, MaxB = 0;
  uint8_t OverloadA = 0, OverloadB = 0;
  std::vector<int32_t> LiveDataA, LiveDataB;
  std::vector<double> SignalA, SignalB;
  int32_t SignalStart = 0, SignalEnd = 0;
};

TJobSnapshot TakeJobSnapshot(const TZelto& core);
// Puts the job back; the converted signals are written under the core's
// signal lock, after a spectrum computation under way was stopped.
void RestoreJobSnapshot(TZelto& core, const TJobSnapshot& job);
