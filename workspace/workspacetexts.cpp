#include "workspacetexts.h"

const std::array<TWorkspaceTextKey, 34> WorkspaceTextKeys = {{
    {u"Start", &TWorkspaceTexts::Start},
    {u"Stop", &TWorkspaceTexts::Stop},
    {u"Left", &TWorkspaceTexts::Left},
    {u"Right", &TWorkspaceTexts::Right},
    {u"Vibration", &TWorkspaceTexts::Vibration},
    {u"Phase", &TWorkspaceTexts::Phase},
    {u"Unbalance", &TWorkspaceTexts::Unbalance},
    {u"Mass", &TWorkspaceTexts::Mass},
    {u"Angle", &TWorkspaceTexts::Angle},
    {u"Error", &TWorkspaceTexts::Error},
    {u"Speed", &TWorkspaceTexts::Speed},
    {u"AddMass", &TWorkspaceTexts::AddMass},
    {u"RemoveMass", &TWorkspaceTexts::RemoveMass},
    {u"Measurement", &TWorkspaceTexts::Measurement},
    {u"MeasResult", &TWorkspaceTexts::MeasResult},
    {u"Tunning", &TWorkspaceTexts::Tunning},
    {u"DivPart", &TWorkspaceTexts::DivPart},
    {u"SpeedError", &TWorkspaceTexts::SpeedError},
    {u"FreqOutOfRange", &TWorkspaceTexts::FreqOutOfRange},
    {u"AmplOutOfRange", &TWorkspaceTexts::AmplOutOfRange},
    {u"NoError", &TWorkspaceTexts::NoError},
    {u"Measurement1", &TWorkspaceTexts::Measurement1},
    {u"Measurement21", &TWorkspaceTexts::Measurement21},
    {u"Measurement22", &TWorkspaceTexts::Measurement22},
    {u"Measurement3", &TWorkspaceTexts::Measurement3},
    {u"Measurement1GWB", &TWorkspaceTexts::Measurement1GWB},
    {u"Measurement2GWB", &TWorkspaceTexts::Measurement2GWB},
    {u"StateWaiting", &TWorkspaceTexts::StateWaiting},
    {u"StateSyncSampling", &TWorkspaceTexts::StateSyncSampling},
    {u"StateTransfer", &TWorkspaceTexts::StateTransfer},
    {u"StateAsyncSampling", &TWorkspaceTexts::StateAsyncSampling},
    {u"StateReady", &TWorkspaceTexts::StateReady},
    {u"StateStopping", &TWorkspaceTexts::StateStopping},
    {u"RunsWithoutCommonUnit", &TWorkspaceTexts::RunsWithoutCommonUnit},
}};

void LoadWorkspaceTexts(TWorkspaceTexts& texts, const TLanguageLookup& lookup) {
  for (const TWorkspaceTextKey& entry : WorkspaceTextKeys) texts.*entry.Member = lookup(u"Forms", entry.Key);
}
