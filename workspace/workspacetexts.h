#pragma once
// The 34 translated texts the balancing workspace keeps for its workflow,
// result panel and menus, read anew from section "Forms" at every show.

#include <array>
#include <functional>
#include <string>
#include <string_view>

struct TWorkspaceTexts {
  std::u16string Start, Stop, Left, Right, Vibration, Phase, Unbalance, Mass, Angle, Error, Speed, AddMass, RemoveMass,
      Measurement, MeasResult, Tunning, DivPart, SpeedError, FreqOutOfRange, AmplOutOfRange, NoError, Measurement1,
      Measurement21, Measurement22, Measurement3, Measurement1GWB, Measurement2GWB, StateWaiting, StateSyncSampling,
      StateTransfer, StateAsyncSampling, StateReady, StateStopping, RunsWithoutCommonUnit;
};

// A lookup of (section, key); a missing key gives "###".
using TLanguageLookup = std::function<std::u16string(std::u16string_view section, std::u16string_view key)>;

// The keys in the order of the members, each with its member.
struct TWorkspaceTextKey {
  std::u16string_view Key;
  std::u16string TWorkspaceTexts::*Member;
};
extern const std::array<TWorkspaceTextKey, 34> WorkspaceTextKeys;

// Fills every kept text from section "Forms".
void LoadWorkspaceTexts(TWorkspaceTexts& texts, const TLanguageLookup& lookup);
