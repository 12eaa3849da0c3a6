#include "system/FileErrors.h"

#include "texts/Texts.h"

std::string SystemErrorText(std::uint32_t code) {
    switch (code) {
        case kErrorFileNotFound:
            return "The system cannot find the file specified";
        case kErrorPathNotFound:
            return "The system cannot find the path specified";
        case kErrorAccessDenied:
            return "Access is denied";
        case kErrorWriteFault:
            return "The system cannot write to the specified device";
        case kErrorReadFault:
            return "The system cannot read from the specified device";
        case kErrorSharingViolation:
            return "The process cannot access the file because it is being used by another process";
        case kErrorHandleDiskFull:
        case kErrorDiskFull:
            return "There is not enough space on the disk";
        case kErrorFileExists:
            return "The file exists";
        case kErrorAlreadyExists:
            return "Cannot create a file when that file already exists";
        default:
            return "System error " + std::to_string(code);
    }
}

std::string FileOpenErrorText(const std::string& path, const std::string& reason) {
    return Text(TextId::CannotOpenFileMessage, path) + " " + reason;
}

std::string FileCreateErrorText(const std::string& path, const std::string& reason) {
    return Text(TextId::CannotCreateFileMessage, path) + " " + reason;
}

std::string FileReadErrorText(const std::string& path, const std::string& reason) {
    return Text(TextId::CannotReadFileMessage, path) + " " + reason;
}

std::string FileSeekErrorText(const std::string& path, const std::string& reason) {
    return Text(TextId::CannotSeekFileMessage, path) + " " + reason;
}

std::string FileWriteErrorText(const std::string& path, const std::string& reason) {
    return Text(TextId::CannotWriteFileMessage, path) + " " + reason;
}

std::string TrimMessageEnd(std::string text) {
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\r' || text.back() == '\n' || text.back() == '.'))
        text.pop_back();
    return text;
}

std::string WithClosingPeriod(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.'))
        return message + ".";
    return message;
}
