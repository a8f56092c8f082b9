#pragma once
// TZelto: the one core object. It holds the whole state of a measurement
// session in plain fields that windows, worker threads and file routines
// read and write through TheCore. Fields that worker threads hand over are
// atomics or sit behind the lock that guards them (ResultsLock, SignalLock);
// the rest belongs to the user-interface thread, and the threads touch it
// only while the workflow leaves it to them (a capture runs).

#include <array>
#include <atomic>
#include <complex>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "capturewindow.h"
#include "criticalsection.h"
#include "driverapi.h"
#include "filereason.h"
#include "pairledger.h"
#include "signalwindows.h"
#include "records.h"
#include "runcomparison.h"
#include "savetarget.h"
#include "workcolors.h"

namespace rtl {
class TEvent;
}
class TSpectrumThreads;

// A device text as the driver library writes it: fixed UTF-16 units,
// zero-filled before each call because the library writes narrow texts
// without a terminator.
using TDeviceText = std::array<char16_t, SARTEL_TEXT_LENGTH>;
std::u16string TextOf(const TDeviceText& text);
void SetText(TDeviceText& text, std::u16string_view value);

// Acquisition states of a capture thread.
enum TAcquisitionState : uint8_t {
  asIdle = 0,
  asArmed = 1,
  asSynchronous = 2,
  asAsynchronous = 3,
  asTransfer = 4,
};

// How the last capture thread ended (TZelto::CaptureError).
enum TCaptureErrorKind : uint8_t { CaptureErrorNone = 0, CaptureErrorDriver = 1, CaptureErrorWindow = 2 };

// Display modes of amplitudes: the quantity shown and the amplitude form.
enum TAmplDisplayMode : uint8_t { admVoltage = 0, admAcceleration = 1, admVelocity = 2, admDisplacement = 3 };
enum TVibValueType : uint8_t { vvtPeak = 0, vvtRms = 1, vvtPeakToPeak = 2 };

// The device memory of the smallest model and of demo mode; the buffer
// length starts here until start-up reads the real size.
constexpr int32_t DefaultRamSize = 0x4000;

// What a load could not take from the file and assumed, or took from the
// file where this PC's sensor database says otherwise. The windows tell the
// user (message and log) before a number of the job is shown.
enum TConditionNoteKind : uint8_t {
  cnScaleAssumed,   // no full scale, ranges or rate stored: this device's are assumed (Subject: the device)
  cnSensorAssumed,  // only a sensor's name stored: this PC's sensor of that name is assumed
  cnSensorUnknown,  // only a sensor's name stored, and this PC has no such sensor
  cnSensorMissing,  // the stored sensor is used; this PC's database lacks it
  cnSensorDiffers,  // the stored sensor is used; this PC's database holds another under that name
  cnSensorImpossible,  // a stored sensor without a name has figures no sensor can have: the channel is
                       // taken without a sensor (Subject: the channel's letter)
  cnScaleFound,        // no scale stored: the one the runs' stored amplitudes give is used (Subject: its ranges)
  cnScaleUnconfirmed,  // no scale stored, and the runs' stored amplitudes fit no model's (no Subject)
  cnRangeReplaced,     // this device lacks the set-up's stored input range (Subject: channel, stored and used range)
};

struct TConditionNote {
  uint8_t Kind = cnScaleAssumed;
  std::u16string Subject;
  friend bool operator==(const TConditionNote&, const TConditionNote&) = default;
};

struct TControlMass {
  double Value = 1.0;
  std::string Unit = "g";  // UTF-8; at most 7 bytes in the session file
};

struct TAmplitudeOnlyMethod {
  uint8_t Enabled = 0;
  uint8_t Mode = 1;
  double Shift = 45.0;  // degrees
};

struct TSessionDate {
  uint16_t Year = 0, Month = 0, Day = 0;
};

// Texts of the balancing job; UTF-8 here, stored as 8-bit text in files.
struct TSessionInfo {
  TSessionDate Date;
  std::string Location, Operator, MachineOwner, Machine, Object;
};

class TZelto {
 public:
  TZelto();
  ~TZelto();
  TZelto(const TZelto&) = delete;
  TZelto& operator=(const TZelto&) = delete;

  // capture settings
  int32_t RamSize = DefaultRamSize;
  // The device model always captures its whole memory (RamSize samples),
  // whatever length it is asked for: set at start-up from the driver.
  bool CapturesWholeMemory = false;
  int32_t BuffLength = DefaultRamSize;
  int32_t AvgSize = 1;
  int32_t SamplingRate = 3;
  int32_t GainA = 1, GainB = 1;
  uint8_t WindowType = 0;

  // sensors
  SensorInfo VibSensorA, VibSensorB;

  // balancing options
  uint8_t RotationDir = 0;
  uint8_t Type = 0;  // 0 one plane (channel A), 1 two planes (A and B)
  TControlMass CtrlMass;
  RotorDefinition Rotor;
  uint8_t MassAdd = 1;
  uint8_t SpeedTolerance = 2;  // position in "0,1%", "0,5%", "1%", "5%", "10%"
  int32_t RotorDivCount = 6;
  uint8_t DivideMass = 0;
  TAmplitudeOnlyMethod GWB;

  TSessionInfo Session;

  // acquisition
  std::atomic<uint8_t> AcquisitionState{asIdle};

  // runs
  std::array<CaptureRecord, RunCount> Captures{};
  double TemperatureA = 0, TemperatureB = 0;
  std::array<MeasurementResult, RunCount> Results{};

  // workflow
  int32_t BalancingStep = 0;
  int32_t HighestStep = 0;
  int32_t Readings = 0;
  std::atomic<uint8_t> Measuring{0};

  // statistics of the last evaluation, in ADC counts
  double MeanA = 0, MeanB = 0, RmsA = 0, RmsB = 0, MinA = 0, MinB = 0, MaxA = 0, MaxB = 0;
  uint8_t OverloadA = 0, OverloadB = 0;

  // sample buffers; an empty vector is an absent buffer
  uint8_t AsyncMode = 0;
  std::vector<int32_t> LiveDataA, LiveDataB;
  std::vector<double> SignalA, SignalB;
  std::vector<std::complex<double>> SpectrumA, SpectrumB;
  // The transforms the spectra hold, written with them under SignalLock: a
  // spectrum is drawn and read only on the axis of its own length and rate.
  TSignalOrigin SpectrumOriginA, SpectrumOriginB;
  // The gains of the window the spectra were computed with, written with
  // them: what is read from them is divided by these, not by the gains of
  // a window chosen since.
  TWindowGains SpectrumWindowGains;

  // spectrum hand-over
  std::shared_ptr<rtl::TEvent> SpectrumEvent;
  // The spectrum threads still running, the one of the window and those it
  // let go; made with the first. Used on the user-interface thread.
  std::shared_ptr<TSpectrumThreads> SpectrumThreads;
  std::atomic<uint8_t> SpectrumBusy{0};
  std::atomic<uint8_t> SpectrumReady{0};
  std::atomic<float> SpectrumProgress{0};
  uint8_t SpectrumInWindow = 0;
  // Set while ConvertSamples rewrites SignalA/SignalB; the spectrum plot
  // skips painting. It lives here, not in the window, so a capture thread
  // never reaches a window that may be going away.
  std::atomic<bool> PlotUpdating{false};

  // folders ("/" paths with a trailing "/") and the automatic session pair
  std::u16string ProgramDir;
  std::u16string AppDataDir;
  std::u16string AutoSessionFile, AutoDataFile;

  // driver error
  TDeviceText LastErrorText{};

  // The conditions the live buffers were captured under, or read with.
  TRecordConditions LiveConditions;
  // What a load assumed or substituted (TConditionNote), each once, since
  // the windows last told the user; every command that loads a job or
  // asynchronous data tells them and clears this.
  mutable std::vector<TConditionNote> ConditionNotes;
  void NoteCondition(uint8_t kind, std::u16string_view subject) const;

  // record conditions (recordconditions.cpp)
  // The device's conditions now: what the next capture is taken under.
  TRecordConditions DeviceConditions() const;
  // A record's own conditions (a run's index, or TSignalOrigin::LiveRecord);
  // for a record that holds none (never captured or read), the device's now.
  TRecordConditions RecordConditions(int32_t record) const;
  // The record the signal windows show: the live buffers or the current run.
  int32_t ShownRecord() const;
  TRecordConditions ShownConditions() const { return RecordConditions(ShownRecord()); }
  // The sensor a run's results are converted with: the run's own.
  SensorInfo RunSensor(int32_t run, uint8_t channel) const;
  // The averaged vectors of `runs` (the first is the reference) with each
  // channel in one unit, every run converted with its own sensor
  // (runcomparison.h, runcomparison.cpp): the one way runs are compared or
  // combined.
  TComparedRuns CompareRuns(std::span<const int32_t> runs) const;
  // Run `run`'s amplitude on a channel beside the initial run's, in one
  // unit; empty when their sensors give them none.
  std::optional<TComparedAmplitudes> ComparedAmplitudes(int32_t run, uint8_t channel) const;
  // Samples of the longest record in memory that holds samples, at least
  // RamSize: what a window's buffers and the spectra must hold.
  int32_t LongestRecord() const;
  // Grows the spectra (while a spectrum window has them) to the bins of the
  // longest record; the caller holds SignalLock.
  void FitSpectraToRecords();

  // display
  std::array<uint32_t, WorkColorCount> WorkColors{};
  std::u16string Language;
  uint8_t AmplDisplayMode = admAcceleration;
  uint8_t AmplDispModeOscmV = 1;
  uint8_t VibValueType = vvtRms;
  uint8_t SpeedDisplayMode = 1;  // 0 rpm, 1 Hz
  std::u16string Owner;

  // device
  uint8_t DeviceReady = 1;
  TDeviceText DeviceDescr{}, DeviceSN{}, DeviceVer{};

  // driver library
  void* DriverModule = nullptr;
  TDriverApi DriverApi;

  // formatting (formatting.cpp): the functions of formatting.h; channel 0 is
  // channel A with VibSensorA, any other channel B with VibSensorB
  static std::u16string FormatTime(double t);
  static std::u16string FormatFrequency(double f, uint8_t mode);
  static std::u16string FormatVoltage(double u, uint8_t withUnit);
  static std::u16string FormatLevel(double attenuation);
  static std::u16string FormatNumber(double x);
  std::u16string FormatAmplitude(double amplitude, double f, uint8_t quantity, uint8_t mode,
                                 uint8_t channel) const;
  std::u16string FormatPhase(double phase, uint8_t quantity, uint8_t channel) const;
  static std::u16string FormatAngle(double angle);
  static std::u16string AmplitudeUnitText(uint8_t quantity, uint8_t bracketed);
  static std::u16string AmplitudeModeText(uint8_t mode);
  static std::u16string SensitivityUnitText(uint8_t sensorType);
  double ConvertAmplitude(double amplitude, double f, uint8_t quantity, uint8_t channel) const;
  double ConvertPhase(double phase, uint8_t quantity, uint8_t channel) const;
  // A run's result with the sensor that run was captured with (RunSensor):
  // every view, print-out and log line of a run's values goes through these.
  std::u16string FormatRunAmplitude(int32_t run, double amplitude, double f, uint8_t quantity, uint8_t mode,
                                    uint8_t channel) const;
  std::u16string FormatRunPhase(int32_t run, double phase, uint8_t quantity, uint8_t channel) const;
  double ConvertRunPhase(int32_t run, double phase, uint8_t quantity, uint8_t channel) const;
  // The conditions the job's runs were captured under, for what a job
  // prints once: those of its first measured run, the device's without one.
  TRecordConditions JobConditions() const;
  static void CalcShades(uint32_t colour, uint32_t& lighter, uint32_t& darker);
  static int32_t Round(double x);
  const SensorInfo& ChannelSensor(uint8_t channel) const;

  // Why the last load or save of a configuration, sensor, session or
  // asynchronous data file below failed, and which file. Those routines run
  // on the main thread only; the const ones set it too.
  mutable TFileReason FileFailure;
  // Sensor files that are there but could not be read, each once, as the
  // lookups (LoadSensor) found them since the windows last told the user:
  // a lookup leaves the channel or the list without such a sensor, and
  // every command that looks sensors up then tells why and clears this.
  mutable std::vector<TFileReason> SensorFailures;

  // configuration file (configfile.cpp): "Kalvenor.ini" in AppDataDir
  // True when the file was read or is missing; false when it is there but
  // could not be read or is damaged, and the values stay as they were.
  bool LoadConfig();
  bool SaveConfig();  // true when the file was written
  // The language file the configuration names, read without taking any
  // other setting (a start refused before its configuration is read still
  // speaks the user's language); empty when there is none.
  std::u16string ConfiguredLanguage() const;
  // Its path; empty without a data folder.
  std::u16string ConfigFileName() const;

  // sensor files (sensorfiles.cpp): AppDataDir "Sensors/" name ".xml"
  enum TSensorSaveResult : uint8_t { ssrSaved, ssrExists, ssrWriteFailed };
  // Without a name buffer: the number of sensor files. With one: 1 and the
  // next sensor name (the first with `first`), or 0 at the end.
  int32_t FindSensorFile(std::u16string* name, bool first) const;
  bool LoadSensor(std::u16string_view name, SensorInfo& sensor) const;
  // A name a sensor file can have: not empty, without a path separator or
  // "..", which would name a file outside the sensor folder.
  static bool SensorNameStorable(std::u16string_view name);
  // ssrExists only with failIfExists; a refused name is ssrWriteFailed
  // (FileFailure: the name, EINVAL).
  TSensorSaveResult SaveSensor(std::u16string_view name, const SensorInfo& sensor,
                               bool failIfExists) const;
  // False when the file could not be deleted; FileFailure says why.
  bool DeleteSensor(std::u16string_view name) const;

  // session and asynchronous data files (sessionfile.cpp, asyncdatafile.cpp)
  // A load that read the document but not every sample as stored says so:
  // without samples when the raw file is missing or from another save (the
  // runs' values come from the document). A save after it would replace the
  // stored job by less. Records are read whole at their stored length,
  // whatever this device's memory.
  enum TSessionFileResult : int32_t {
    sfrDone = 0,
    sfrDocumentFailed = 1,
    sfrRawFileFailed = 2,
    sfrDoneWithoutSamples = 3,
  };
  // A result that left a job in the core: whole, or with less than stored.
  static bool SessionLoaded(int32_t result) { return result == sfrDone || result >= sfrDoneWithoutSamples; }
  // Writes the automatic pair AutoSessionFile / AutoDataFile. On failure the
  // previous pair stays as it was.
  int32_t SaveSession();
  // Writes the job in memory as the pair named by `path` (the document) and
  // its raw file beside it, named as LoadSession names it, replacing the
  // pair there as SaveSession replaces the automatic one. Results as
  // SaveSession.
  int32_t SaveSessionAs(const std::u16string& path);
  // What the loads and saves read and wrote of each pair, so that a save
  // never replaces a pair another program wrote since (datafilepair.h).
  datafile::TPairLedger PairLedger;
  // The new names of the files of a pair another program had written, kept
  // aside by the last save of a session or asynchronous data (empty when
  // none was, or when the save failed before it replaced that pair, which
  // then stays in place): whoever saved tells the user, and whether the
  // job took their place.
  std::vector<std::u16string> PairKeptAside;
  // Folders whose file system keeps no locks, each found by a save or load
  // the first time (the folder and the system's reason): the windows tell
  // the user once and clear it, as with SensorFailures.
  mutable std::vector<TFileReason> LockNotices;
  // Adds a folder found without locks (`folder` empty: none) to
  // LockNotices the first time.
  void NoteWithoutLocks(const TFileReason& folder);
  // Set when the user was told that a save of the job failed; cleared by the
  // next save that succeeds, so that the next failure is told again.
  uint8_t JobSaveFailureShown = 0;
  // Set while the automatic pair did not load whole and could not be moved
  // aside: no save may replace it until it has been moved.
  uint8_t AutomaticPairHeld = 0;
  // Set while the job in memory is in no file: its last save failed, or the
  // automatic pair is held. The workspace marks the job unsaved, and its
  // close offers Save As, until a save succeeds.
  uint8_t JobUnsaved = 0;
  // Why the last save of the job failed, or why the held pair could not be
  // moved aside: the workspace's error line says it while JobUnsaved.
  TFileReason JobSaveFailure;
  // The file Save As last kept the job in, while no other save of the job
  // followed and no load replaced the job; empty otherwise. Should the
  // automatic pair then fail at the shutdown, the job is still kept there.
  std::u16string JobSavedAsFile;
  // An empty path reads the automatic pair; otherwise the path names the
  // document and the raw file is beside it with the extension ".daqdata".
  int32_t LoadSession(std::u16string path = {});
  // What saving a session or asynchronous data under `path` would do to the
  // files there; `rawPath` receives the raw file's name.
  TSaveTarget SessionSaveTarget(const std::u16string& path, std::u16string& rawPath) const;
  TSaveTarget AsyncDataSaveTarget(const std::u16string& path, std::u16string& rawPath) const;
  // The session document at `path` records the raw file at `rawPath` as its
  // own, whatever that file is named now.
  bool SessionOwnsRawFile(const std::u16string& path, const std::u16string& rawPath) const;
  // The document and its raw file: the path with the extension ".bin".
  bool SaveAsyncData(std::u16string path);
  bool LoadAsyncData(std::u16string path);

  // --- measurement pipeline: driver binding, demo synthesis, evaluation,
  // spectra and capture threads (driverbinding.cpp, demosynthesis.cpp,
  // evaluation.cpp, spectrumthread.cpp, capturethreads.cpp)

  // Folder LoadDriver loads libSartel.so from; empty: ProgramDir.
  std::u16string DriverFolder;
  // Guards every field a spectrum computation reads or writes: SignalA/
  // SignalB, SignalStart/SignalEnd, SignalOriginA/B, the spectra with their
  // SpectrumOriginA/B and SpectrumWindowGains, and the spectrum's settings
  // AsyncMode, SpectrumInWindow, WindowType, BuffLength and Type. The
  // spectrum thread holds it while it computes (never while it plans a
  // transform); every writer aborts the spectrum first
  // (LockSignalsForWriting), ConvertSamples skips while a computation runs.
  // Set-up, the windows and the loading of sessions and asynchronous data
  // write those settings under it, so a computation sees one set of them.
  // A spectrum thread sizes SpectrumA/SpectrumB when it starts and frees
  // them when it ends, and writes them, all under the lock.
  std::mutex SignalLock;
  // Threads waiting for SignalLock. A computation under way gives the lock
  // up as soon as it sees one: an abort request alone can be cleared by the
  // thread's wake-up just after it was made.
  std::atomic<int32_t> SignalWaiters{0};
  // Guards what a capture thread writes between its hand-overs and a window
  // may read at any time: Results, Readings, the statistics and overload
  // flags, the temperatures, and the runs' records (T, Start, End, their
  // conditions and samples: a loader writes them under it too). The threads
  // hold it only for the short writes, never across a Synchronize; the
  // result panel, the plane diagrams and the views' read-outs hold it while
  // they read. Recursive.
  mutable rtl::TCriticalSection ResultsLock;
  // The revolution-synchronous window of the run converted into SignalA/B.
  int32_t SignalStart = 0, SignalEnd = 0;
  // Where SignalA/SignalB were converted from, under SignalLock; none for a
  // channel whose record has no samples (the buffer holds zeros or older
  // samples then).
  TSignalOrigin SignalOriginA, SignalOriginB;
  // The job in memory, counted up by every ClearMeasurements: a run of a
  // job loaded or begun since is another record than the one of the same
  // index before, whatever its length and rate.
  std::atomic<uint32_t> Job{0};
  // CaptureErrorNone, CaptureErrorDriver (the last capture thread ended on
  // a driver error, text in LastErrorText) or CaptureErrorWindow (the device
  // reported an impossible window, described in LastErrorText). Read in the
  // end hand-over.
  std::atomic<uint8_t> CaptureError{0};
  // Readings the running or last balancing capture counted into its run:
  // a capture that ended without one gave the run nothing to show, log or
  // judge.
  std::atomic<int32_t> CaptureReadings{0};
  // The last capture of the running balancing capture found no whole
  // revolution (no speed pulses): it was not counted, and the capture goes
  // on. Cleared by the next counted reading and at every start.
  std::atomic<uint8_t> NoSpeedSignal{0};

  bool LoadDriver();
  void UnloadDriver();
  // _FreeDevice and _FreeDriver, each only when bound; before UnloadDriver.
  void ReleaseDriver();
  // _GetLastErrorStr into LastErrorText (bounded, terminated); the code.
  int32_t ReadDriverError();
  // Item tables: ADC full scale, sampling frequency of SamplingRate, input
  // range in mV of a gain index; 0 without a bound library.
  int32_t DriverFullScale() const;
  // The device's capability of _GetConfigItems(0x400); false without a
  // bound library or from a library that does not know the selector.
  bool DriverCapturesWholeMemory() const;
  // The memory step of the start-up: RamSize from _GetDeviceRamSize (a size
  // the device can't have keeps the default), CapturesWholeMemory from the
  // model, and BuffLength to match: RamSize for a model that captures its
  // whole memory, else lowered to RamSize.
  void ReadDeviceMemory();
  int32_t DriverSamplingFrequency() const;
  int32_t DriverInputRange(int32_t gainIndex) const;
  // Entries of the sampling-rate and input-range tables, which bound the
  // indexes SamplingRate, GainA and GainB: the library's counts; without a
  // bound library, every entry a selector can name.
  int32_t DriverClockCount() const;
  int32_t DriverGainCount() const;

  // A synthesised capture of the current run (mode 0) or into the live
  // buffers (mode 1). False when the buffer is shorter than one revolution:
  // such a capture holds no reading, and the run is left as it was.
  bool SimulateCapture(uint8_t mode);

  void ConvertSamples();
  void EvaluateCapture(uint8_t live, int32_t run);
  void CalcSyncVector(TVector4& slot);
  void AverageReadings(TVector4& meas);
  void ClearMeasurements();
  // Aborts a spectrum computation under way and takes SignalLock.
  std::unique_lock<std::mutex> LockSignalsForWriting();
  // Takes SignalLock, counted in SignalWaiters while it waits.
  std::unique_lock<std::mutex> WaitForSignals();
  void AbortSpectrum();

  double CalcWindowValue(int32_t n, double i) const;

  void ConfigureCapture(uint8_t mode);
  // The capture being read out, the capture thread's own between its start
  // and its end hand-over: ReadCapture fills it, TakeCapture hands it over.
  // A run or the live buffers thus change only with a whole read-out; one
  // that fails halfway leaves them as the last whole capture left them.
  CaptureRecord Incoming;
  // Set by ReadCapture when Incoming holds this capture's window and samples.
  bool IncomingRead = false;
  // The conditions the capture under way is taken with, fixed where the
  // device (or the demo synthesis) is configured for it; TakeCapture gives
  // them to the run or the live buffers with the samples.
  TRecordConditions IncomingConditions;
  // Reads the window (mode 0) and the samples into Incoming, as prepared by
  // the start; it never resizes it. False when the device reported an
  // impossible window (mode 0): `window` holds it, and nothing is read.
  bool ReadCapture(uint8_t mode, TCaptureWindow& window);
  // After a whole read-out: the window and samples in Incoming become the
  // current run's (mode 0) or the live buffers (mode 1), by swapping the
  // buffers, so no capture is copied twice; Incoming keeps the buffers they
  // had for the next read-out, grown again where a run had none. The only
  // way samples reach a run.
  void TakeCapture(uint8_t mode);
  // T, Start and End of a run, under ResultsLock.
  void StoreCaptureWindow(CaptureRecord& run, int32_t t, int32_t start, int32_t end);
  // Buffers a capture writes into, grown to the capture's length when
  // missing or shorter: Incoming and SignalA/B for the current run (whose
  // own buffers stay as they are until a capture counts), or the live
  // buffers (at least RamSize samples) and Incoming to match. On the
  // user-interface thread, before the capture thread starts.
  void PrepareRunBuffers();
  void PrepareLiveBuffers();

 private:
  int32_t SaveSessionPair(const std::u16string& documentPath, const std::u16string& rawPath);
  void NoteSensorFailure(const TFileReason& failure) const;
  void CreateSpectrumEvent();
  void SetUpFolders();
};

// The default colours of the work areas, entries 1..17 of WorkColors; the
// configuration file may override each.
extern const std::array<uint32_t, WorkColorCount> DefaultWorkColors;

extern TZelto* TheCore;
