// Error classes. Every error carries an 8-bit message that may reach the user as it stands.
#pragma once

#include <exception>
#include <string>

// The general error class: every error of the program derives from it.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// Invalid setup or uninstall data.
class ESetupError : public Exception {
    using Exception::Exception;
};

// A version text that cannot be parsed.
class EProgramVersionError : public Exception {
    using Exception::Exception;
};

// A registry value of the wrong type or a failed registry write.
class ERegistryException : public Exception {
    using Exception::Exception;
};

// A file that cannot be opened, created, read or written.
class EFileError : public Exception {
    using Exception::Exception;
};

// A stream that ends before the bytes a reader asked for.
class EReadError : public EFileError {
    using EFileError::EFileError;
};

// A fault of the program itself, never of its data: the loader asking the schema for a key it
// does not describe, a plug-in format without controls.
class EProgramFault : public Exception {
    using Exception::Exception;
};

// The user stopped the installation run before it wrote anything; no error to show.
class EInstallCancelled : public Exception {
public:
    EInstallCancelled() : Exception("Installation cancelled") {}
};

inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";
