// What the machine can give a command.
#pragma once

#include <cstdint>
#include <string>

// The memory this process can still take, in bytes: the smaller of what the system can give
// without swapping (MemAvailable) and the room that the limits of the process's control groups
// leave; 0 when neither says.
std::uint64_t availableMemoryBytes();

// The room, in bytes, that the memory limits of a process's control groups leave (limit less
// usage, the inactive file cache counting as free), the smallest over its group and the
// groups above it; 0 when no group sets a limit. cgroupText and mountinfoText are the texts of
// /proc/self/cgroup and /proc/self/mountinfo; the groups' files are read under `root` (the
// file system's root in use, another folder in tests). Reads both cgroup v2 (memory.max) and
// v1 (memory.limit_in_bytes).
std::uint64_t cgroupMemoryRoom(const std::string& cgroupText, const std::string& mountinfoText,
                               const std::string& root);

// A byte count for messages, in the unit that shows it: "512 bytes", "12 KB", "340 MB",
// "2.4 GB" (units of 1024).
std::string byteSize(std::uint64_t bytes);
