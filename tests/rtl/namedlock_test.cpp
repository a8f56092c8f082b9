#include "namedlock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <stdexcept>

#include "folders.h"
#include "tempdir.h"
#include "textconv.h"

namespace {

// A child process that runs `probe` (raw system calls only, as after fork in
// a test process), reports one byte through a pipe and stays alive until it
// is killed or the test process goes away (its end of the hold pipe closes).
class TChild {
 public:
  TChild(char (*probe)(const char* path), const std::string& path) {
    int report[2];
    int hold[2];
    if (pipe(report) != 0 || pipe(hold) != 0) throw std::runtime_error("pipe failed");
    FPid = fork();
    if (FPid == 0) {
      close(report[0]);
      close(hold[1]);
      const char result = probe(path.c_str());
      if (write(report[1], &result, 1) == 1) {
        char ignored;
        while (read(hold[0], &ignored, 1) < 0 && errno == EINTR) {
        }
      }
      _exit(0);
    }
    close(report[1]);
    close(hold[0]);
    FReport = report[0];
    FHold = hold[1];
  }
  ~TChild() {
    Kill();
    close(FReport);
    close(FHold);
  }

  char Result() {
    char result = 0;
    return read(FReport, &result, 1) == 1 ? result : 0;
  }
  // Ends the child the hard way, as a crash would.
  void Kill() {
    if (FPid <= 0) return;
    kill(FPid, SIGKILL);
    waitpid(FPid, nullptr, 0);
    FPid = -1;
  }

 private:
  pid_t FPid = -1;
  int FReport = -1;
  int FHold = -1;
};

char HoldExclusive(const char* path) {
  const int fd = open(path, O_RDWR | O_CREAT, 0666);
  if (fd < 0) return 'E';
  return flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'L' : 'B';
}

char ProbeShared(const char* path) {
  const int fd = open(path, O_RDONLY);
  if (fd < 0) return 'E';
  if (flock(fd, LOCK_SH | LOCK_NB) == 0) return 'F';
  return errno == EWOULDBLOCK ? 'H' : 'E';
}

TEST(NamedLock, SecondLockInSameProcessSeesItHeld) {
  TTempDir dir;
  rtl::TNamedLock first("Sartel_Device_1", dir.Path());
  rtl::TNamedLock second("Sartel_Device_1", dir.Path());
  EXPECT_FALSE(rtl::IsNamedLockHeld("Sartel_Device_1", dir.Path())) << "no file yet";
  ASSERT_TRUE(first.TryAcquire());
  EXPECT_TRUE(first.Held());
  EXPECT_TRUE(first.TryAcquire()) << "already held by this object";
  EXPECT_TRUE(rtl::IsNamedLockHeld("Sartel_Device_1", dir.Path()));
  EXPECT_FALSE(second.TryAcquire());
  EXPECT_FALSE(second.Held());
  EXPECT_FALSE(rtl::IsNamedLockHeld("Sartel_Device_2", dir.Path()));

  first.Release();
  EXPECT_FALSE(rtl::IsNamedLockHeld("Sartel_Device_1", dir.Path()));
  EXPECT_TRUE(second.TryAcquire());
}

TEST(NamedLock, DestructorReleases) {
  TTempDir dir;
  {
    rtl::TNamedLock lock("Device", dir.Path());
    ASSERT_TRUE(lock.TryAcquire());
  }
  EXPECT_FALSE(rtl::IsNamedLockHeld("Device", dir.Path()));
}

TEST(NamedLock, LeftoverFileIsNotHeld) {
  TTempDir dir;
  const std::string path = rtl::NamedLockPath("Device", dir.Path());
  std::ofstream(path) << "left behind";
  EXPECT_FALSE(rtl::IsNamedLockHeld("Device", dir.Path()));
  rtl::TNamedLock lock("Device", dir.Path());
  EXPECT_TRUE(lock.TryAcquire());
}

TEST(NamedLock, HeldByAnotherProcessUntilItDies) {
  TTempDir dir;
  TChild holder(HoldExclusive, rtl::NamedLockPath("Device", dir.Path()));
  ASSERT_EQ(holder.Result(), 'L');
  EXPECT_TRUE(rtl::IsNamedLockHeld("Device", dir.Path()));
  rtl::TNamedLock lock("Device", dir.Path());
  EXPECT_FALSE(lock.TryAcquire());

  holder.Kill();
  EXPECT_FALSE(rtl::IsNamedLockHeld("Device", dir.Path()));
  EXPECT_TRUE(lock.TryAcquire());
}

TEST(NamedLock, AnotherProcessSeesOurLock) {
  TTempDir dir;
  rtl::TNamedLock lock("Device", dir.Path());
  ASSERT_TRUE(lock.TryAcquire());
  TChild held(ProbeShared, rtl::NamedLockPath("Device", dir.Path()));
  EXPECT_EQ(held.Result(), 'H');
  lock.Release();
  TChild free(ProbeShared, rtl::NamedLockPath("Device", dir.Path()));
  EXPECT_EQ(free.Result(), 'F');
}

TEST(NamedLock, NamesMapToDistinctFilesInsideTheFolder) {
  const std::string dir = "/run/locks";
  EXPECT_EQ(rtl::NamedLockPath("Sartel_FTDI.1-a", dir), "/run/locks/Sartel_FTDI.1-a.lock");
  EXPECT_EQ(rtl::NamedLockPath("../x", dir + "/"), "/run/locks/..%2Fx.lock");
  EXPECT_NE(rtl::NamedLockPath("a/b", dir), rtl::NamedLockPath("a%2Fb", dir));
  EXPECT_NE(rtl::NamedLockPath("a/b", dir), rtl::NamedLockPath("a_b", dir));

  const std::string longA(400, 'x');
  const std::string longB = longA + "y";
  const std::string pathA = rtl::NamedLockPath(longA, dir);
  EXPECT_NE(pathA, rtl::NamedLockPath(longB, dir));
  EXPECT_LE(pathA.size() - dir.size() - 1, 255u);
}

TEST(NamedLock, CreatesMissingFolderAndRefusesEmptyName) {
  TTempDir dir;
  const std::string nested = dir.Path() + "/locks/sub";
  rtl::TNamedLock lock("Device", nested);
  EXPECT_TRUE(lock.TryAcquire());
  EXPECT_TRUE(rtl::DirectoryExists(rtl::Utf8ToUtf16(nested)));

  rtl::TNamedLock unnamed("", dir.Path());
  EXPECT_FALSE(unnamed.TryAcquire());
  EXPECT_FALSE(rtl::IsNamedLockHeld("", dir.Path()));
}

TEST(NamedLock, DefaultFolderFromEnvironment) {
  TScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/test");
  {
    TScopedEnv lockDir("SARTEL_LOCK_DIR", "/srv/locks");
    EXPECT_EQ(rtl::DefaultLockDir(), "/srv/locks");
  }
  {
    TScopedEnv lockDir("SARTEL_LOCK_DIR", nullptr);
    EXPECT_EQ(rtl::DefaultLockDir(), "/run/user/test");
    TScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_EQ(rtl::DefaultLockDir(), "/tmp");
  }
}

}  // namespace
