// The run mode comes from the uninstaller marker word in the program's own file header.
#pragma once

#include <cstdint>
#include <memory>

class Platform;
class Stream;

enum class RunMode { Setup, Uninstaller };

// Reads the marker word with sharing that locks nothing; exactly 1 means an uninstaller copy.
RunMode ReadRunMode(Platform& platform);
