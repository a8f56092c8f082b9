#pragma once
// CRC-32 (the polynomial of zip and PNG), by which a document recognises the
// raw sample file written with it.

#include <cstddef>
#include <cstdint>

// Continues `crc` (0 for the first piece) over `count` more bytes.
uint32_t Crc32(uint32_t crc, const void* bytes, size_t count);
