// Parts of the in-memory machine beyond files: the disk's fault state and registry keys.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "system/FileErrors.h"
#include "system/memory/MemoryPlatform.h"

// A packed local date-time that names a real date and time (what the system accepts as a
// file time).
bool IsValidPackedDate(std::uint32_t packed);

// Shared by the machine and its open streams, so a stream sees faults injected after it was
// opened.
struct MemoryPlatform::Disk {
    std::optional<std::uint64_t> freeBytes;  // none: plenty
    std::optional<std::uint64_t> failAfter;  // bytes still written before the injected failure
    std::uint32_t failCode = 0;
    std::string failPathKey;  // empty: every file

    // How many of count bytes at position may be written to a file of currentSize; error
    // receives the code of the failure that stops the rest.
    std::size_t Admit(const std::string& pathKey, std::size_t currentSize, std::int64_t position,
                      std::size_t count, std::uint32_t& error) {
        std::size_t allowed = count;
        // A run's journal (RunJournal) is not what a fault aims at, nor a part of the space the
        // run's files use.
        static const std::string kJournal = ".JOURNAL";
        if (pathKey.size() >= kJournal.size() && pathKey.compare(pathKey.size() - kJournal.size(), kJournal.size(), kJournal) == 0)
            return allowed;
        bool targeted = failAfter && (failPathKey.empty() || failPathKey == pathKey);
        if (targeted && *failAfter < allowed) {
            allowed = static_cast<std::size_t>(*failAfter);
            error = failCode;
        }
        if (freeBytes) {
            std::size_t end = static_cast<std::size_t>(position) + allowed;
            std::uint64_t growth = end > currentSize ? end - currentSize : 0;
            if (growth > *freeBytes) {
                error = kErrorDiskFull;
                return 0;
            }
            *freeBytes -= growth;
        }
        if (targeted) *failAfter -= allowed;
        return allowed;
    }
    void GiveBack(std::size_t bytes) {
        if (freeBytes) *freeBytes += bytes;
    }
};

// One registry key. Values and subkeys are keyed by their upper-case name, which also gives
// the enumeration order.
struct MemoryPlatform::RegNode {
    struct Value {
        std::string name;  // stored spelling
        RegistryValue value;
    };
    std::string name;
    RegNode* parent = nullptr;
    bool deleted = false;
    std::uint32_t deniedRights = 0;
    std::map<std::string, std::shared_ptr<RegNode>> children;
    std::map<std::string, Value> values;
};
