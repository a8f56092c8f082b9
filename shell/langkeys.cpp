#include "langkeys.h"

#include "filefailure.h"
#include "formconfig.h"
#include "formeditsensor.h"
#include "forminfo.h"
#include "formlog.h"
#include "formmessage.h"
#include "formrotordef.h"
#include "formselectlang.h"
#include "init.h"
#include "jobguard.h"
#include "formselectsensor.h"
#include "pairnotices.h"
#include "startup.h"

std::vector<TWindowLangKeys> ShellLangKeys() {
  return {
      {"TfMessage", TfMessage::LangKeys},
      {"TfLog", TfLog::LangKeys},
      {"TfInfo", TfInfo::LangKeys},
      {"TfSelectLang", TfSelectLang::LangKeys},
      {"TfInit", TfInit::LangKeys},
      {"TStartup refusal", StartupLangKeys},
      {"TStartup unlocked data folder", StartupLockLangKeys},
      {"TfConfig", TfConfig::LangKeys},
      {"TfRotorDef", TfRotorDef::LangKeys},
      {"TfSelectSensor", TfSelectSensor::LangKeys},
      {"TfEditSensor", TfEditSensor::LangKeys},
      {"TfInit, TfBalancing, TfTimeGraph and TfFFTGraph job files", JobGuardLangKeys},
      {"TfInit, TfBalancing, TfTimeGraph, TfFFTGraph, TfConfig, TfSelectSensor and TfEditSensor file failures",
       FileFailureLangKeys},
      {"TfInit, TfBalancing, TfTimeGraph and TfFFTGraph pair notices", PairNoticeLangKeys},
  };
}
