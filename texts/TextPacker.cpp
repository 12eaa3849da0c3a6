// The text packer, a program of the build machine that the build runs: it writes every
// language's table (English.cpp, German.cpp, ...) deflated into one C++ file, which the programs
// link instead of the tables (PackedTexts.h). A table is about three times smaller deflated,
// and a run unpacks only the languages it reads.
//   text_packer OUTPUT.cpp
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

#include "texts/LanguageTables.h"
#include "texts/PackedTexts.h"

namespace {

static_assert(kTextCount <= 255, "a packed row names its text in one byte");

struct Table {
    const char* name;  // kGermanTexts is packed as kGermanPacked
    std::span<const TextEntry> texts;
};

const Table kTables[] = {
    {"English", kEnglishTexts},
    {"German", kGermanTexts},
    {"French", kFrenchTexts},
    {"Spanish", kSpanishTexts},
    {"Italian", kItalianTexts},
    {"BrazilianPortuguese", kBrazilianPortugueseTexts},
    {"Dutch", kDutchTexts},
    {"Japanese", kJapaneseTexts},
    {"SimplifiedChinese", kSimplifiedChineseTexts},
    {"Korean", kKoreanTexts},
    {"Russian", kRussianTexts},
};

// The rows as PackedTexts.h describes them: the text's id in one byte, its bytes, a 0.
std::string Rows(std::span<const TextEntry> texts) {
    std::string rows;
    for (const TextEntry& entry : texts) {
        rows += static_cast<char>(entry.Id);
        rows += entry.Text;
        rows += '\0';
    }
    return rows;
}

std::vector<unsigned char> Deflated(const std::string& rows) {
    uLongf size = compressBound(rows.size());
    std::vector<unsigned char> packed(size);
    if (compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(rows.data()), rows.size(), 9) != Z_OK)
        return {};
    packed.resize(size);
    return packed;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: text_packer OUTPUT.cpp\n");
        return 2;
    }
    std::string out = "// Written by the build (text_packer from texts/TextPacker.cpp): do not edit.\n"
                      "#include \"texts/PackedTexts.h\"\n";
    for (const Table& table : kTables) {
        const std::string rows = Rows(table.texts);
        const std::vector<unsigned char> packed = Deflated(rows);
        if (packed.empty()) {
            std::fprintf(stderr, "text_packer: zlib cannot deflate the %s texts\n", table.name);
            return 1;
        }
        out += "\nstatic const unsigned char k" + std::string(table.name) + "Bytes[] = {";
        for (std::size_t i = 0; i < packed.size(); ++i)
            out += (i % 24 == 0 ? "\n    " : " ") + std::to_string(packed[i]) + ",";
        out += "\n};\nextern const PackedTexts k" + std::string(table.name) + "Packed{k" + table.name +
               "Bytes, sizeof k" + table.name + "Bytes, " + std::to_string(rows.size()) + "};\n";
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() || std::fclose(file) != 0) {
        std::fprintf(stderr, "text_packer: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
