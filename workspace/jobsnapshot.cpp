#include "jobsnapshot.h"

namespace {

// One list of the fields for both directions, so that taking and putting
// back can't drift apart.
template <typename Core, typename Job>
void Transfer(Core& from, Job& to) {
  to.BuffLength = from.BuffLength;
  to.AvgSize = from.AvgSize;
  to.SamplingRate = from.SamplingRate;
  to.GainA = from.GainA;
  to.GainB = from.GainB;
  to.WindowType = from.WindowType;
  to.VibSensorA = from.VibSensorA;
  to.VibSensorB = from.VibSensorB;
  to.RotationDir = from.RotationDir;
  to.Type = from.Type;
  to.CtrlMass = from.CtrlMass;
  to.Rotor = from.Rotor;
  to.MassAdd = from.MassAdd;
  to.SpeedTolerance = from.SpeedTolerance;
  to.RotorDivCount = from.RotorDivCount;
  to.DivideMass = from.DivideMass;
  to.GWB = from.GWB;
  to.Session = from.Session;
  to.SpeedDisplayMode = from.SpeedDisplayMode;
  to.Captures = from.Captures;
  to.Results = from.Results;
  to.BalancingStep = from.BalancingStep;
  to.HighestStep = from.HighestStep;
  to.Readings = from.Readings;
  to.MeanA = from.MeanA;
  to.MeanB = from.MeanB;
  to.RmsA = from.RmsA;
  to.RmsB = from.RmsB;
  to.MinA = from.MinA;
  to.MinB = from.MinB;
  to.MaxA = from.MaxA;
  to.MaxB = from.MaxB;
  to.OverloadA = from.OverloadA;
  to.OverloadB = from.OverloadB;
  to.LiveDataA = from.LiveDataA;
  to.LiveDataB = from.LiveDataB;
  to.SignalA = from.SignalA;
  to.SignalB = from.SignalB;
  to.SignalStart = from.SignalStart;
  to.SignalEnd = from.SignalEnd;
}

}  // namespace

TJobSnapshot TakeJobSnapshot(const TZelto& core) {
  TJobSnapshot job;
  Transfer(core, job);
  return job;
}

void RestoreJobSnapshot(TZelto& core, const TJobSnapshot& job) {
  const auto lock = core.LockSignalsForWriting();
  // The runs' records and results, for their readers on other threads.
  rtl::TCriticalSectionGuard guard(core.ResultsLock);
  Transfer(job, core);
}
