// zelto-prepare-demo: writes the demo sensor pair into the per-user data
// folder and names it in the automatic session, so the program's next start
// can run a demo capture without the set-up dialog. A trial helper, not part
// of the installed program.

#include <cstdio>
#include <string>
#include <vector>

#include "datafilepair.h"
#include "demosensors.h"
#include "instancelock.h"
#include "jobguard.h"
#include "pathbinding.h"
#include "systemerror.h"
#include "textconv.h"
#include "zelto.h"

namespace {

// The file that failed and why, as the program tells it, in the tool's own
// English: it opens no language file. Empty when no file failed (a session
// read without its samples).
std::string FailureText(const TFileReason& failure) {
  if (failure.File.empty()) return {};
  const std::u16string reason = failure.Error == datafile::PairInUseError ? u"another program is using it"
                                : failure.Error == 0                      ? u"the file is damaged"
                                                                          : rtl::SystemErrorText(failure.Error);
  return "\n" + rtl::Utf16ToUtf8(failure.File + u": " + reason);
}

// One line per file.
std::string FileLines(const std::vector<std::u16string>& files) {
  std::string lines;
  for (const std::u16string& file : files) lines += "\n" + rtl::Utf16ToUtf8(file);
  return lines;
}

}  // namespace

int main() {
  if (!LoadShlwapi()) {
    std::fputs("Could not bind the path functions.\n", stderr);
    return 1;
  }
  int result = 0;
  {
    TZelto core;
    TheCore = &core;
    // A running program would save its own job over the one written here.
    // Keep the runs of the last session; a missing one starts empty. One
    // that did not load whole is left as it is rather than saved over.
    // A folder that can't be locked may still have a program running on
    // it: its next save keeps this session aside and says so.
    TInstanceLock lock;
    const TInstanceLock::TResult locked = lock.Acquire(core.AppDataDir);
    if (locked == TInstanceLock::TResult::Unavailable)
      std::fprintf(stderr, "The data folder could not be locked against a running program.%s\n",
                   FailureText({lock.LockPath(), lock.ErrorNumber()}).c_str());
    if (locked == TInstanceLock::TResult::InUse) {
      std::fprintf(stderr, "Another instance of the program is using the data folder %s; nothing was written.\n",
                   rtl::Utf16ToUtf8(core.AppDataDir).c_str());
      result = 1;
    } else if (const TPairAside aside = SettleAutomaticPair(core); !aside.EarlierSessions.empty()) {
      // Written now, an automatic pair would hide where the last saved job
      // lies: the next start names those files only while none is there.
      std::fprintf(stderr,
                   "The last session is not in %s; sessions kept aside earlier are in these files, the latest saved "
                   "first:%s\nNothing was written.\n",
                   rtl::Utf16ToUtf8(core.AppDataDir).c_str(), FileLines(aside.EarlierSessions).c_str());
      result = 1;
    } else if (core.LoadSession() != TZelto::sfrDone) {
      std::fprintf(stderr, "The last session in %s could not be read whole; it was left as it is.%s\n",
                   rtl::Utf16ToUtf8(core.AppDataDir).c_str(), FailureText(core.FileFailure).c_str());
      result = 1;
    } else {
      if (PrepareDemoSensors(core)) {
        std::printf("Demo sensors written to %s\n", rtl::Utf16ToUtf8(core.AppDataDir).c_str());
      } else {
        std::fprintf(stderr, "Could not write the demo sensors into %s%s\n",
                     rtl::Utf16ToUtf8(core.AppDataDir).c_str(), FailureText(core.FileFailure).c_str());
        result = 1;
      }
      if (!aside.LooseSamples.empty())
        std::printf("Sample files of an earlier last session were found kept aside without their document:%s\n",
                    FileLines(aside.LooseSamples).c_str());
      // A save that failed may still have kept the other program's session
      // aside (it failed once its own document was in place).
      if (!core.PairKeptAside.empty()) {
        std::printf("Another program had changed the last session since it was read; it was kept as:\n");
        for (const std::u16string& file : core.PairKeptAside) std::printf("%s\n", rtl::Utf16ToUtf8(file).c_str());
      }
    }
  }
  FreeShlwapi();
  return result;
}
