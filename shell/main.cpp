// Program entry of Zelto.

#include <exception>
#include <stdexcept>

#include "application.h"
#include "program.h"

int main(int argc, char** argv) {
  gui::TApplication application(argc, argv);
  application.SetTitle(u"Zelto");
  try {
    RunProgram(application);
  } catch (const std::exception& error) {
    application.ShowException(error);
  } catch (...) {
    application.ShowException(std::runtime_error(""));
  }
  return 0;
}
