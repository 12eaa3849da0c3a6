#include "install/RunJournal.h"

#include <cstdint>
#include <cstring>
#include <memory>

#include "system/CommonUtils.h"
#include "system/Exceptions.h"
#include "system/Platform.h"
#include "system/ShellUtils.h"
#include "system/Stream.h"

namespace {

constexpr char kSeparator = '|';
constexpr char kDone[] = "done";
constexpr char kKinds[] = "FDMAKVR";  // in the order of RunChange::Kind
constexpr char kDigits[] = "0123456789abcdef";

std::uint32_t Check(const std::string& text) {
    // FNV-1a: enough to tell a whole line from a cut or scrambled one.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : text) hash = (hash ^ c) * 16777619u;
    return hash;
}

std::string Hex(std::uint32_t number) {
    std::string text;
    for (int shift = 28; shift >= 0; shift -= 4) text += kDigits[number >> shift & 15];
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool ParseHex(const std::string& text, std::uint32_t& number) {
    if (text.empty() || text.size() > 8) return false;
    number = 0;
    for (char c : text) {
        const int digit = HexDigit(c);
        if (digit < 0) return false;
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    return true;
}

// No separator, line break or other control character is left in a field.
std::string Escape(const std::string& text) {
    std::string escaped;
    for (unsigned char c : text) {
        if (c < 0x20 || c == '%' || c == kSeparator || c == 0x7F) {
            escaped += '%';
            escaped += kDigits[c >> 4];
            escaped += kDigits[c & 15];
        } else {
            escaped += static_cast<char>(c);
        }
    }
    return escaped;
}

bool Unescape(const std::string& text, std::string& plain) {
    plain.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            plain += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return false;
        const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
        if (high < 0 || low < 0) return false;
        plain += static_cast<char>(high << 4 | low);
        i += 2;
    }
    return true;
}

std::string Sealed(const std::string& body) {
    return body + kSeparator + Hex(Check(body)) + "\n";
}

std::vector<std::string> Fields(const std::string& body) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = body.find(kSeparator, start);
        fields.push_back(body.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return fields;
        start = end + 1;
    }
}

bool ParseChange(const std::vector<std::string>& fields, RunChange& change) {
    if (fields.size() != 8 || fields[0].size() != 1) return false;
    const char* kind = std::strchr(kKinds, fields[0][0]);
    if (kind == nullptr || *kind == '\0') return false;
    change.kind = static_cast<RunChange::Kind>(kind - kKinds);
    std::uint32_t root = 0;
    if (!Unescape(fields[1], change.path) || !Unescape(fields[2], change.aside) ||
        !ParseHex(fields[3], change.attributes) || !ParseHex(fields[4], root) || !ParseHex(fields[5], change.view) ||
        !Unescape(fields[6], change.valueName))
        return false;
    change.root = static_cast<RootKey>(root);
    change.earlier.reset();
    if (fields[7] == "-") return true;
    const std::size_t colon = fields[7].find(':');
    if (colon == std::string::npos) return false;
    RegistryValue value;
    const std::string data = fields[7].substr(colon + 1);
    if (!ParseHex(fields[7].substr(0, colon), value.type) || data.size() % 2 != 0) return false;
    for (std::size_t i = 0; i < data.size(); i += 2) {
        const int high = HexDigit(data[i]), low = HexDigit(data[i + 1]);
        if (high < 0 || low < 0) return false;
        value.data.push_back(static_cast<std::uint8_t>(high << 4 | low));
    }
    change.earlier = std::move(value);
    return true;
}

std::string FileNameOf(const std::string& keyName) {
    // The key name is the product's full name; what a file name cannot hold becomes "_".
    std::string name;
    for (unsigned char c : keyName)
        name += (c < 0x20 || std::strchr("<>:\"/\\|?*", c) != nullptr) ? '_' : static_cast<char>(c);
    return name.empty() ? "Setup" : name;
}

}  // namespace

bool IsRunJournal(const std::string& path) {
    const std::string extension = kRunJournalExtension;
    return path.size() >= extension.size() &&
           UpperAscii(path.substr(path.size() - extension.size())) == UpperAscii(extension);
}

std::string RunJournalLine(const RunChange& change) {
    std::string body(1, kKinds[static_cast<int>(change.kind)]);
    for (const std::string& text : {change.path, change.aside}) body += kSeparator + Escape(text);
    body += kSeparator + Hex(change.attributes);
    body += kSeparator + Hex(static_cast<std::uint32_t>(change.root));
    body += kSeparator + Hex(change.view);
    body += kSeparator + Escape(change.valueName);
    body += kSeparator;
    if (!change.earlier) {
        body += '-';
    } else {
        body += Hex(change.earlier->type) + ':';
        for (std::uint8_t byte : change.earlier->data) {
            body += kDigits[byte >> 4];
            body += kDigits[byte & 15];
        }
    }
    return Sealed(body);
}

std::string RunJournalDoneLine() {
    return Sealed(kDone);
}

RunJournalContents ReadRunJournal(const std::string& text) {
    RunJournalContents contents;
    std::size_t start = 0;
    // Only lines with their terminator count: the last one may have been cut.
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string line = text.substr(start, end - start);
        const std::size_t last = line.rfind(kSeparator);
        std::uint32_t check = 0;
        if (last == std::string::npos || !ParseHex(line.substr(last + 1), check) || line.size() - last != 9)
            continue;
        const std::string body = line.substr(0, last);
        if (Check(body) != check) continue;
        if (body == kDone) {
            contents.done = true;
            continue;
        }
        RunChange change;
        if (ParseChange(Fields(body), change)) contents.changes.push_back(std::move(change));
    }
    return contents;
}

std::string RunJournalPath(Platform& platform, const std::string& keyName) {
    const std::string folder = GetProgramFilesFolder(platform);
    if (folder.empty()) return std::string();
    return IncludeBackslash(folder) + FileNameOf(keyName) + kRunJournalExtension;
}

std::string RecoverKilledRun(Platform& platform, const std::string& journalPath) {
    if (journalPath.empty() || platform.FileAttributes(journalPath) == kInvalidAttributes) return std::string();
    std::string text;
    try {
        std::unique_ptr<Stream> in = platform.OpenForReading(journalPath, ShareMode::DenyWrite);
        char buffer[4096];
        for (std::size_t got; (got = in->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, got);
    } catch (const EFileError&) {
        // Held by a run of this setup that is still going: it is not ours to touch.
        return std::string();
    }
    const RunJournalContents contents = ReadRunJournal(text);
    std::string line;
    if (contents.done) {
        // The run had succeeded: only its cleanup is left.
        for (const RunChange& change : contents.changes) FinishChange(platform, change);
        line = "Finished an interrupted installation: removed what it had replaced";
    } else {
        for (auto it = contents.changes.rbegin(); it != contents.changes.rend(); ++it) {
            try {
                UndoChange(platform, *it);
            } catch (...) {
                // one change that cannot be put back does not keep the others
            }
        }
        line = "Undid an interrupted installation: " + std::to_string(contents.changes.size()) + " changes";
    }
    platform.RemoveFile(journalPath);
    return line;
}
