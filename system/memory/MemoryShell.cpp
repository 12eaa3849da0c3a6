// Shell folders, shell links, shell starts, the folder picker and fonts of the in-memory
// machine.
#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/ShellUtils.h"
#include "system/memory/MemoryPlatform.h"

namespace {

// A link file in memory holds its five fields, each as length ":" bytes, after a signature,
// so any text survives and anything else does not read as a link.
const std::string kLinkSignature = "[memory shell link]\n";

void PutField(std::string& out, const std::string& field) {
    out += std::to_string(field.size()) + ":" + field;
}

bool GetField(const std::string& in, std::size_t& at, std::string& field) {
    std::size_t colon = in.find(':', at);
    if (colon == std::string::npos || colon == at) return false;
    std::size_t length = 0;
    for (std::size_t i = at; i < colon; ++i) {
        if (in[i] < '0' || in[i] > '9') return false;
        length = length * 10 + static_cast<std::size_t>(in[i] - '0');
    }
    if (colon + 1 + length > in.size()) return false;
    field = in.substr(colon + 1, length);
    at = colon + 1 + length;
    return true;
}

}  // namespace

std::string MemoryPlatform::SpecialFolderPath(int csidl) {
    auto it = specialFolders_.find(csidl);
    return it == specialFolders_.end() ? std::string() : it->second;
}

void MemoryPlatform::SetSpecialFolder(int csidl, const std::string& path) {
    if (path.empty())
        specialFolders_.erase(csidl);
    else
        specialFolders_[csidl] = path;
}

bool MemoryPlatform::SaveShellLink(const std::string& linkFile, const ShellLink& link) {
    if (!shellLinks_) throw Exception(ShellLinkErrorText(linkFile, "Class not registered"));
    std::string bytes = kLinkSignature;
    for (const std::string* field : {&link.target, &link.arguments, &link.workingFolder, &link.iconFile})
        PutField(bytes, *field);
    PutField(bytes, std::to_string(link.iconIndex));
    try {
        auto stream = OpenForWritingUnrecorded(linkFile);
        stream->Write(bytes.data(), bytes.size());
    } catch (const EFileError&) {
        return false;
    }
    // The link file is the shortcut; it is recorded as one, not as a file of its own.
    Write saved{Write::Kind::Shortcut, linkFile};
    saved.link = link;
    journal_.push_back(std::move(saved));
    return true;
}

std::optional<ShellLink> MemoryPlatform::LoadShellLink(const std::string& linkFile) {
    std::string bytes;
    try {
        auto stream = OpenForReading(linkFile, ShareMode::DenyWrite);
        bytes.resize(static_cast<std::size_t>(stream->Size()));
        stream->ReadBuffer(bytes.data(), bytes.size());
    } catch (const EFileError&) {
        return std::nullopt;
    }
    if (bytes.compare(0, kLinkSignature.size(), kLinkSignature) != 0) return std::nullopt;
    ShellLink link;
    std::string index;
    std::size_t at = kLinkSignature.size();
    for (std::string* field : {&link.target, &link.arguments, &link.workingFolder, &link.iconFile, &index})
        if (!GetField(bytes, at, *field)) return std::nullopt;
    try {
        link.iconIndex = std::stoi(index);
    } catch (const std::exception&) {
        return std::nullopt;
    }
    return link;
}

bool MemoryPlatform::OpenWithDefaultAction(const std::string& file, const std::string& folder) {
    shellStarts_.push_back({file, folder, false, 0, std::string()});
    return !file.empty() && FileAttributes(file) != kInvalidAttributes;
}

bool MemoryPlatform::StartHidden(const std::string& file, const std::string& parameters, WindowRef owner) {
    shellStarts_.push_back({file, std::string(), true, owner, parameters});
    return !file.empty() && FileAttributes(file) != kInvalidAttributes;
}

std::optional<std::string> MemoryPlatform::PickFolder(WindowRef, const std::string& title,
                                                      const std::string& initial) {
    folderPickers_.push_back({title, FolderPickerSelection(initial)});
    if (pickerAnswers_.empty()) return std::nullopt;
    std::optional<std::string> answer = pickerAnswers_.front();
    pickerAnswers_.pop_front();
    return answer;
}

void MemoryPlatform::AnswerFolderPickers(std::initializer_list<std::optional<std::string>> answers) {
    pickerAnswers_.insert(pickerAnswers_.end(), answers.begin(), answers.end());
}

std::string MemoryPlatform::UpperFontKey(const std::string& name) {
    return UpperAscii(name);
}

bool MemoryPlatform::FontInstalled(const std::string& name) {
    return fonts_.count(UpperFontKey(name)) > 0;
}

int MemoryPlatform::MeasureScalingHeight() {
    ++scalingMeasurements_;
    return scalingHeight_;
}
