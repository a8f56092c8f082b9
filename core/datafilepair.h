#pragma once
// A document and its raw sample file (a session, an asynchronous capture),
// replaced as one pair. The document records the byte count and checksum of
// its raw file. A save writes the new raw file and moves it to a pending
// name of its own beside the old one, then puts the new document in place,
// and only then moves the new raw file over the old one. A reader takes
// whichever of the raw files matches the document. So a crash at any moment
// of a save leaves either the old pair or the new one, never the values of
// one save with the samples of another.
//
// The writers and readers of one pair, in this process or another, exclude
// each other through a lock file beside the raw file: a save holds it from
// its start to its end, a load while it reads the document and picks the
// raw file. A lock that stays taken (a writer that hangs) is waited on for a
// few seconds only: a save then fails, a load reads without it, which is
// safe since a pair on disk is always whole or refused. On a file system
// that keeps no locks (a network share without its lock service) both go
// on without it, for the same reason; no lock file is left there.
//
// A save never replaces a pair that changed on disk since this program
// last read or wrote it (TPairLedger): that pair was written by another
// program, and is kept under names that say so. It is given those names
// only once the new pair is written whole, beside the names it has, so at
// every moment one of the pairs is in place and the other, once named,
// whole; a save that fails before its document is in place takes the new
// names back, and the other program's pair stays as it was.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "filereason.h"
#include "pairledger.h"
#include "rawsamplefile.h"
#include "xmlinifile.h"

namespace datafile {

// The reason a pair could not be saved when another reader or writer, in
// this program or another, kept its lock; beside the system's error numbers,
// rtl::NotRegularFileError and rtl::LinkRefusedError, and distinct from each.
inline constexpr int PairInUseError = 0x10002;

class TPairLock {
 public:
  enum class TUse { Read, Write };
  TPairLock(std::u16string_view rawPath, TUse use);
  ~TPairLock();
  TPairLock(const TPairLock&) = delete;
  TPairLock& operator=(const TPairLock&) = delete;

  // False when another reader or writer kept the pair for too long, or the
  // lock file could not be opened or locked (a folder no one may write in).
  // True also on a file system without locks, where nothing is locked.
  bool Held() const { return Fd >= 0 || WithoutLocks; }
  // Held on a file system that keeps no locks.
  bool HeldWithoutLocks() const { return WithoutLocks; }
  // Why it is not held: PairInUseError, or the system's error number of
  // opening or locking the lock file (a missing folder, no permission), or
  // rtl::LinkRefusedError for a lock name that is a symbolic link. Held
  // without locks, the system's answer to the lock (ENOLCK).
  int ErrorNumber() const { return Error; }

 private:
  std::string Path;
  int Fd = -1;
  int Error = 0;
  bool WithoutLocks = false;
};

// The size of a raw file that holds `blocks` blocks of `blockLength`
// samples, as the document's layout states it.
uint64_t RawFileBytes(uint64_t blocks, int32_t blockLength);

enum class TRawFileState {
  Matching,    // the raw file the document recorded, or one of a document without a record
  Missing,     // no raw file
  Foreign,     // a raw file from another save, or one whose size the layout can't have
  Unreadable,  // a raw file that can't be read (a folder, a pipe, no permission)
};

// Opens in `raw` the raw file that goes with `document`, whose record is in
// `section` and whose layout asks for `layoutBytes`. A raw file of another
// size is refused before any of it is read, with or without a record. When
// the raw file at `rawPath` doesn't match but a pending one does (a save
// stopped after its document was in place), the pending file takes the raw
// file's place. A document written before the record was kept takes the
// raw file of the right size as it is. The caller holds a TPairLock for
// reading while it reads the document and calls this.
TRawFileState OpenRawFileFor(const XmlIniFile& document, std::u16string_view section,
                             std::u16string_view rawPath, uint64_t layoutBytes, TRawSampleReader& raw);

// Why the file at `path` can't be opened for reading, as OpenRegularFile
// tells it: for a raw file found Unreadable; 0 when it can be opened.
int ReadErrorOf(std::u16string_view path);

// The pending raw files beside the native `rawPath`: the shared name of
// earlier versions, then the names a writer owns. Whoever moves a raw file
// elsewhere moves these with it, or the move loses a save under way.
std::vector<std::string> PendingFiles(const std::string& rawPath);
// Those of them that no running writer owns: the shared name of earlier
// versions, and the names of writers that have ended. What a save left
// that never finished; a file of a running writer (another instance) is
// not among them.
std::vector<std::string> LeftoverPendingFiles(const std::string& rawPath);

// Removes what a save stopped while it kept a changed pair aside by
// copying its files (a file system without links) left beside the pair at
// `documentPath` and `rawPath`: the temporary files of the copies, once
// their writer has ended. Every save of the pair does so first, and the
// start for the automatic pair; the pairs kept aside are not touched.
void RemoveInterruptedKeepAsides(std::u16string_view documentPath, std::u16string_view rawPath);

// A load's first step on a pair, taken while the caller holds the pair's
// read lock: opens the document at `documentPath`, refusing one whose raw
// file is the document itself (one name, or two names of one file), one
// that can't be read, and a missing document beside a raw or pending file
// (what is left of a pair whose document was lost or moved away: taken for
// no pair at all, the next save would write an empty job over the samples).
// False with the file and why in `failure`.
// `onDisk` gets the document's bytes as they are on disk (nothing for a
// document that is not there), which the caller remembers in its ledger
// once the load has succeeded, and only then.
bool OpenPairDocument(const std::u16string& documentPath, const std::u16string& rawPath, std::u16string_view root,
                      XmlIniFile& document, TFileReason& failure, std::optional<std::string>& onDisk);

class TDataFilePairWriter {
 public:
  enum class TResult { Done, RawFailed, DocumentFailed };

  // Takes the pair's lock; completes or discards what an interrupted save
  // of the pair left (the document at `documentPath`, with root `root`,
  // decides); then starts the new raw file. `section` holds the record in
  // the document.
  TDataFilePairWriter(std::u16string_view documentPath, std::u16string_view root, std::u16string_view section,
                      std::u16string_view rawPath, TPairLedger& ledger);
  // A save that ends without its document in place (a failure, an
  // exception) leaves nothing of its own: its pending raw file goes, and
  // the names it gave another program's pair.
  ~TDataFilePairWriter();
  TDataFilePairWriter(const TDataFilePairWriter&) = delete;
  TDataFilePairWriter& operator=(const TDataFilePairWriter&) = delete;

  // False also when the document and the raw file are one file (the same
  // name, or two names the file system resolves to one file): such a pair
  // can't hold both, and is never written.
  bool IsOpen() const { return Distinct && Lock.Held() && Raw.IsOpen() && FFailure.File.empty(); }
  void WriteBlock(std::span<const int32_t> samples, int32_t length) { Raw.WriteBlock(samples, length); }
  // Records the raw file in `document`, then replaces the pair: the raw
  // file to its pending name and the document written beside the old one;
  // the pair on disk kept aside when its document is not the one `ledger`
  // remembers (another program wrote it since); then the document into
  // place, and the raw file. A pair that must go aside but can't is not
  // replaced.
  TResult Commit(XmlIniFile& document);
  // Why the pair could not be opened or replaced: the file of the step that
  // failed (the document for a lock another program holds) with
  // PairInUseError or the system's error number; empty while none failed.
  const TFileReason& Failure() const { return FFailure; }
  // The new names of the files of a pair another program had written since
  // this one last read or wrote it, kept by this save; empty when the pair
  // on disk was the remembered one, or when the save failed before it
  // replaced that pair, which then stays in place.
  const std::vector<std::u16string>& KeptAside() const { return FKeptAside; }
  // The pair's folder and the system's answer (ENOLCK) when its file system
  // keeps no locks and the pair was written without one; empty otherwise.
  TFileReason WithoutLocks() const;

 private:
  TResult Replace(std::string_view documentBytes);
  bool KeepChangedPairAside();
  void Abandon();

  std::u16string DocumentPath, Root, Section, RawPath;
  TPairLedger& Ledger;
  TPairLock Lock;
  std::string PendingPath;
  TRawSampleWriter Raw;
  bool Distinct;
  // The raw file has its pending name; the new document is in place.
  bool Pending = false, DocumentInPlace = false;
  TFileReason FFailure;
  std::vector<std::u16string> FKeptAside;
};

}  // namespace datafile
