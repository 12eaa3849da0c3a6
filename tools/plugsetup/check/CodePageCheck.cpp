// plugsetup check of the texts in the code page build will convert them to: what it cannot
// hold, and what the setup's byte-wise path code would split. Names are the tree's (EntryName.h).
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
    const std::vector<std::string> lines = SetupTextLines(std::string(bytes.begin(), bytes.end()));
    // What build keeps as it is: plain ASCII, and text already in a code page.
    std::string text(bytes.begin(), bytes.end());
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    if (IsAscii(text) || !IsValidUtf8(text)) return;

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
