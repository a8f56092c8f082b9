#include "datafilepair.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <thread>

#include "datafilevalues.h"
#include "filesystemcalls.h"
#include "folders.h"
#include "pathbinding.h"
#include "pathfunctions.h"
#include "regularfile.h"
#include "replacementfile.h"
#include "textconv.h"

namespace datafile {

// A reason is told by its number: one number, one reason.
static_assert(PairInUseError != rtl::NotRegularFileError && PairInUseError != rtl::LinkRefusedError &&
              PairInUseError != RateNotListedError && RateNotListedError != rtl::NotRegularFileError &&
              RateNotListedError != rtl::LinkRefusedError);

namespace {

constexpr std::u16string_view BytesKey = u"DataBytes";
constexpr std::u16string_view ChecksumKey = u"DataChecksum";

// A raw file waiting for its document: the raw file's name, this marker and
// the name's owner (replacementfile.h). Earlier versions used the raw
// file's name and the marker alone; such a file is still taken.
constexpr std::string_view PendingMarker = ".pending";
constexpr std::array<std::string_view, 1> PendingMarkers = {PendingMarker};

// How long a save or a load waits for another one of the same pair. A save
// of the largest job takes well below it; a writer that holds the lock
// longer has hung.
constexpr auto LockPatience = std::chrono::seconds(5);
constexpr auto LockRetry = std::chrono::milliseconds(5);

// The byte count as the document stores it: lowercase hexadecimal, like
// every integer of the documents, but 64 bits wide.
std::u16string ByteCountText(uint64_t count) {
  std::array<char, 20> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), count, 16).ptr;
  return std::u16string(digits.data(), end);
}

std::optional<uint64_t> ParseByteCount(std::u16string_view text) {
  if (text.empty() || text.size() > 16) return std::nullopt;
  std::string narrow;
  for (const char16_t c : text) {
    if (c > 0x7F) return std::nullopt;
    narrow += static_cast<char>(c);
  }
  uint64_t value = 0;
  const auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value, 16);
  if (result.ec != std::errc() || result.ptr != narrow.data() + narrow.size()) return std::nullopt;
  return value;
}

// What a document says of its raw file. Documents written before the
// checksum was kept have the byte count only, older ones neither.
struct TRawRecord {
  bool HasBytes = false;
  std::optional<uint64_t> Bytes;  // empty with HasBytes: a count that is no number
  std::optional<uint32_t> Checksum;

  // Sizes first: a file of a wrong size is refused without reading it.
  bool Matches(const TRawSampleReader& raw, std::optional<uint64_t> layoutBytes) const {
    if (layoutBytes && raw.Size() != *layoutBytes) return false;
    if (HasBytes && Bytes != raw.Size()) return false;
    return !Checksum || raw.Checksum() == Checksum;
  }
};

TRawRecord RecordOf(const XmlIniFile& document, std::u16string_view section) {
  TRawRecord record;
  record.HasBytes = HasKey(document, section, BytesKey);
  if (record.HasBytes) record.Bytes = ParseByteCount(document.ReadString(section, BytesKey, u""));
  if (HasKey(document, section, ChecksumKey))
    record.Checksum = static_cast<uint32_t>(document.ReadInteger(section, ChecksumKey, 0));
  return record;
}

// Only a document that holds a checksum can have a pending raw file of its
// own: every save that writes one records it.
bool TakePending(const TRawRecord& record, std::u16string_view rawPath, std::optional<uint64_t> layoutBytes,
                 TRawSampleReader& raw) {
  if (!record.Checksum) return false;
  const std::string nativeRaw = rtl::NativePath(rawPath);
  for (const std::string& path : PendingFiles(nativeRaw)) {
    TRawSampleReader pending;
    if (!pending.Open(rtl::Utf8ToUtf16(path)) || !record.Matches(pending, layoutBytes)) continue;
    // Moved into place, the pair is an ordinary pair again; where that fails
    // (a read-only folder) the pending file is read where it stands.
    MoveIntoPlace(path, nativeRaw);
    raw = std::move(pending);
    return true;
  }
  return false;
}

TRawFileState ChooseRawFile(const TRawRecord& record, std::u16string_view rawPath,
                            std::optional<uint64_t> layoutBytes, TRawSampleReader& raw) {
  TRawFileState state = TRawFileState::Missing;
  if (raw.Open(rawPath)) {
    if (record.Matches(raw, layoutBytes)) return TRawFileState::Matching;
    state = TRawFileState::Foreign;
  } else if (Shlwapi.PathFileExistsW(rawPath)) {
    state = TRawFileState::Unreadable;
  }
  if (TakePending(record, rawPath, layoutBytes, raw)) return TRawFileState::Matching;
  raw = TRawSampleReader();
  return state;
}

// What earlier saves left: the pending file of earlier versions, which only
// ever had one writer at a time, and those whose writer has ended.
void RemoveLeftoverPending(const std::string& rawPath) {
  for (const std::string& path : LeftoverPendingFiles(rawPath)) ::unlink(path.c_str());
}

// ---- the lock ----

// The lock file has a name anyone can predict, in folders others may write
// in: a link planted under it is refused (rtl::LinkRefusedError), never
// followed, so no lock is ever created or locked elsewhere.
int OpenLockFile(const std::string& path, TPairLock::TUse use, int& error) {
  const int fd = rtl::OpenRegularFile(path, O_RDWR | O_CREAT | O_NOFOLLOW, error, 0666);
  // A reader in a folder it may not write in still finds a writer's lock.
  if (fd >= 0 || use == TPairLock::TUse::Write || error == rtl::LinkRefusedError) return fd;
  return rtl::OpenRegularFile(path, O_RDONLY | O_NOFOLLOW, error);
}

// The lock file is removed by its last holder; a lock taken on a removed
// file while waiting for it locks nothing and is taken again.
bool IsCurrent(int fd, const std::string& path) {
  struct stat held {}, current {};
  return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &current) == 0 && held.st_dev == current.st_dev &&
         held.st_ino == current.st_ino;
}

rtl::TLockResult LockUntil(int fd, int operation, std::chrono::steady_clock::time_point deadline, int& error) {
  for (;;) {
    const rtl::TLockResult result = rtl::TryLockFile(fd, operation, error);
    if (result != rtl::TLockResult::Busy || std::chrono::steady_clock::now() >= deadline) return result;
    std::this_thread::sleep_for(LockRetry);
  }
}

// ---- a pair changed by another program ----

// A document larger than this is no document of ours; XmlIniFile refuses
// it too.
constexpr uint64_t MaxDocumentBytes = XmlIniFile::MaxFileBytes;

// The document's bytes as they are on disk; nothing when it is not there or
// can't be read, which tells nothing of who wrote it.
std::optional<std::string> DocumentOnDisk(std::u16string_view path) {
  std::string bytes;
  int error = 0;
  if (!rtl::ReadRegularFile(path, MaxDocumentBytes, bytes, error)) return std::nullopt;
  return bytes;
}

std::u16string TwoDigits(int n) { return rtl::AsciiToUtf16((n < 10 ? "0" : "") + std::to_string(n)); }

// How the names of a changed pair kept aside begin after the name's stem.
constexpr std::u16string_view ChangedTagStart = u" (changed elsewhere ";

// " (changed elsewhere yyyy-mm-dd hh-mm-ss)" in local time, with a count
// for the n-th pair kept aside within one second; no colons, which some
// file systems refuse.
std::u16string ChangedTag(const std::tm& t, int n) {
  std::u16string tag = std::u16string(ChangedTagStart) + rtl::AsciiToUtf16(std::to_string(t.tm_year + 1900)) + u"-" +
                       TwoDigits(t.tm_mon + 1) + u"-" + TwoDigits(t.tm_mday) + u" " + TwoDigits(t.tm_hour) + u"-" +
                       TwoDigits(t.tm_min) + u"-" + TwoDigits(t.tm_sec);
  if (n > 1) tag += u" " + rtl::AsciiToUtf16(std::to_string(n));
  return tag + u")";
}

// The path with `tag` put before its extension.
std::u16string Tagged(const std::u16string& path, const std::u16string& tag) {
  const std::u16string_view extension = rtl::PathFindExtensionW(path);
  return path.substr(0, path.size() - extension.size()) + tag + std::u16string(extension);
}

std::u16string FolderOf(std::u16string_view path) {
  const size_t slash = path.rfind(u'/');
  return std::u16string(slash == std::u16string_view::npos ? u"." : path.substr(0, slash + 1));
}

// The file that holds the samples of the document `bytes`: the raw file, or
// a pending one that another writer has not moved into place yet, never
// `own` (this save's). The raw file as it is when none matches (a document
// without a record, or none at all).
std::u16string RawFileOf(std::string_view bytes, std::u16string_view root, std::u16string_view section,
                         const std::u16string& rawPath, const std::string& own) {
  XmlIniFile document;
  document.Open(u"", root, false);
  if (!document.Parse(bytes)) return rawPath;
  const TRawRecord record = RecordOf(document, section);
  const std::string nativeRaw = rtl::NativePath(rawPath);
  std::vector<std::string> candidates = {nativeRaw};
  for (const std::string& pending : PendingFiles(nativeRaw))
    if (pending != own) candidates.push_back(pending);
  for (const std::string& candidate : candidates) {
    TRawSampleReader raw;
    if (raw.Open(rtl::Utf8ToUtf16(candidate)) && record.Matches(raw, std::nullopt)) return rtl::Utf8ToUtf16(candidate);
  }
  return rawPath;
}

// A whole copy of `from` under the new name `to`: written under a temporary
// name and forced to disk before it takes the name. 0, or the system's
// error number of the step that failed.
int CopyAs(const std::u16string& from, const std::u16string& to) {
  int error = 0;
  const int fd = rtl::OpenRegularFile(from, O_RDONLY, error);
  if (fd < 0) return error;
  TReplacementFile copy(to);
  std::vector<char> buffer(1 << 16);
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      break;
    }
    copy.Write(buffer.data(), static_cast<size_t>(n));
  }
  ::close(fd);
  if (error != 0) return error;
  return copy.Finish() && copy.Commit() ? 0 : copy.ErrorNumber();
}

// Gives the file `from` the further name `to`, its own name staying: a hard
// link, or a copy where the file system has none (a FAT stick). 0, or the
// system's error number.
int AddName(const std::u16string& from, const std::u16string& to) {
  const int error = rtl::AddLink(rtl::NativePath(from).c_str(), rtl::NativePath(to).c_str());
  if (error == 0 || error == EEXIST || error == ENOENT) return error;
  return CopyAs(from, to);
}

// What a keep-aside stopped in the middle of a copy (AddName) left beside
// `path`: the temporary file of the copy, beside the name the copy was to
// take, a name with the time in it that no later save writes again. Each
// file named "<name> (changed elsewhere ...)<extension>" and something more
// is a candidate; the replacement's own rule removes only its temporary
// names whose writer has ended, so the files kept aside, the pending raw
// files and a copy another instance is making stay.
void RemoveInterruptedCopies(std::u16string_view path) {
  const std::u16string_view extension = rtl::PathFindExtensionW(path);
  const std::string start = rtl::NativePath(std::u16string(path.substr(0, path.size() - extension.size())) +
                                            std::u16string(ChangedTagStart));
  const std::string end = ")" + rtl::NativePath(extension);
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(start).parent_path(), error)) {
    const std::string name = entry.path().string();
    const size_t at = name.find(end, start.size());
    if (name.compare(0, start.size(), start) == 0 && at != std::string::npos && at + end.size() < name.size())
      RemoveLeftoverTemporaries(name.substr(0, at + end.size()));
  }
}

}  // namespace

int ReadErrorOf(std::u16string_view path) {
  int error = 0;
  const int fd = rtl::OpenRegularFile(path, O_RDONLY, error);
  if (fd >= 0) ::close(fd);
  return error;
}

void RemoveInterruptedKeepAsides(std::u16string_view documentPath, std::u16string_view rawPath) {
  RemoveInterruptedCopies(documentPath);
  RemoveInterruptedCopies(rawPath);
}

std::vector<std::string> PendingFiles(const std::string& rawPath) {
  std::vector<std::string> pending;
  if (::access((rawPath + std::string(PendingMarker)).c_str(), F_OK) == 0)
    pending.push_back(rawPath + std::string(PendingMarker));
  VisitOwnedNames(rawPath, PendingMarkers, [&pending](const std::string& path, bool) { pending.push_back(path); });
  return pending;
}

std::vector<std::string> LeftoverPendingFiles(const std::string& rawPath) {
  std::vector<std::string> leftover;
  if (::access((rawPath + std::string(PendingMarker)).c_str(), F_OK) == 0)
    leftover.push_back(rawPath + std::string(PendingMarker));
  VisitOwnedNames(rawPath, PendingMarkers, [&leftover](const std::string& path, bool writerGone) {
    if (writerGone) leftover.push_back(path);
  });
  return leftover;
}

bool OpenPairDocument(const std::u16string& documentPath, const std::u16string& rawPath, std::u16string_view root,
                      XmlIniFile& document, TFileReason& failure, std::optional<std::string>& onDisk) {
  failure = {documentPath, 0};
  if (documentPath.empty()) return false;
  onDisk = DocumentOnDisk(documentPath);
  if (rtl::SameFile(rawPath, documentPath)) return false;
  if (!document.Open(documentPath, root, true)) {
    failure.Error = document.LoadErrorNumber();
    return false;
  }
  const bool rawWithoutDocument = !rtl::FileExists(documentPath) &&
                                  (rtl::FileExists(rawPath) || !PendingFiles(rtl::NativePath(rawPath)).empty());
  if (rawWithoutDocument) failure.Error = ENOENT;
  return !rawWithoutDocument;
}

TPairLock::TPairLock(std::u16string_view rawPath, TUse use) : Path(rtl::NativePath(rawPath) + ".lock") {
  const auto deadline = std::chrono::steady_clock::now() + LockPatience;
  const int operation = use == TUse::Read ? LOCK_SH : LOCK_EX;
  for (;;) {
    const int fd = OpenLockFile(Path, use, Error);
    if (fd < 0) return;
    int error = 0;
    const rtl::TLockResult result = LockUntil(fd, operation, deadline, error);
    if (result == rtl::TLockResult::Locked && IsCurrent(fd, Path)) {
      Fd = fd;
      Error = 0;
      return;
    }
    if (result == rtl::TLockResult::NoLocks || result == rtl::TLockResult::Failed) {
      // Nobody can hold a lock that can't be taken: the file goes, so the
      // folder keeps no trace of it. Without locks the pair goes on as
      // without a lock that stays taken, and is as safe; any other failure
      // is told with the system's reason.
      if (IsCurrent(fd, Path)) ::unlink(Path.c_str());
      ::close(fd);
      WithoutLocks = result == rtl::TLockResult::NoLocks;
      Error = error;
      return;
    }
    ::close(fd);
    if (result == rtl::TLockResult::Busy || std::chrono::steady_clock::now() >= deadline) {
      Error = PairInUseError;
      return;
    }
  }
}

TPairLock::~TPairLock() {
  if (Fd < 0) return;
  // The last one out removes the lock file, so the pair's folder keeps no
  // trace of it. Only a holder of the exclusive lock may: nobody else holds
  // it then, and whoever waits on the removed file takes a new one.
  if (::flock(Fd, LOCK_EX | LOCK_NB) == 0 && IsCurrent(Fd, Path)) ::unlink(Path.c_str());
  ::close(Fd);
}

uint64_t RawFileBytes(uint64_t blocks, int32_t blockLength) {
  return blocks * static_cast<uint64_t>(std::max(blockLength, 0)) * sizeof(int32_t);
}

TRawFileState OpenRawFileFor(const XmlIniFile& document, std::u16string_view section,
                             std::u16string_view rawPath, uint64_t layoutBytes, TRawSampleReader& raw) {
  return ChooseRawFile(RecordOf(document, section), rawPath, layoutBytes, raw);
}

TDataFilePairWriter::TDataFilePairWriter(std::u16string_view documentPath, std::u16string_view root,
                                         std::u16string_view section, std::u16string_view rawPath,
                                         TPairLedger& ledger)
    : DocumentPath(documentPath), Root(root), Section(section), RawPath(rawPath), Ledger(ledger),
      Lock(rawPath, TPairLock::TUse::Write), PendingPath(OwnedName(rtl::NativePath(rawPath), PendingMarker)),
      Raw(rawPath), Distinct(!rtl::SameFile(documentPath, rawPath)) {
  if (!Distinct) {
    // The raw file's name is the document's own file: it already exists.
    FFailure = {RawPath, EEXIST};
    return;
  }
  if (!Lock.Held()) {
    FFailure = {DocumentPath, Lock.ErrorNumber()};
    return;
  }
  if (!Raw.IsOpen()) {
    FFailure = {RawPath, Raw.Replacement().ErrorNumber()};
    return;
  }
  RemoveInterruptedKeepAsides(DocumentPath, RawPath);
  // A pending raw file that the document in place recorded is moved into
  // place before the new save; any other whose writer has ended is what a
  // save left that never got its document in place.
  const std::string nativeRaw = rtl::NativePath(RawPath);
  if (PendingFiles(nativeRaw).empty()) return;
  XmlIniFile current;
  TRawSampleReader ignored;
  if (current.Open(DocumentPath, root, true)) ChooseRawFile(RecordOf(current, Section), RawPath, std::nullopt, ignored);
  RemoveLeftoverPending(nativeRaw);
}

TDataFilePairWriter::~TDataFilePairWriter() { Abandon(); }

// Whatever the locks did (a file system whose locks lock nothing, a second
// program instance that could not be kept out), a pair whose document is
// not the one this program last read or wrote was written by another
// program since: its document and the raw file that holds its samples get
// names that say so, beside the names they have, so that the pair stays
// whole where it is until the new document replaces it, and is whole under
// its new names from then on. Called once the new pair is written. False,
// with nothing kept, when a name could not be given.
bool TDataFilePairWriter::KeepChangedPairAside() {
  const std::optional<std::string>* remembered = Ledger.Recall(DocumentPath);
  if (!remembered) return true;
  const std::optional<std::string> current = DocumentOnDisk(DocumentPath);
  if (!current || current == *remembered) return true;
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  localtime_r(&now, &local);
  std::u16string tag = ChangedTag(local, 1);
  for (int n = 2; rtl::FileExists(Tagged(DocumentPath, tag)) || rtl::FileExists(Tagged(RawPath, tag)); ++n)
    tag = ChangedTag(local, n);
  const std::pair<std::u16string, std::u16string> names[] = {
      {RawFileOf(*current, Root, Section, RawPath, PendingPath), Tagged(RawPath, tag)},
      {DocumentPath, Tagged(DocumentPath, tag)}};
  for (const auto& [from, to] : names) {
    if (!rtl::FileExists(from)) continue;
    if (const int error = AddName(from, to); error != 0) {
      FFailure = {from, error};
      Abandon();
      return false;
    }
    FKeptAside.push_back(to);
    // Each name is on disk before the next step, and all of them before the
    // new document can replace the old.
    rtl::SyncFolder(rtl::NativePath(FolderOf(DocumentPath)));
  }
  return true;
}

// Before the new document is in place, the names given to the pair on disk
// are further names of files still in place, and the pending raw file is
// this save's alone: both go.
void TDataFilePairWriter::Abandon() {
  if (DocumentInPlace) return;
  std::vector<std::u16string> left;
  for (const std::u16string& name : FKeptAside)
    if (!rtl::DeleteFile(name)) left.push_back(name);
  FKeptAside = std::move(left);
  if (Pending) ::unlink(PendingPath.c_str());
  Pending = false;
}

TFileReason TDataFilePairWriter::WithoutLocks() const {
  if (!Lock.HeldWithoutLocks()) return {};
  return {FolderOf(DocumentPath), Lock.ErrorNumber()};
}

TDataFilePairWriter::TResult TDataFilePairWriter::Commit(XmlIniFile& document) {
  document.WriteString(Section, BytesKey, ByteCountText(Raw.Size()));
  document.WriteInteger(Section, ChecksumKey, static_cast<int32_t>(Raw.Checksum()));
  return Replace(document.Serialize());
}

TDataFilePairWriter::TResult TDataFilePairWriter::Replace(std::string_view documentBytes) {
  TReplacementFile& raw = Raw.Replacement();
  if (!IsOpen()) return TResult::RawFailed;
  if (!raw.Finish() || !raw.CommitAs(PendingPath)) {
    FFailure = {RawPath, raw.ErrorNumber()};
    return TResult::RawFailed;
  }
  Pending = true;
  // The new pair is written whole before anything of the pair on disk
  // changes; until the document takes its place, a failure leaves the old
  // pair as it was.
  TReplacementFile newDocument(DocumentPath);
  newDocument.Write(documentBytes);
  if (!newDocument.Finish()) {
    FFailure = {DocumentPath, newDocument.ErrorNumber()};
    Abandon();
    return TResult::DocumentFailed;
  }
  if (!KeepChangedPairAside()) return TResult::RawFailed;
  if (!newDocument.Commit()) {
    FFailure = {DocumentPath, newDocument.ErrorNumber()};
    Abandon();
    return TResult::DocumentFailed;
  }
  DocumentInPlace = true;
  Ledger.Remember(DocumentPath, std::string(documentBytes));
  // Two names that did not both exist before may turn out one entry now
  // that the document is there (a name in another case on a FAT stick):
  // the raw file's rename would replace the document it belongs to. A link
  // under the raw name is no such case: the rename replaces the link only.
  if (rtl::SameEntry(DocumentPath, RawPath)) {
    ::unlink(PendingPath.c_str());
    FFailure = {RawPath, EEXIST};
    return TResult::RawFailed;
  }
  // From here the new document is in place; should this rename fail, a
  // reader still finds its raw file under the pending name.
  if (MoveIntoPlace(PendingPath, raw.NativeTarget())) return TResult::Done;
  FFailure = {RawPath, errno};
  return TResult::RawFailed;
}

}  // namespace datafile
