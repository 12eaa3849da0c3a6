#include "system/memory/MemoryPlatform.h"

#include "system/memory/MemoryInternals.h"
#include "system/memory/MemoryNode.h"
#include "texts/Texts.h"

namespace {

constexpr char kDefaultTemp[] = "C:\\Users\\user\\AppData\\Local\\Temp";

}  // namespace

MemoryPlatform::MemoryPlatform()
    : ownProgramPath_("C:\\Users\\user\\Downloads\\Setup.exe"), disk_(std::make_shared<Disk>()) {
    AddFolder("C:\\Windows\\System32");
    AddFolder("C:\\Windows\\Temp");
    AddFolder("C:\\Users\\user\\Downloads");
    AddFolder(kDefaultTemp);
    SeedMachine();
    journal_.clear();  // the machine as it comes is no write of the program's
}

MemoryPlatform::~MemoryPlatform() = default;

void MemoryPlatform::WarningBox(const std::string& text) {
    dialogs_.push_back({"warning", Text(TextId::WarningCaption), text, dialogOwner_});
}

bool MemoryPlatform::QuestionBox(const std::string& text) {
    dialogs_.push_back({"question", Text(TextId::ConfirmCaption), text, dialogOwner_});
    if (answers_.empty()) return true;
    bool answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void MemoryPlatform::InformationBox(const std::string& text) {
    dialogs_.push_back({"information", Text(TextId::InformationCaption), text, dialogOwner_});
}

void MemoryPlatform::ErrorBox(const std::string& title, const std::string& text) {
    dialogs_.push_back({"error", title, text, dialogOwner_});
}

void MemoryPlatform::AnswerQuestions(std::initializer_list<bool> answers) {
    answers_.insert(answers_.end(), answers.begin(), answers.end());
}

bool MemoryPlatform::RetryCancelBox(const std::string& text) {
    dialogs_.push_back({"retry", Text(TextId::WarningCaption), text, dialogOwner_});
    if (retryAnswers_.empty()) return false;
    bool answer = retryAnswers_.front();
    retryAnswers_.pop_front();
    return answer;
}

void MemoryPlatform::AnswerRetries(std::initializer_list<bool> answers) {
    retryAnswers_.insert(retryAnswers_.end(), answers.begin(), answers.end());
}

// A 64-bit Windows 10 as a 32-bit setup sees it, with the folders and registry values the
// program looks for.
void MemoryPlatform::SeedMachine() {
    const std::string profile = "C:\\Users\\user";
    const std::map<int, std::string> folders = {
        {kCsidlPrograms, profile + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
        {kCsidlPersonal, profile + "\\Documents"},
        {kCsidlDesktopDirectory, profile + "\\Desktop"},
        {kCsidlCommonPrograms, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
        {kCsidlCommonDesktopDirectory, "C:\\Users\\Public\\Desktop"},
        {kCsidlAppData, profile + "\\AppData\\Roaming"},
        {kCsidlCommonAppData, "C:\\ProgramData"},
        {kCsidlWindows, "C:\\Windows"},
        {kCsidlSystem, "C:\\Windows\\system32"},
        {kCsidlProgramFiles, "C:\\Program Files (x86)"},
        {kCsidlProgramFilesCommon, "C:\\Program Files (x86)\\Common Files"},
    };
    for (const auto& [csidl, path] : folders) {
        SetSpecialFolder(csidl, path);
        AddFolder(path);
    }
    AddFolder("C:\\Program Files\\Common Files");
    const std::map<std::string, std::string> environment = {
        {"ProgramFiles", "C:\\Program Files (x86)"},
        {"ProgramW6432", "C:\\Program Files"},
        {"CommonProgramFiles", "C:\\Program Files (x86)\\Common Files"},
        {"CommonProgramW6432", "C:\\Program Files\\Common Files"},
        {"SystemRoot", "C:\\Windows"},
        {"windir", "C:\\Windows"},
        {"TEMP", kDefaultTemp},
        {"TMP", kDefaultTemp},
        {"USERNAME", userName_},
        {"USERPROFILE", profile},
        {"APPDATA", profile + "\\AppData\\Roaming"},
        {"ProgramData", "C:\\ProgramData"},
    };
    for (const auto& [name, value] : environment) SetEnvironment(name, value);
    SeedRegistry();
}
