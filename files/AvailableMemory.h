#pragma once
// How much memory this process can still be given. Linux promises more than it has and kills
// a process that then touches too much, and a control group (a container's limit, a systemd
// unit's MemoryMax) kills it sooner: large allocations ask here first and fail cleanly.

#include <cstdint>
#include <string>

// The least of what the system has free (available memory and free swap, /proc/meminfo) and
// what each control group on the process's path still allows: its limit less what it uses,
// less the clean file cache it can drop (v2: memory.max, memory.current, inactive_file and
// active_file less file_dirty; v1: memory.limit_in_bytes, memory.usage_in_bytes, and the same
// counts named total_...). Read anew at each call;
// the largest value when nothing can be read.
std::uint64_t AvailableBytes();

// The same, with /proc and the control group mounts found under `root` instead of "/".
std::uint64_t AvailableBytesUnder(const std::string& root);
