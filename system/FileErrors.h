// Texts of the file errors, shared by both platforms so a test on the in-memory machine sees
// what a customer sees on Windows.
#pragma once

#include <cstdint>
#include <string>

// Windows error codes that the program and its tests tell apart.
enum : std::uint32_t {
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorWriteFault = 29,
    kErrorReadFault = 30,
    kErrorSharingViolation = 32,
    kErrorHandleDiskFull = 39,
    kErrorFileExists = 80,
    kErrorDiskFull = 112,
    kErrorAlreadyExists = 183,
};

// The system's own wording for an error code, without a trailing period or line break.
std::string SystemErrorText(std::uint32_t code);
// "Cannot open file "PATH". REASON" and its siblings for creating, reading, moving to a position
// and writing.
std::string FileOpenErrorText(const std::string& path, const std::string& reason);
std::string FileCreateErrorText(const std::string& path, const std::string& reason);
std::string FileReadErrorText(const std::string& path, const std::string& reason);
std::string FileSeekErrorText(const std::string& path, const std::string& reason);
std::string FileWriteErrorText(const std::string& path, const std::string& reason);
// Removes trailing blanks, line breaks and periods, so the error box can add its own period.
std::string TrimMessageEnd(std::string text);
// The error box's rule: a period is added when the last character sorts after ".".
std::string WithClosingPeriod(const std::string& message);
