#include "fx2portsource.h"

#include "fx2libusb.h"
#include "fx2usbids.h"

#include "dynlib.h"

#include <cstdlib>

namespace fx2port {
namespace {

// Owns a backend created by a loaded library and unloads the library only
// after the backend is gone.
class TLibraryBackend : public TFx2Backend {
public:
  TLibraryBackend(void* module, TFx2Backend* backend) : FModule(module), FBackend(backend) {}
  ~TLibraryBackend() override {
    FBackend.reset();
    rtl::FreeModule(FModule);
  }
  TLibraryBackend(const TLibraryBackend&) = delete;
  TLibraryBackend& operator=(const TLibraryBackend&) = delete;

  int DeviceCount() override { return FBackend->DeviceCount(); }
  std::unique_ptr<TFx2BackendDevice> Open(int index) override { return FBackend->Open(index); }

private:
  void* FModule;
  std::unique_ptr<TFx2Backend> FBackend;
};

} // namespace

std::unique_ptr<TFx2Backend> LoadBackendLibrary(const std::string& path) {
  void* module = rtl::LoadModule(path);
  if (!module)
    return nullptr;
  auto create = reinterpret_cast<TCreateBackendFunction>(rtl::FindSymbol(module, CreateBackendSymbol));
  TFx2Backend* backend = create ? create() : nullptr;
  if (!backend) {
    rtl::FreeModule(module);
    return nullptr;
  }
  return std::make_unique<TLibraryBackend>(module, backend);
}

std::unique_ptr<TFx2Port> CreatePortFromEnvironment() {
  const char* library = std::getenv(PortLibraryVariable);
  if (library && *library)
    return std::make_unique<TFx2Port>(LoadBackendLibrary(library));
  return std::make_unique<TFx2Port>(std::make_unique<TLibusbBackend>(UsbIdsFromEnvironment()));
}

} // namespace fx2port
