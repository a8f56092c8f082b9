// The end of the start-up (restoring the last session) and the shutdown
// order, also while a capture runs.

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "blockingtransfer.h"
#include "capturethreads.h"
#include "folders.h"
#include "instantclock.h"
#include "jobguard.h"
#include "languageservice.h"
#include "pathbinding.h"
#include "regularfile.h"
#include "serveuntil.h"
#include "textconv.h"
#include "startupfixture.h"
#include "synchronizeprobe.h"
#include "systemerror.h"
#include "workspaceservices.h"
#include "xmlinifile.h"
#include "zelto.h"

namespace {

using testsupport::TInstantClock;

// The workspace's end hand-over, recorded into the host's events.
class TEndRecorder : public TBalancingServices {
 public:
  explicit TEndRecorder(TRecordingHost& host) : Host(host) {}
  void RefreshResults() override { ++Refreshes; }
  void SyncMeasurementDone() override { Host.Events.push_back(TheCore ? "capture end" : "capture end without core"); }
  void AsyncMeasurementDone() override {}
  void ShowAcquisitionState(uint8_t) override {}
  void ShowSamplingProgress(const std::string&) override {}
  void UpdateOperationStatus() override {}
  void UpdateParamCaptions() override {}
  void ShowNoError() override {}
  void ShowNoSpeedSignal() override {}
  void LogSpeedSignal(bool) override {}
  TRecordingHost& Host;
  std::atomic<int> Refreshes{0};
};

class ShutdownTest : public StartupTest {
 protected:
  void StartInDemo() {
    CreateCore();
    Fake->ListedIndices.clear();
    ASSERT_TRUE(RunHardwareSteps());
  }
  std::filesystem::path DataFile(const char* name) const {
    return std::filesystem::path(DataFolder) / "Orvanteq/Kalvenor" / name;
  }
  static std::string Bytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // Runs 0 and 1 measured at the whole memory, saved as the automatic pair.
  void SaveMeasuredJobAtRunOne() {
    TheCore->BuffLength = TheCore->RamSize;
    for (int run = 0; run <= 1; ++run) {
      TheCore->Results[run].Meas = {1.5 + run, 0.25, 0, 0};
      TheCore->Results[run].Valid = 1;
      TheCore->Captures[run].DataA.assign(static_cast<size_t>(TheCore->BuffLength), 100 + run);
    }
    TheCore->BalancingStep = TheCore->HighestStep = 1;
    EXPECT_EQ(TheCore->SaveSession(), 0);
  }
};

}  // namespace

TEST_F(ShutdownTest, RestoredSessionKeepsItsStep) {
  StartInDemo();
  TheCore->Results[7].Freq = 25;
  TheCore->BalancingStep = 7;
  TheCore->HighestStep = 9;
  ASSERT_EQ(TheCore->SaveSession(), 0);
  TheCore->ClearMeasurements();
  Host.Events.clear();
  Startup->FinishStart(Texts, {"-DeBuG"});
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 5", "debug", "log 0", "workspace 7"}));
  EXPECT_EQ(Host.Results[5], u"Started");
  EXPECT_EQ(TheCore->BalancingStep, 7);
  EXPECT_EQ(TheCore->HighestStep, 9);
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_TRUE(Startup->Started());
}

// The very first start has no session to restore, and that is no error:
// nothing is said.
TEST_F(ShutdownTest, TheVeryFirstStartRestoresNothingAndSaysNothing) {
  StartInDemo();
  ASSERT_FALSE(std::filesystem::exists(DataFile("!session.daqsession")));
  Host.Events.clear();
  Startup->FinishStart(Texts, {});
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"step 5", "log 0", "workspace 0"}));
  EXPECT_TRUE(Startup->Started());
}

// How the last session is damaged before a start. A raw file without its
// document is left by a document lost, or by a power loss while an earlier
// start was moving the pair aside (the document moved, the raw file not).
enum class TDamage {
  UnreadableDocument,
  ForeignRawFile,
  MissingRawFile,
  MissingDocument,
  DocumentAlreadyMovedAside,
  // A stored length no device has (2^30 passes the layout's power-of-two
  // check) and a run without its own length: reading it would size the
  // run at 2^30 samples.
  ImpossibleBlockLength
};

namespace {

// The document as text, `pattern` replaced.
void EditDocument(const std::filesystem::path& file, const std::string& pattern, const std::string& by) {
  std::ifstream in(file, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  std::u16string text(bytes.size() / 2, u'\0');
  std::memcpy(text.data(), bytes.data(), text.size() * 2);
  const std::u16string edited = rtl::Utf8ToUtf16(std::regex_replace(rtl::Utf16ToUtf8(text), std::regex(pattern), by));
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(edited.data()), static_cast<std::streamsize>(edited.size() * 2));
}

}  // namespace

class DamagedLastSession : public ShutdownTest, public ::testing::WithParamInterface<TDamage> {
 protected:
  // A measured job at run 1 in the automatic pair, damaged as the test
  // says; the files as they then are, by extension.
  std::map<std::string, std::string> SaveDamagedJob() {
    SaveMeasuredJobAtRunOne();
    const std::filesystem::path raw = DataFile("!session.daqdata");
    switch (GetParam()) {
      case TDamage::UnreadableDocument:
        std::ofstream(DataFile("!session.daqsession"), std::ios::binary) << "not a session";
        break;
      case TDamage::ForeignRawFile:
        std::filesystem::resize_file(raw, std::filesystem::file_size(raw) - 4);
        break;
      case TDamage::MissingRawFile:
        std::filesystem::remove(raw);
        break;
      case TDamage::MissingDocument:
        std::filesystem::remove(DataFile("!session.daqsession"));
        break;
      case TDamage::DocumentAlreadyMovedAside:
        std::filesystem::rename(DataFile("!session.daqsession"),
                                DataFile("!session (not restored 2024-05-01 10-00-00).daqsession"));
        break;
      case TDamage::ImpossibleBlockLength:
        EditDocument(DataFile("!session.daqsession"), "<BuffLength value = \"[0-9a-f]*\"",
                     "<BuffLength value = \"40000000\"");
        EditDocument(DataFile("!session.daqsession"), "(<Measurement0>[\\s\\S]*?) <Length value = \"[0-9a-f]*\"/>\r?\n",
                     "$1");
        break;
    }
    TheCore->ClearMeasurements();
    std::map<std::string, std::string> files;
    for (const char* name : {"!session.daqsession", "!session.daqdata"})
      if (std::filesystem::exists(DataFile(name))) files[DataFile(name).extension().string()] = Bytes(DataFile(name));
    return files;
  }
  // The lines of a text that name files of the data folder (a line that
  // says why one could not be read names no file).
  std::vector<std::filesystem::path> NamedFiles(const std::u16string& text) const {
    std::vector<std::filesystem::path> files;
    std::istringstream lines(rtl::Utf16ToUtf8(text));
    for (std::string line; std::getline(lines, line);)
      if (line.rfind(DataFolder, 0) == 0 && std::filesystem::exists(line)) files.emplace_back(line);
    return files;
  }
};

// A last session that does not load whole is never replaced by less: its
// files are moved aside unchanged, the message and the log name them, and
// the shutdown saves the job beside them. What could be read stays loaded.
// A pair that could not be read is an error; one restored without its
// samples is told as information, as the workspace's Restore tells it.
TEST_P(DamagedLastSession, IsKeptAsideUnchangedWhereTheMessageAndTheLogSay) {
  StartInDemo();
  const std::map<std::string, std::string> before = SaveDamagedJob();
  // A document moved aside earlier is named as such, beside what this
  // start keeps aside.
  const std::filesystem::path earlier = DataFile("!session (not restored 2024-05-01 10-00-00).daqsession");
  const bool earlierThere = std::filesystem::exists(earlier);
  Startup->FinishStart(Texts, {});
  const bool valuesLost = GetParam() == TDamage::UnreadableDocument || GetParam() == TDamage::MissingDocument ||
                         GetParam() == TDamage::DocumentAlreadyMovedAside ||
                         GetParam() == TDamage::ImpossibleBlockLength;
  const std::vector<std::u16string>& told = valuesLost ? Host.MessageErrors : Host.MessageInformation;
  EXPECT_EQ(Host.MessageErrors.size() + Host.MessageInformation.size(), 1u);
  ASSERT_EQ(told.size(), 1u);
  ASSERT_EQ(Host.LogNotes.size(), 1u);
  std::vector<std::filesystem::path> kept = NamedFiles(told[0]);
  EXPECT_EQ(NamedFiles(Host.LogNotes[0]), kept);
  EXPECT_EQ(std::erase(kept, earlier), earlierThere ? 1u : 0u);
  EXPECT_EQ(TheCore->Results[1].Meas.AmplA, valuesLost ? 0.0 : 2.5);
  // The start goes on to its workspace, whatever the pair held.
  ASSERT_FALSE(Host.Events.empty());
  EXPECT_EQ(Host.Events.back(), "workspace " + std::to_string(TheCore->BalancingStep));
  if (GetParam() == TDamage::ImpossibleBlockLength) {
    EXPECT_NE(Host.MessageErrors[0].find(rtl::Utf8ToUtf16(DataFile("!session.daqsession").string()) + u": "),
              std::u16string::npos);
  }
  Startup->Shutdown();
  ASSERT_EQ(kept.size(), before.size());
  for (const std::filesystem::path& file : kept) EXPECT_EQ(Bytes(file), before.at(file.extension().string())) << file;
  EXPECT_TRUE(std::filesystem::exists(DataFile("!session.daqsession")));
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedLastSession,
                         ::testing::Values(TDamage::UnreadableDocument, TDamage::ForeignRawFile,
                                           TDamage::MissingRawFile, TDamage::MissingDocument,
                                           TDamage::DocumentAlreadyMovedAside, TDamage::ImpossibleBlockLength));

// A start stopped between the renames that keep the last session aside
// (its raw file goes first) left the raw file under its new name and the
// document under the automatic one. The next start puts the raw file back
// when the document records it, so the pair is read as one; a raw file the document does not record stays, and the message
// names it beside the document kept aside.
class HalfKeptAside : public ShutdownTest, public ::testing::WithParamInterface<bool> {};

TEST_P(HalfKeptAside, TheNextStartReunitesThePairOrNamesItsRawFile) {
  const bool recorded = GetParam();
  TLanguageService language;
  ASSERT_TRUE(language.Open(u"" ZELTO_LANGUAGE_FILE));
  SetLanguageService(&language);
  StartInDemo();
  SaveMeasuredJobAtRunOne();
  ASSERT_FALSE(HasFailure());
  const std::filesystem::path raw = DataFile("!session.daqdata");
  if (!recorded) std::filesystem::resize_file(raw, std::filesystem::file_size(raw) - 4);  // samples of another save
  const std::string document = Bytes(DataFile("!session.daqsession")), samples = Bytes(raw);
  const std::filesystem::path halfMoved = DataFile("!session (not restored 2024-05-01 10-00-00).daqdata");
  std::filesystem::rename(raw, halfMoved);
  TheCore->ClearMeasurements();

  Startup->FinishStart(Texts, {});
  if (recorded) {  // reunited, the pair loads whole: nothing to keep aside or tell
    EXPECT_TRUE(Host.MessageErrors.empty());
    EXPECT_TRUE(Host.MessageInformation.empty());
    EXPECT_EQ(TheCore->Captures[1].DataA.front(), 101);
    EXPECT_FALSE(std::filesystem::exists(halfMoved));
    EXPECT_EQ(Bytes(raw), samples);
    EXPECT_EQ(Bytes(DataFile("!session.daqsession")), document);
    SetLanguageService(nullptr);
    return;
  }
  EXPECT_TRUE(Host.MessageErrors.empty());
  ASSERT_EQ(Host.MessageInformation.size(), 1u);
  const std::u16string told = Host.MessageInformation[0];
  EXPECT_EQ(Host.LogNotes, Host.MessageInformation);
  std::vector<std::filesystem::path> named;
  std::istringstream lines(rtl::Utf16ToUtf8(told));
  for (std::string line; std::getline(lines, line);)
    if (line.rfind(DataFolder, 0) == 0) named.emplace_back(line);
  EXPECT_EQ(told.rfind(PartialLoadText(TZelto::sfrDoneWithoutSamples), 0), 0u) << rtl::Utf16ToUtf8(told);
  EXPECT_NE(told.find(LangText({u"Forms", u"LooseSamplesFound"}).Text + u"\n" + halfMoved.u16string()),
            std::u16string::npos)
      << rtl::Utf16ToUtf8(told);
  ASSERT_EQ(named.size(), 2u);
  EXPECT_EQ(Bytes(named[0]), document);
  EXPECT_EQ(named[1], halfMoved);
  EXPECT_EQ(Bytes(halfMoved), samples);
  SetLanguageService(nullptr);
}

INSTANTIATE_TEST_SUITE_P(RawFile, HalfKeptAside, ::testing::Bool());

// A stop between keeping another program's pair aside and putting the new
// one in place leaves no automatic pair: the start names the pair kept
// aside, in the message and the log, where the last saved job lies. The
// shutdown then saves the automatic pair, and the next start is quiet.
TEST_F(ShutdownTest, AFolderWithOnlyAKeptAsidePairNamesItAtStart) {
  StartInDemo();
  SaveMeasuredJobAtRunOne();
  const std::filesystem::path document = DataFile("!session (changed elsewhere 2024-05-01 10-00-00).daqsession");
  std::filesystem::rename(DataFile("!session.daqdata"), DataFile("!session (changed elsewhere 2024-05-01 10-00-00).daqdata"));
  std::filesystem::rename(DataFile("!session.daqsession"), document);
  TheCore->ClearMeasurements();
  Startup->FinishStart(Texts, {});
  EXPECT_EQ(Host.MessageInformation, std::vector<std::u16string>{KeptSessionsText({document.u16string()})});
  EXPECT_EQ(Host.LogNotes, Host.MessageInformation);
  Startup->Shutdown();
  ASSERT_TRUE(std::filesystem::exists(DataFile("!session.daqsession")));

  Host.MessageInformation.clear();
  Host.LogNotes.clear();
  ASSERT_TRUE(Startup->CreateCore());
  ASSERT_TRUE(RunHardwareSteps());
  Startup->FinishStart(Texts, {});
  EXPECT_TRUE(Host.MessageInformation.empty());
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_TRUE(std::filesystem::exists(document));
}

// A document of the older format records no checksum of its samples: of
// two raw files of its size kept aside without their document, nothing
// tells which is its own. Neither is put back, both stay as they were and
// are named; and named again at the next start, whose load is whole.
TEST_F(ShutdownTest, AnOlderDocumentTakesNeitherOfTwoLooseRawFilesOfItsSizeAndNamesBoth) {
  StartInDemo();
  SaveMeasuredJobAtRunOne();
  const std::filesystem::path documentPath = DataFile("!session.daqsession");
  const std::string stored = Bytes(documentPath);  // UTF-16LE after its byte-order mark
  std::u16string document((stored.size() - 2) / 2, u'\0');
  std::memcpy(document.data(), stored.data() + 2, document.size() * 2);
  for (const std::u16string key : {u"<DataBytes ", u"<DataChecksum "}) {
    const size_t at = document.find(key);
    ASSERT_NE(at, std::u16string::npos);
    document.erase(document.rfind(u'\n', at) + 1, document.find(u'\n', at) - document.rfind(u'\n', at));
  }
  std::ofstream(documentPath, std::ios::binary | std::ios::trunc)
      << "\xFF\xFE" << std::string(reinterpret_cast<const char*>(document.data()), document.size() * 2);
  const std::filesystem::path own = DataFile("!session (not restored 2024-05-01 10-00-00).daqdata");
  const std::filesystem::path stale = DataFile("!session (changed elsewhere 2024-05-02 10-00-00).daqdata");
  std::filesystem::rename(DataFile("!session.daqdata"), own);
  const std::string samples = Bytes(own), staleSamples(samples.size(), '\x07');
  std::ofstream(stale, std::ios::binary) << staleSamples;
  TheCore->ClearMeasurements();

  Startup->FinishStart(Texts, {});
  EXPECT_EQ(TheCore->Results[1].Meas.AmplA, 2.5) << "the values loaded";
  EXPECT_EQ(std::count(TheCore->Captures[1].DataA.begin(), TheCore->Captures[1].DataA.end(), 0x07070707), 0);
  EXPECT_EQ(std::count(TheCore->Captures[1].DataA.begin(), TheCore->Captures[1].DataA.end(), 101), 0);
  EXPECT_EQ(Bytes(own), samples);
  EXPECT_EQ(Bytes(stale), staleSamples);
  const std::u16string loose = LooseSamplesText({stale.u16string(), own.u16string()});
  ASSERT_EQ(Host.MessageInformation.size(), 1u);
  EXPECT_NE(Host.MessageInformation[0].find(u"\n" + loose), std::u16string::npos)
      << rtl::Utf16ToUtf8(Host.MessageInformation[0]);
  Startup->Shutdown();

  Host.MessageInformation.clear();
  Host.LogNotes.clear();
  ASSERT_TRUE(Startup->CreateCore());
  ASSERT_TRUE(RunHardwareSteps());
  Startup->FinishStart(Texts, {});
  EXPECT_EQ(Host.MessageInformation, std::vector<std::u16string>{loose});
  EXPECT_EQ(Host.LogNotes, Host.MessageInformation);
}

// Two instances on a folder whose locks lock nothing can leave a pending raw
// file beside a pair kept aside. At the next start one whose writer has
// ended is removed where the pair beside it is whole, and named where no
// document is beside it; one of a running writer (another instance) is
// left alone. So is a copy of a pair kept aside that a save without links
// left half written: removed once its writer has ended, the pair kept
// aside before it untouched.
TEST_F(ShutdownTest, LeftoverPendingFilesBesideKeptAsidePairsAreRemovedOrNamedAtStart) {
  StartInDemo();
  SaveMeasuredJobAtRunOne();
  const pid_t ended = ::fork();
  if (ended == 0) ::_exit(0);
  ASSERT_GT(ended, 0);
  ::waitpid(ended, nullptr, 0);
  const pid_t running = ::fork();
  if (running == 0) {
    ::pause();
    ::_exit(0);
  }
  ASSERT_GT(running, 0);
  const std::string whole = "!session (changed elsewhere 2024-05-01 10-00-00 2)";
  for (const char* extension : {".daqsession", ".daqdata"})
    std::filesystem::copy_file(DataFile(("!session" + std::string(extension)).c_str()),
                               DataFile((whole + extension).c_str()));
  const std::filesystem::path rawOnly = DataFile("!session (not restored 2024-05-02 10-00-00).daqdata");
  std::filesystem::copy_file(DataFile("!session.daqdata"), rawOnly);
  const auto pending = [this](const std::string& raw, pid_t writer, int n) {
    const std::filesystem::path path =
        DataFile((raw + ".pending" + std::to_string(writer) + "-" + std::to_string(n)).c_str());
    std::ofstream(path, std::ios::binary) << std::string(4096, '\x05');
    return path;
  };
  const std::filesystem::path left = pending(whole + ".daqdata", ended, 6);
  const std::filesystem::path another = pending(whole + ".daqdata", running, 7);
  const std::filesystem::path unpaired = pending(rawOnly.filename().string(), ended, 8);
  const auto copy = [this](const std::string& extension, pid_t writer, int n) {
    const std::filesystem::path path = DataFile(("!session (changed elsewhere 2024-05-01 10-00-00 3)" + extension +
                                                 ".tmp" + std::to_string(writer) + "-" + std::to_string(n))
                                                    .c_str());
    std::ofstream(path, std::ios::binary) << std::string(2048, '\x06');
    return path;
  };
  const std::filesystem::path cutCopy = copy(".daqdata", ended, 9);
  const std::filesystem::path copying = copy(".daqsession", running, 10);
  const std::string wholeBytes =
      Bytes(DataFile((whole + ".daqsession").c_str())) + Bytes(DataFile((whole + ".daqdata").c_str()));
  TheCore->ClearMeasurements();

  Startup->FinishStart(Texts, {});
  ::kill(running, SIGKILL);
  ::waitpid(running, nullptr, 0);
  EXPECT_FALSE(std::filesystem::exists(left));
  EXPECT_TRUE(std::filesystem::exists(another));
  EXPECT_TRUE(std::filesystem::exists(unpaired));
  EXPECT_FALSE(std::filesystem::exists(cutCopy));
  EXPECT_TRUE(std::filesystem::exists(copying));
  EXPECT_TRUE(Bytes(DataFile((whole + ".daqsession").c_str())) + Bytes(DataFile((whole + ".daqdata").c_str())) ==
              wholeBytes);
  EXPECT_EQ(Host.MessageInformation,
            std::vector<std::u16string>{LooseSamplesText({rawOnly.u16string(), unpaired.u16string()})});
  EXPECT_EQ(TheCore->Results[1].Meas.AmplA, 2.5);
}

namespace {

struct TFolderSync {
  std::string Folder;
  bool DocumentStillThere = false;
};
std::vector<TFolderSync> FolderSyncs;
std::string WatchedDocument;

void RecordFolderSync(const std::string& folder) {
  FolderSyncs.push_back({folder, std::filesystem::exists(WatchedDocument)});
}

}  // namespace

// The renames that keep the last session aside are forced to disk once they
// are done, before the start goes on to anything that could save over the
// automatic pair: a power loss can't bring the pair back half moved.
TEST_F(ShutdownTest, KeepingTheLastSessionAsideForcesItsFolderToDisk) {
  StartInDemo();
  TheCore->BuffLength = TheCore->RamSize;
  TheCore->Results[0].Meas = {1.5, 0.25, 0, 0};
  TheCore->Captures[0].DataA.assign(static_cast<size_t>(TheCore->BuffLength), 100);
  ASSERT_EQ(TheCore->SaveSession(), 0);
  std::filesystem::remove(DataFile("!session.daqdata"));  // loads without its samples
  TheCore->ClearMeasurements();
  WatchedDocument = DataFile("!session.daqsession").string();
  FolderSyncs.clear();
  rtl::SetFolderSyncObserver(RecordFolderSync);
  Startup->FinishStart(Texts, {});
  rtl::SetFolderSyncObserver(nullptr);
  ASSERT_EQ(Host.MessageInformation.size(), 1u);
  ASSERT_FALSE(std::filesystem::exists(WatchedDocument)) << "the document was kept aside";
  const std::string folder = DataFile("").parent_path().string();
  EXPECT_TRUE(std::any_of(FolderSyncs.begin(), FolderSyncs.end(), [&](const TFolderSync& sync) {
    return sync.Folder == folder && !sync.DocumentStillThere;
  })) << FolderSyncs.size() << " folders synced";
}

// A configuration cut short is kept aside under a name that says so, the
// user is told once (message and log, with the file and why), and the
// choices made since are saved in a new one: the next start reads them, so
// the language is not asked again, and has nothing to tell.
TEST_F(ShutdownTest, ACutConfigurationIsKeptAsideToldOnceAndReplacedByTheNewChoices) {
  const std::filesystem::path config = DataFile("Kalvenor.ini");
  std::filesystem::create_directories(config.parent_path());
  {
    XmlIniFile whole;
    whole.Open(config.u16string(), u"ConfigFile", false);
    whole.WriteString(u"Config", u"Language", u"/opt/zelto/Language/Old.xml");
    whole.WriteString(u"Config", u"Owner", u"Field service");
    ASSERT_TRUE(whole.Save());
  }
  const std::string cut = Bytes(config).substr(0, Bytes(config).size() / 2);
  std::ofstream(config, std::ios::binary | std::ios::trunc) << cut;
  const auto keptAside = [&] {
    std::vector<std::filesystem::path> kept;
    for (const auto& entry : std::filesystem::directory_iterator(config.parent_path()))
      if (entry.path().filename().string().rfind("Kalvenor (not read ", 0) == 0) kept.push_back(entry.path());
    return kept;
  };

  StartInDemo();
  ASSERT_EQ(keptAside().size(), 1u);
  EXPECT_EQ(keptAside()[0].extension(), ".ini");
  EXPECT_EQ(Bytes(keptAside()[0]), cut);
  EXPECT_FALSE(std::filesystem::exists(config));
  ASSERT_EQ(Host.MessageErrors.size(), 1u);
  EXPECT_NE(Host.MessageErrors[0].find(keptAside()[0].u16string()), std::u16string::npos);
  EXPECT_NE(Host.MessageErrors[0].find(config.u16string() + u": "), std::u16string::npos);
  EXPECT_EQ(Host.LogNotes, Host.MessageErrors);
  // The start-up window asks for a language, as for a first start.
  EXPECT_EQ(TheCore->Language, u"");
  const std::u16string chosen = TheCore->ProgramDir + u"Language/English.xml";
  TheCore->Language = chosen;
  Startup->FinishStart(Texts, {});
  Startup->Shutdown();
  EXPECT_TRUE(Host.Errors.empty());

  Host.MessageErrors.clear();
  Host.LogNotes.clear();
  ASSERT_TRUE(Startup->CreateCore());
  ASSERT_TRUE(RunHardwareSteps());
  EXPECT_EQ(TheCore->Language, chosen);
  EXPECT_TRUE(Host.MessageErrors.empty());
  EXPECT_TRUE(Host.LogNotes.empty());
  EXPECT_EQ(keptAside().size(), 1u);

  // A configuration that can't be written at shutdown is told, with why,
  // and logged before the close.
  Startup->FinishStart(Texts, {});
  std::filesystem::remove(config);
  std::filesystem::create_directory(config);
  size_t notesAtClose = 0;
  Host.OnLog = [&](uint8_t kind) {
    if (kind == LogApplicationClose) notesAtClose = Host.LogNotes.size();
  };
  Startup->Shutdown();
  EXPECT_EQ(notesAtClose, 1u);
  ASSERT_EQ(Host.Errors.size(), 1u);
  EXPECT_NE(Host.Errors[0].find(u"\n" + config.u16string() + u": Is a directory"), std::u16string::npos);
  EXPECT_EQ(Host.LogNotes, Host.Errors);
}

// Language, session, configuration, log entry, driver, core, path functions.
// The data folder's lock file has a name known in advance: a link planted
// under it is not followed, so nothing is created or locked where it
// points; the link is replaced by a lock file, and the program runs locked.
TEST_F(ShutdownTest, AnInstanceLockNameThatIsALinkIsReplacedAndNothingIsCreatedElsewhere) {
  const std::filesystem::path lock = DataFile("Kalvenor.lock");
  const std::filesystem::path elsewhere = std::filesystem::path(DataFolder) / "elsewhere";
  std::filesystem::create_directories(lock.parent_path());
  std::filesystem::create_symlink(elsewhere, lock);
  StartInDemo();
  Startup->FinishStart(Texts, {});
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(lock)));
  TInstanceLock second;
  EXPECT_EQ(second.Acquire(rtl::Utf8ToUtf16(lock.parent_path().string() + "/")), TInstanceLock::TResult::InUse);
  Startup->Shutdown();
  EXPECT_FALSE(std::filesystem::exists(elsewhere));
  EXPECT_TRUE(Host.MessageErrors.empty());
}

// Folders under the names a file of the data folder would be kept aside
// under as `why` in the next two minutes: the move onto them fails, as in a
// folder that can't be written (the tests may run with every permission).
void BlockKeptAsideNames(const std::filesystem::path& file, const char* why) {
  const std::time_t now = std::time(nullptr);
  for (std::time_t t = now - 2; t <= now + 120; ++t) {
    std::tm local{};
    localtime_r(&t, &local);
    char tag[64];
    std::strftime(tag, sizeof tag, "%Y-%m-%d %H-%M-%S)", &local);
    std::filesystem::create_directory(file.parent_path() / (file.stem().string() + " (" + why + " " + tag +
                                                            file.extension().string()));
  }
}

std::u16string Forms(std::u16string_view key) { return LangText({u"Forms", key}).Text; }

// The shutdown closes the language before it saves, yet every failure it
// tells has the language's words for its reason: a pair whose lock another
// program holds, and a settings file that stays damaged because the start
// could not move it aside. That start said so, with why, and promised no
// new settings file.
TEST_F(ShutdownTest, EveryShutdownFailureIsToldInTheLanguagesWords) {
  TLanguageService language;
  ASSERT_TRUE(language.Open(u"" ZELTO_LANGUAGE_FILE));
  SetLanguageService(&language);
  Host.Language = &language;
  const std::filesystem::path config = DataFile("Kalvenor.ini");
  std::filesystem::create_directories(config.parent_path());
  std::ofstream(config, std::ios::binary) << "<ConfigFile><Config><Language value=";
  BlockKeptAsideNames(config, "not read");
  StartInDemo();
  const std::u16string configPath = config.u16string();
  ASSERT_EQ(Host.MessageErrors.size(), 1u);
  EXPECT_EQ(Host.MessageErrors[0], Forms(u"ConfigNotRead") + u"\n" + configPath + u": " + Forms(u"FileDamaged") +
                                       u"\n" + Forms(u"ConfigNotKeptAside") + u"\n" + configPath +
                                       u": Is a directory");
  Startup->FinishStart(Texts, {});
  const std::u16string session = TheCore->AutoSessionFile;
  const int lock = ::open(rtl::NativePath(TheCore->AutoDataFile + u".lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_EX), 0);
  // What the shutdown must tell, looked up while the language is open.
  const std::u16string inUse = Forms(u"FileInUse") + u" " + session;
  const std::vector<std::u16string> told = {Forms(u"SessionNotSavedAtClose") + u"\n" + inUse,
                                            Forms(u"ConfigNotSaved") + u"\n" + configPath + u": " + Forms(u"FileDamaged")};
  Host.LogNotes.clear();
  Startup->Shutdown();
  ::close(lock);
  EXPECT_EQ(LanguageService(), nullptr);
  EXPECT_EQ(Host.Errors, told);
  EXPECT_EQ(Host.LogNotes, (std::vector<std::u16string>{u"Session not saved: " + inUse, told[1]}));
  for (const std::u16string& text : Host.Errors) EXPECT_EQ(text.find(LangMissingText), std::u16string::npos);
}

// After the close's rescue the shutdown's failed save gives no advice that
// can't be followed any more: it names the file Save As kept the job in,
// or says that the user chose to close without keeping it.
class ShutdownAfterTheCloseQuestion : public ShutdownTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ShutdownAfterTheCloseQuestion, SaysWhereTheJobIsOrThatItWasLeftUnsaved) {
  const bool savedAs = GetParam();
  TLanguageService language;
  ASSERT_TRUE(language.Open(u"" ZELTO_LANGUAGE_FILE));
  SetLanguageService(&language);
  Host.Language = &language;
  StartInDemo();
  Startup->FinishStart(Texts, {});
  std::filesystem::create_directory(DataFile("!session.daqsession"));  // the data folder takes no save
  // What the close's Save As hands the save of the job, or the close
  // without it.
  TJobSaveReport closing;
  const std::u16string rescued = rtl::Utf8ToUtf16(DataFolder + "/rescued.daqsession");
  if (savedAs) closing.SavedAs = rescued;
  ASSERT_FALSE(SaveJob(*TheCore, closing));
  EXPECT_EQ(TheCore->JobUnsaved, savedAs ? 0 : 1);
  const std::u16string head =
      savedAs ? Forms(u"SessionKeptInChosenFile") + u"\n" + rescued : Forms(u"SessionLeftUnsaved");
  const std::u16string advice = Forms(u"SessionNotSaved");
  Startup->Shutdown();
  ASSERT_EQ(Host.Errors.size(), 1u);
  EXPECT_EQ(Host.Errors[0].rfind(head + u"\n" + DataFile("!session.daqsession").u16string() + u": ", 0), 0u)
      << rtl::Utf16ToUtf8(Host.Errors[0]);
  EXPECT_EQ(Host.Errors[0].find(advice), std::u16string::npos);
}

INSTANTIATE_TEST_SUITE_P(SavedAsOrNot, ShutdownAfterTheCloseQuestion, ::testing::Bool());

TEST_F(ShutdownTest, ShutdownRunsInItsFixedOrder) {
  StartInDemo();
  Startup->FinishStart(Texts, {});
  std::filesystem::remove(DataFile("!session.daqsession"));
  Host.Events.clear();
  Fake->Calls.clear();
  bool sessionBeforeLog = true, configBeforeLog = true;
  Host.OnLog = [&](uint8_t) {
    sessionBeforeLog = std::filesystem::exists(DataFile("!session.daqsession"));
    configBeforeLog = std::filesystem::exists(DataFile("Kalvenor.ini"));
  };
  Startup->Shutdown();
  EXPECT_TRUE(sessionBeforeLog);
  EXPECT_TRUE(configBeforeLog);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"close language", "log 1"}));
  ASSERT_TRUE(std::filesystem::exists(DataFile("!session.daqsession")));
  ASSERT_TRUE(std::filesystem::exists(DataFile("Kalvenor.ini")));
  EXPECT_LE(std::filesystem::last_write_time(DataFile("!session.daqsession")),
            std::filesystem::last_write_time(DataFile("Kalvenor.ini")));
  EXPECT_EQ(Fake->Calls, (std::vector<std::string>{"_FreeDevice", "_FreeDriver"}));
  EXPECT_EQ(TheCore, nullptr);
  EXPECT_FALSE(ShlwapiLoaded());
  EXPECT_FALSE(Startup->Started());
}

// The shutdown is the last chance to save the job: its failure is shown
// even when an earlier failure was shown already, and logged before the
// close, in the order things happened. A folder in the document's place
// stops the save.
TEST_F(ShutdownTest, TheLastSaveFailingIsAlwaysShownAndLoggedBeforeTheClose) {
  StartInDemo();
  Startup->FinishStart(Texts, {});
  std::filesystem::create_directory(DataFile("!session.daqsession"));
  std::vector<std::u16string> shown;
  ASSERT_FALSE(SaveJob(*TheCore, {[&](const std::u16string& text) { shown.push_back(text); }, {}}));
  ASSERT_EQ(shown.size(), 1u);
  Host.LogNotes.clear();
  size_t notesAtClose = 0;
  Host.OnLog = [&](uint8_t kind) {
    if (kind == LogApplicationClose) notesAtClose = Host.LogNotes.size();
  };
  Startup->Shutdown();
  EXPECT_EQ(Host.Errors, shown);
  ASSERT_EQ(Host.LogNotes.size(), 1u);
  EXPECT_NE(Host.LogNotes[0].find(u"Session not saved"), std::u16string::npos);
  EXPECT_EQ(notesAtClose, 1u) << "the failure is logged before the close";
}

// What the shutdown's save found on the way though it went on (the pair
// another program had written, kept aside) is a warning in the system's
// box, not an error: nothing failed.
TEST_F(ShutdownTest, APairKeptAsideByTheLastSaveIsAWarning) {
  StartInDemo();
  Startup->FinishStart(Texts, {});
  ASSERT_EQ(TheCore->SaveSession(), TZelto::sfrDone);
  {
    TZelto other;
    other.BuffLength = TheCore->BuffLength;
    ASSERT_EQ(other.LoadSession(), TZelto::sfrDone);
    other.Results[0].Meas.AmplA = 700;
    ASSERT_EQ(other.SaveSession(), TZelto::sfrDone);
  }
  const std::u16string heading = PairNoticeTexts().KeptAside + u"\n";
  Startup->Shutdown();
  EXPECT_TRUE(Host.Errors.empty());
  ASSERT_EQ(Host.Warnings.size(), 1u);
  EXPECT_EQ(Host.Warnings[0].rfind(heading, 0), 0u) << rtl::Utf16ToUtf8(Host.Warnings[0]);
  EXPECT_NE(Host.Warnings[0].find(u"(changed elsewhere "), std::u16string::npos);
}

TEST_F(ShutdownTest, CloseDuringACaptureStopsItBeforeFreeingAnything) {
  TInstantClock clock;
  SetCaptureClock(&clock);
  TEndRecorder workspace(Host);
  WindowServices().Balancing = &workspace;
  StartInDemo();
  Startup->FinishStart(Texts, {});
  Host.Events.clear();
  ASSERT_TRUE(StartBalancingCapture(*TheCore));
  Startup->Shutdown();
  EXPECT_EQ(BalThread, nullptr);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"capture end", "close language", "log 1"}));
  EXPECT_EQ(TheCore, nullptr);
  WindowServices().Balancing = nullptr;
  SetCaptureClock(nullptr);
}

// Exit while the device's transfer does not end: the workspace's close gives
// up at the limit, and neither the workspace's destruction nor the shutdown
// waits for the capture again (what waits shows in what it serves: the
// destruction's wait serves nothing and shows nothing, the shutdown serves no
// hand-over that another thread keeps queued all through it), the capture is
// reported left once, and the core and the driver stay for it, also through
// the start-up window's destruction.
TEST_F(ShutdownTest, ExitDuringABlockedTransferWaitsTheLimitOnce) {
  TInstantClock clock;
  SetCaptureClock(&clock);
  StartInDemo();
  Startup->FinishStart(Texts, {});
  testsupport::TBlockingTransfer device(*TheCore);
  ASSERT_TRUE(StartBalancingCapture(*TheCore));
  ASSERT_TRUE(testsupport::ServeUntil([] { return testsupport::TBlockingTransfer::InTransfer.load(); }));
  Host.Events.clear();
  int reportsLeft = 0, waitsAfterTheClose = 0;
  TCaptureStopWait workspaceWait;
  workspaceWait.ReportLeft = [&reportsLeft] { ++reportsLeft; };
  EXPECT_FALSE(StopCaptureAndWait(workspaceWait));  // the workspace's close
  workspaceWait.ShowStopping = [&waitsAfterTheClose] { ++waitsAfterTheClose; };
  workspaceWait.ServeWindow = [&waitsAfterTheClose] { ++waitsAfterTheClose; };
  EXPECT_FALSE(StopCaptureAndWait(workspaceWait));  // its destruction
  testsupport::TSynchronizeProbe shutdown;
  Startup->Shutdown();
  EXPECT_EQ(shutdown.End(), 0);
  EXPECT_EQ(waitsAfterTheClose, 0);
  EXPECT_EQ(reportsLeft, 1);
  EXPECT_EQ(Host.Events, (std::vector<std::string>{"close language", "log 1"}));
  EXPECT_NE(TheCore, nullptr);
  EXPECT_NE(BalThread, nullptr);
  // The start-up window's destruction at the application's end: the core and
  // the driver stay for the capture's thread.
  Fake->Calls.clear();
  Startup->Abandon();
  EXPECT_NE(TheCore, nullptr);
  EXPECT_EQ(Fake->Calls, std::vector<std::string>{});
  device.Release();
  EXPECT_TRUE(testsupport::ServeUntil([] { return !CaptureThreadRuns(); }));
  SetCaptureClock(nullptr);
}
