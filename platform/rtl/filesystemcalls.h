#pragma once
// The calls whose answer depends on the file system a file lives on rather
// than on the program: locking a file (flock), setting its permission bits
// (fchmod) and giving it a further name (link). A network share without its
// lock service answers a lock with ENOLCK, a FAT stick has no permission
// bits and no links, and a file system shared by two machines may grant a
// lock that locks nothing. Every lock, permission change and link of the
// system goes through here, so the rule of what such an answer means lives
// in one place; a test stands in for such a file system by replacing the
// call.

#include <sys/types.h>

namespace rtl {

enum class TLockResult {
  Locked,   // this open file holds the lock now
  Busy,     // another holder has it (EWOULDBLOCK)
  NoLocks,  // the file system keeps no locks (ENOLCK and its kin)
  Failed,   // any other failure; its error number is given
};

// Takes the flock `operation` (LOCK_SH or LOCK_EX) on `fd` without waiting;
// a call cut short by a signal is made again. `error` holds the system's
// error number of every result but Locked.
TLockResult TryLockFile(int fd, int operation, int& error);

// Sets the permission bits of the open file. 0 when they were set or the
// file system has none to set (ENOSYS, EOPNOTSUPP, and EPERM from the
// owner of the file on a file system without modes); else the system's
// error number.
int SetFileMode(int fd, mode_t mode);

// Gives the file at the native path `from` the further name `to` (a hard
// link). 0, or the system's error number: where the file system has no
// links, EPERM or EOPNOTSUPP among others.
int AddLink(const char* from, const char* to);

// The calls made in their place, for a test that stands in for another file
// system; nullptr puts the system's call back. Set while no other thread
// locks, sets modes or links.
using TFlockCall = int (*)(int fd, int operation);
using TFchmodCall = int (*)(int fd, mode_t mode);
using TLinkCall = int (*)(const char* from, const char* to);
void SetFlockCall(TFlockCall call);
void SetFchmodCall(TFchmodCall call);
void SetLinkCall(TLinkCall call);

}  // namespace rtl
