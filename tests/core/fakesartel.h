#pragma once
// Script and record of the fake driver library the core's tests load in
// place of libSartel.so. The library exports every name of sartel.h plus
// FakeSartelState(), which hands the test this record; the test scripts the
// answers before a capture and reads the calls afterwards.

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

struct TFakeSartel {
  std::mutex Lock;  // the capture thread calls in while the test looks

  // Item tables, as after _ConfigDevice of the FX2 model.
  int32_t FullScale = 0x8000;
  std::vector<int32_t> Clocks{200000, 100000, 50000, 20000, 10000, 5000, 2000, 1000, 500, 200, 100, 50, 20};
  std::vector<int32_t> Gains{2500, 1000, 500};
  int32_t RamSize = 0x4000;
  bool WholeMemory = false;  // _GetConfigItems(0x400)

  // Answers of one capture. _StartCapture rewinds both lists; past the end
  // the last entry repeats (an empty list answers 0).
  std::vector<uint8_t> Statuses{1, 3, 7};
  std::vector<int32_t> Addresses{0};
  int32_t Start = 0, End = 0, Revolutions = 0;
  std::vector<int32_t> DataA, DataB;  // _GetDataA copies the programmed length
  double TemperatureA = 0, TemperatureB = 0;

  // Errors. The pending error is what _GetLastErrorStr reports; _CPSet sets
  // it to the configuration error (0 normally).
  int32_t ErrorCode = 0;
  std::u16string ErrorText;
  int32_t ConfigErrorCode = 0;
  std::u16string ConfigErrorText;
  int32_t FailAtStatusRead = -1;  // this read (0 first, counted per capture) raises the error below
  bool FailOnGetData = false;
  // _GetDataA writes this many samples (channel A's, then B's) and raises
  // the error below instead of finishing; -1: it finishes.
  int32_t FailAfterSamples = -1;
  int32_t FailureCode = 3;
  std::u16string FailureText = u"Transfer failed";

  // Called (outside the lock) after every _ReadStatus with its count in
  // this capture; a test asks the thread to stop from here.
  std::function<void(int32_t)> OnStatusRead;

  // Start-up answers. _ListDevices writes ListedIndices and returns their
  // count; the device texts are written like the library's, one unit per
  // character without a terminator.
  std::vector<int32_t> ListedIndices{0};
  std::u16string Description, Identity, SerialNumber, Version;
  bool ConfigResult = true;
  // After a call of the named export the pending error becomes this code and
  // text (the start-up reads it after each step).
  std::map<std::string, std::pair<int32_t, std::u16string>> ErrorAfter;

  // Record.
  std::vector<std::string> Calls;  // every export called, in order, except the polls
  int32_t StatusReads = 0, AddressReads = 0, Captures = 0;
  int32_t Mode = -1, BufferLength = 0, Sampling = -1, GainA = -1, GainB = -1;
  std::vector<int32_t> LaserStates;
  bool DataBRequested = false;
  bool TemperatureBRequested = false;
  std::u16string PathSet;
  bool HostGiven = false;
  int32_t DescribedIndex = -1, OpenedIndex = -1;
  int32_t ConfigSkipUpload = -1;
  std::vector<int32_t> StatusLamp;
};

extern "C" TFakeSartel* FakeSartelState();
