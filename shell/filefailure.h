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
extern const std::array<TTextKey, 13> FileFailureLangKeys;

class TZelto;

// "<file>: <the system's reason>" ("Permission denied", "No such file or
// directory"); for a pair that another program kept locked, the language's
// text naming the file; for a file that was read but is damaged or of
// another kind (error 0), the language's text for that.
std::u16string FileFailureText(const TFileReason& failure);

// A failure text followed by the line that says why.
std::u16string WithFileFailure(std::u16string_view text, const TFileReason& failure);

// The configuration that could not be read at start: why, and the name it
// was kept under (empty when it could not be moved aside).
std::u16string ConfigNotReadText(const TFileReason& failure, std::u16string_view keptAs);

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
// asynchronous data; either callback may be empty.
void TellConditionNotes(const TZelto& core, const std::function<void(const std::u16string&)>& show,
                        const std::function<void(const std::u16string&)>& log);

// The configuration that could not be written at shutdown; the text is
// looked up when called, so call it before the language closes.
std::u16string ConfigNotSavedText();
