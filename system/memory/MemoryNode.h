// One file or folder of the in-memory machine, with its open handles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "system/memory/MemoryPlatform.h"

struct MemoryPlatform::Node {
    std::string path;  // stored spelling, backslashes
    bool isFolder = false;
    std::uint32_t attributes = 0;
    std::vector<std::uint8_t> bytes;
    std::uint32_t packedTime = 0;      // last-write time as a packed local date-time, 0 = unknown
    std::int64_t unreadableFrom = -1;  // reads that reach this offset fail; -1: none do
    // Open handles: how many read or write, and what the most restrictive of them allows.
    int readers = 0;
    int writers = 0;
    int denyWrite = 0;
    int denyRead = 0;
};
