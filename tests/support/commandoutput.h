#pragma once
// What a command prints on standard output, for tests that read generated
// files back through outside tools (pdftotext, pdfinfo, pdftoppm).

#include <cstdio>
#include <string>

namespace testsupport {

inline std::string CommandOutput(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, p)) > 0) out.append(buffer, n);
    pclose(p);
  }
  return out;
}

}  // namespace testsupport
