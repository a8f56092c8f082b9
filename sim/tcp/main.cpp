// sim_lodrast_server: the simulated network device for trying the program
// without hardware. It listens on 127.0.0.1 (port 5000 unless --port says
// otherwise; 0 picks a free one) and takes control commands, one per line,
// on the control port (the device port + 1 unless --control-port says
// otherwise). It runs until interrupted.

#include "lodrastserver.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool ReadPort(const char* text, std::uint16_t& port) {
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (!*text || *end || value > 65535) return false;
  port = static_cast<std::uint16_t>(value);
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: sim_lodrast_server [--port N] [--control-port N]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::uint16_t port = 5000;
  std::uint16_t controlPort = 0;
  bool controlGiven = false;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
      if (!ReadPort(argv[++i], port)) return Usage();
    } else if (std::strcmp(argv[i], "--control-port") == 0 && hasValue) {
      if (!ReadPort(argv[++i], controlPort)) return Usage();
      controlGiven = true;
    } else {
      return Usage();
    }
  }
  if (!controlGiven && port != 0 && port != 65535) controlPort = static_cast<std::uint16_t>(port + 1);

  // The server thread inherits the blocked signals, so they reach sigwait.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  sim::TLodrastServer server;
  if (!server.Start(port, true, controlPort)) {
    std::fprintf(stderr, "sim_lodrast_server: %s\n", server.Failure().c_str());
    return 1;
  }
  std::printf("device port %u control port %u\n", server.Port(), server.ControlPort());
  std::fflush(stdout);
  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  return 0;
}
