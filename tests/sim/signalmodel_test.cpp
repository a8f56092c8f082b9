#include "signalmodel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

using sim::TSignalModel;
using sim::TVector;

TEST(SignalModel, MassesAddThroughTheInfluenceCoefficients) {
  TSignalModel model;
  const TVector before = model.Vector(0);
  model.SetMass(1, 10.0, 90.0);
  const TVector trial = std::polar(10.0, std::numbers::pi / 2);
  const TVector expected = before + model.Influence(0, 1) * trial;
  EXPECT_NEAR(std::abs(model.Vector(0) - expected), 0.0, 1e-9);
}

TEST(SignalModel, CorrectionsAgainstTheOwnUnbalanceLeaveNoOnceVibration) {
  // What a balancing job ends with: in each plane the mass that cancels the
  // rotor's own unbalance.
  TSignalModel model;
  for (int plane = 0; plane < 2; ++plane) {
    const TVector own = model.OwnUnbalance(plane);
    model.SetMass(plane, std::abs(own), std::arg(own) * 180 / std::numbers::pi + 180);
  }
  EXPECT_LT(std::abs(model.Vector(0)), 1e-9);
  EXPECT_LT(std::abs(model.Vector(1)), 1e-9);
}

TEST(SignalModel, OnceVectorGrowsWithTheSquareOfTheSpeed) {
  TSignalModel model;
  const double nominal = std::abs(model.Vector(1));
  model.SetSpeed(1500);
  EXPECT_NEAR(std::abs(model.Vector(1)), nominal / 4, 1e-9);
}

TEST(SignalModel, SamplesCarryTheOnceVectorAtTheReference) {
  TSignalModel model;
  model.SetSpeed(3000);  // 50 Hz
  const double fs = 10000;
  std::vector<double> a(2000), b(2000);
  model.Generate(0.0, fs, a.size(), a.data(), b.data());
  // Single-bin DFT over 10 whole revolutions starting at angle 0.
  TVector sum;
  const std::size_t n = 2000;
  for (std::size_t i = 0; i < n; ++i) sum += a[i] * std::polar(1.0, -2 * std::numbers::pi * 50 * i / fs);
  const TVector measured = sum * (2.0 / n);
  EXPECT_NEAR(std::abs(measured - model.Vector(0)), 0.0, 1e-6);
}

TEST(SignalModel, ReferencePulsesOncePerRevolution) {
  TSignalModel model;
  model.SetSpeed(600);  // 10 Hz
  const auto refs = model.ReferenceIndexes(0.05, 1000, 1000);
  ASSERT_EQ(refs.size(), 10u);
  EXPECT_EQ(refs[0], 50u);
  for (std::size_t i = 1; i < refs.size(); ++i) EXPECT_EQ(refs[i] - refs[i - 1], 100u);
  model.SetSpeed(0);
  EXPECT_TRUE(model.ReferenceIndexes(0, 1000, 1000).empty());
}

TEST(SignalModel, NoiseIsRepeatableAndHasItsLevel) {
  TSignalModel model;
  model.SetNoise(5.0);
  std::vector<double> first(20000), second(20000), clean(20000);
  model.Generate(1.0, 20000, first.size(), first.data(), nullptr);
  model.Generate(1.0, 20000, second.size(), second.data(), nullptr);
  EXPECT_EQ(first, second);
  model.SetNoise(0);
  model.Generate(1.0, 20000, clean.size(), clean.data(), nullptr);
  double power = 0;
  for (std::size_t i = 0; i < clean.size(); ++i) power += std::pow(first[i] - clean[i], 2);
  EXPECT_NEAR(std::sqrt(power / clean.size()), 5.0, 0.2);
}

TEST(SignalModel, CountsRoundAndClipToTheConverter) {
  EXPECT_EQ(sim::ToCounts(500, 1000, 2048), 1024);
  EXPECT_EQ(sim::ToCounts(-1000, 1000, 2048), -2048);
  EXPECT_EQ(sim::ToCounts(1000, 1000, 2048), 2047);
  EXPECT_EQ(sim::ToCounts(5000, 250, 2048), 2047);
  EXPECT_EQ(sim::ToCounts(0.2, 1000, 2048), 0);
}

}  // namespace
