#pragma once
// A scripted D2XX library for unit tests of the FTDI transport and model:
// it records what is written, hands out scripted bytes to reads, and fails
// or answers "pending" on request. One instance is current at a time; its
// function table is what the transport gets instead of the loaded library.

#include "d2xx.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

struct TFakeD2xx {
  TFakeD2xx();
  ~TFakeD2xx();

  d2xx::TFunctions Table() const;

  // Every write transfer, in order.
  std::vector<std::vector<std::uint8_t>> Writes;
  // Bytes reads hand out; an empty queue gives zeros when ZerosWhenEmpty,
  // else a short read.
  std::deque<std::uint8_t> ReadBytes;
  bool ZerosWhenEmpty = true;
  bool FailWrites = false;
  bool FailReads = false;
  // Failing transfers answer 997 (pending) instead of an I/O error; OnPending
  // gets the OVERLAPPED block and decides when to complete it.
  bool Pending = false;
  std::function<void(d2xx::Overlapped*)> OnPending;
  // What GetOverlappedResult reports for a pending transfer.
  bool ResultOk = true;
  d2xx::Dword ResultCount = 0;
  bool PurgeCommOk = true;
  // Forced status of a status function, by D2XX name.
  std::map<std::string, d2xx::Status> Status;
  // Names of the functions called, in order.
  std::vector<std::string> Calls;
  std::vector<d2xx::Dword> PurgeMasks;
  d2xx::Dword LastError = 0;
  d2xx::Ulong TimeoutRead = 0;

  d2xx::Status StatusOf(const char* name);
  static TFakeD2xx* Current;
};

// A handle the fake accepts.
d2xx::Handle FakeHandle();
