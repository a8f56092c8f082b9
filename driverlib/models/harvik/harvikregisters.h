#pragma once
// The FTDI model's registers and rate table, each as one table of rows.

#include "itemtables.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace sartel::harvik {

enum class TRole : std::uint8_t {
  Status,
  Length0, Length1, Length2,
  SecondLength0, SecondLength1, SecondLength2,
  Run,
  Arm,
  Mode,
  RamAccess,
  Trigger0, Trigger1, Trigger2, Trigger3,
  Divider0, Divider1, Divider2,
  Bank0, Bank1, Bank2,
  GainAndLamp,
  Cleared33, Cleared36, Cleared40, Cleared51, Cleared52, Cleared53, Cleared54,
  ConfigData,
  ConfigCommand,
  Reset,
  CaptureStart0, CaptureStart1, CaptureStart2,
  CaptureEnd0, CaptureEnd1, CaptureEnd2,
  RevolutionsPlusOne,
};

struct TRegisterRow {
  TRole Role;
  std::uint8_t Number;
};

// Register numbers as the device defines them. Registers 37, 38, 39, 41 and
// 55 exist on the device but no operation uses them.
inline constexpr TRegisterRow Registers[] = {
    {TRole::Status, 10},
    {TRole::Length0, 3},        {TRole::Length1, 4},        {TRole::Length2, 5},
    {TRole::SecondLength0, 0},  {TRole::SecondLength1, 1},  {TRole::SecondLength2, 2},
    {TRole::Run, 6},
    {TRole::Arm, 9},
    {TRole::Mode, 11},
    {TRole::RamAccess, 15},
    {TRole::Trigger0, 17},      {TRole::Trigger1, 18},      {TRole::Trigger2, 19},     {TRole::Trigger3, 20},
    {TRole::Divider0, 21},      {TRole::Divider1, 22},      {TRole::Divider2, 23},
    {TRole::Bank0, 25},         {TRole::Bank1, 26},         {TRole::Bank2, 27},
    {TRole::GainAndLamp, 32},
    {TRole::Cleared33, 33},     {TRole::Cleared36, 36},     {TRole::Cleared40, 40},
    {TRole::Cleared51, 51},     {TRole::Cleared52, 52},     {TRole::Cleared53, 53},    {TRole::Cleared54, 54},
    {TRole::ConfigData, 60},
    {TRole::ConfigCommand, 61},
    {TRole::Reset, 63},
    {TRole::CaptureStart0, 47}, {TRole::CaptureStart1, 48}, {TRole::CaptureStart2, 49},
    {TRole::CaptureEnd0, 28},   {TRole::CaptureEnd1, 29},   {TRole::CaptureEnd2, 30},
    {TRole::RevolutionsPlusOne, 31},
};

constexpr int Reg(TRole role) {
  for (const TRegisterRow& row : Registers)
    if (row.Role == role) return row.Number;
  return -1;
}

// Mode register values.
inline constexpr std::uint8_t ModeFreeRunning = 1;
inline constexpr std::uint8_t ModeForceTrigger = 32;
inline constexpr std::uint8_t ModeBalancing = 64;
// Configuration commands.
inline constexpr std::uint8_t ConfigRead = 1;
inline constexpr std::uint8_t ConfigWrite = 2;
inline constexpr std::uint8_t ResetValue = 0xFF;
inline constexpr std::uint8_t LampOffBit = 0x08;

struct TRateRow {
  std::int32_t Hz;
  // Divider of the 20 MHz sampling clock.
  std::uint32_t Divider;
};

inline constexpr std::array<TRateRow, 10> Rates{{
    {200000, 100}, {100000, 200}, {50000, 400}, {20000, 1000}, {10000, 2000},
    {5000, 4000},  {2000, 10000}, {1000, 20000}, {500, 40000}, {200, 100000},
}};

// The clock item table, taken from the rate rows.
inline constexpr auto ClocksHz = ItemColumn(Rates, &TRateRow::Hz);
inline constexpr std::int32_t GainsMv[] = {1000, 500, 250};
inline constexpr std::int32_t AdcFullScale = 2048;
inline constexpr std::int32_t SmallMemory = 0x20000;
inline constexpr std::int32_t LargeMemory = 0x80000;

}  // namespace sartel::harvik
