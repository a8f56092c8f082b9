#pragma once
// What the program tells when one of its files could not be read or
// written: every message and log line that reports such a failure names the
// file and the reason through here, so the user always learns why.

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "filereason.h"
#include "languageservice.h"

// Every key looked up here (section "Forms").
extern const std::array<TTextKey, 18> FileFailureLangKeys;

class TZelto;

// The language's texts of the reasons the system has no words for: a pair
// another program keeps locked, a file damaged or of another kind, a rate
// the device does not list. A report made before the language closes (the
// shutdown's) takes them first and tells its failures with them later.
struct TFileFailureTexts {
  std::u16string InUse, Damaged, RateNotListed;
};
TFileFailureTexts FileFailureTexts();

// "<file>: <the system's reason>" ("Permission denied", "No such file or
// directory"); for a pair that another program kept locked, the language's
// text naming the file; for a file that was read but is damaged or of
// another kind (error 0), the language's text for that.
std::u16string FileFailureText(const TFileReason& failure, const TFileFailureTexts& texts = FileFailureTexts());

// A failure text followed by the line that says why.
std::u16string WithFileFailure(std::u16string_view text, const TFileReason& failure,
                               const TFileFailureTexts& texts = FileFailureTexts());

// The configuration that could not be read at start: why, and the name it
// was kept under, or why it could not be moved aside (`asideFailure`, when
// `keptAs` is empty), in which case the choices can't be saved over it.
std::u16string ConfigNotReadText(const TFileReason& failure, std::u16string_view keptAs,
                                 const TFileReason& asideFailure);

// Tells the sensor files the core's lookups found but could not read
// (TZelto::SensorFailures), each with why, in one message and the log, and
// forgets them; nothing when there are none. Called by every command that
// looks sensors up; either callback may be empty.
void TellSensorFailures(const TZelto& core, const std::function<void(const std::u16string&)>& show,
                        const std::function<void(const std::u16string&)>& log);

// Tells what the last load assumed or took from the file against this PC's
// sensor database (TZelto::ConditionNotes), each kind with the device or
// the sensors it concerns, in one message and the log, and forgets it;
// nothing when there is none. Called by every command that loads a job or
// asynchronous data; either callback may be empty. The load did what it
// was asked: `show` is a warning that asks nothing (mkWarningNote), not an
// error.
void TellConditionNotes(const TZelto& core, const std::function<void(const std::u16string&)>& show,
                        const std::function<void(const std::u16string&)>& log);

// The configuration that could not be written at shutdown; the text is
// looked up when called, so call it before the language closes.
std::u16string ConfigNotSavedText();
