// Paths of the build machine as the tool holds them: UTF-8 text on Linux and on Windows alike,
// so names read from a folder, typed on the command line or shown in a message are the same
// bytes on both. std::filesystem takes them through char8_t, which both libraries read as UTF-8
// (a plain char path would be the ANSI code page on Windows).
#pragma once

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

std::filesystem::path HostPath(const std::string& utf8);
std::string PathText(const std::filesystem::path& path);
// folder and name joined with the system's separator ("/" on Linux, "\" on Windows), the
// folder kept as it was written.
std::string JoinHostPath(const std::string& folder, const std::string& name);

// The entries of folder, sorted by the bytes of their UTF-8 names: the same order on Linux and on
// Windows, whatever order the file system keeps. error tells why the list ended early.
std::vector<std::filesystem::path> FolderEntries(const std::filesystem::path& folder, std::error_code& error);
