#include "criticalsection.h"

namespace rtl {

void TCriticalSection::Enter() { FMutex.lock(); }

void TCriticalSection::Leave() { FMutex.unlock(); }

bool TCriticalSection::TryEnter() { return FMutex.try_lock(); }

TCriticalSectionGuard::TCriticalSectionGuard(TCriticalSection& section) : FSection(section) { FSection.Enter(); }

TCriticalSectionGuard::~TCriticalSectionGuard() { FSection.Leave(); }

}  // namespace rtl
