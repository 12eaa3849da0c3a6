// plugsetup check of the texts in the code page build will convert them to: what it cannot
// hold, and what the setup's byte-wise path code would split; for a UTF-8 build, only that the
// text is UTF-8. Names are the tree's (EntryName.h).
#include <optional>
#include <set>

#include "archive/SetupData.h"
#include "engine/Configuration.h"
#include "engine/SetupSchema.h"
#include "tools/plugsetup/check/ProductChecker.h"
#include "tools/plugsetup/host/CodePage.h"
#include "tools/plugsetup/host/HostFile.h"
#include "tools/plugsetup/host/HostPath.h"

void ProductChecker::CheckTextInCodePage(const ProductEntry& file, bool setupIni, bool everyLineIsPath) {
    std::vector<std::uint8_t> bytes = ReadHostFile(file.HostPath);
    std::string text(bytes.begin(), bytes.end());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (IsAscii(text)) return;
    const bool utf8Build = codePage_.Number() == kUtf8CodePageNumber;
    if (!IsValidUtf8(text)) {
        if (utf8Build) return Error(file.HostPath, 0, NotUtf8Message());
        // Already in the code page, as build keeps it: its characters are what to look at.
        std::optional<std::string> decoded = codePage_.DecodeExactly(text);
        if (!decoded)
            return Error(file.HostPath, 0,
                         "the text is neither UTF-8 nor text in code page " + std::to_string(codePage_.Number()));
        text = *decoded;
    }
    if (utf8Build) return;
    const std::vector<std::string> lines = SetupTextLines(text);

    // Which of Setup.ini's lines hold paths, by the kind of their key or list.
    std::set<int> pathLines;
    if (setupIni)
        for (const IniSection& section : ini_->Sections()) {
            const SchemaSection* described = FindSchemaSection(section.name);
            if (!described) continue;
            for (const IniLine& line : section.lines) {
                const SchemaKey* key = FindSchemaKey(section.name, line.name);
                // Names count as paths too: the product name, for one, becomes part of the
                // Uninstall key's name and of shortcut paths.
                if (described->IsList ||
                    (key && key->Kind != ValueKind::Text && key->Kind != ValueKind::Boolean))
                    pathLines.insert(line.lineNumber);
            }
        }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const EncodedText encoded = EncodeProductText(codePage_, lines[i]);
        if (!encoded.Unrepresentable.empty())
            Error(file.HostPath, number,
                  UnrepresentableMessage(codePage_, encoded) +
                      ", so build cannot store the line: write it without that character, or build with the "
                      "--codepage of your customers' Windows");
        else if (!encoded.SplitsPaths.empty() && (everyLineIsPath || pathLines.count(number)))
            Error(file.HostPath, number,
                  SplitsPathsMessage(codePage_, encoded) +
                      ", so the setup would split the path there: write it "
                      "without that character");
    }
}
