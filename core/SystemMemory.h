// What the machine can give a command.
#pragma once

#include <cstdint>
#include <string>

// The memory that can still be had without swapping (MemAvailable), in bytes, or 0 when the
// system does not say.
std::uint64_t availableMemoryBytes();

// A byte count in whole megabytes, for messages ("1234 MB").
std::string megabytes(std::uint64_t bytes);
