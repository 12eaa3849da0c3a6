// bench_payload: writes the benchmark's product folder, a plug-in product of about N MB.
//   bench_payload OUT_DIR [--megabytes N]      (N defaults to 300)
//
// OUT_DIR gets Setup.ini, Setup.lic and Setup.jpg for `plugsetup build`, and the payload in
// OUT_DIR/Files: five large plug-in binaries (VST 3, AAX, VST 2 and the standalone program) whose
// sections mix random bytes with code-like and table-like data, so that zlib level 9 packs them to
// about half; the VST 3 and AAX bundle trees with desktop.ini and PlugIn.ico; presets in nested
// category/bank folders; documents and licences; incompressible pictures; a few empty files.
//
// Every byte comes from fixed seeds and integer arithmetic only, so two runs on any machine give
// the same folder. Counts and sizes scale with N, with a floor so that a small product still has
// every kind of file.

#include "bench/payload/SidePicture.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * 1024;

// xorshift64* seeded through splitmix64; the seed of a file is derived from its path, so each
// file's bytes do not depend on the order in which the folder is written.
class Random {
public:
    explicit Random(std::uint64_t seed) {
        seed += 0x9E3779B97F4A7C15ull;
        seed = (seed ^ (seed >> 30)) * 0xBF58476D1CE4E5B9ull;
        seed = (seed ^ (seed >> 27)) * 0x94D049BB133111EBull;
        state_ = (seed ^ (seed >> 31)) | 1;
    }
    std::uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    // A number in [low, high].
    std::uint64_t Range(std::uint64_t low, std::uint64_t high) { return low + Next() % (high - low + 1); }
    void Fill(std::uint8_t* out, std::size_t count) {
        std::size_t i = 0;
        for (; i + 8 <= count; i += 8) {
            const std::uint64_t v = Next();
            std::memcpy(out + i, &v, 8);
        }
        if (i < count) {
            const std::uint64_t v = Next();
            std::memcpy(out + i, &v, count - i);
        }
    }

private:
    std::uint64_t state_;
};

std::uint64_t HashName(std::string_view text) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (const char c : text) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x100000001B3ull;
    }
    return h;
}

// Writes one file through a 1 MiB buffer and keeps the totals.
class Writer {
public:
    explicit Writer(fs::path root) : root_(std::move(root)) {}

    std::uint64_t files() const { return files_; }
    std::uint64_t bytes() const { return bytes_; }

    void Begin(const std::string& relative) {
        CheckName(relative);
        const fs::path path = root_ / relative;
        fs::create_directories(path.parent_path());
        file_ = std::fopen(path.string().c_str(), "wb");
        if (!file_) throw std::runtime_error("cannot create " + path.string());
        ++files_;
    }
    void Put(const void* data, std::size_t count) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        while (count > 0) {
            const std::size_t n = std::min(count, kBuffer - used_);
            std::memcpy(buffer_.data() + used_, bytes, n);
            used_ += n;
            bytes += n;
            count -= n;
            bytes_ += n;
            if (used_ == kBuffer) Flush();
        }
    }
    void Put(std::string_view text) { Put(text.data(), text.size()); }
    void End() {
        Flush();
        if (std::fclose(file_) != 0) throw std::runtime_error("cannot write a file below " + root_.string());
        file_ = nullptr;
    }
    void Whole(const std::string& relative, std::string_view content) {
        Begin(relative);
        Put(content);
        End();
    }

private:
    static constexpr std::size_t kBuffer = kMiB;

    void Flush() {
        if (used_ > 0 && std::fwrite(buffer_.data(), 1, used_, file_) != used_)
            throw std::runtime_error("cannot write a file below " + root_.string());
        used_ = 0;
    }
    // Windows compares names without regard to case; the setup refuses names above 67 bytes, and
    // the payload keeps below 60 (UTF-8 bytes, more than the code page takes) so that it fits any
    // tool of the comparison. Names beyond ASCII are in UTF-8, as on any Linux machine, and only of
    // letters Windows-1252 holds, the code page plugsetup builds for by default.
    void CheckName(const std::string& relative) {
        std::string folded;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= relative.size(); ++i) {
            if (i == relative.size() || relative[i] == '/') {
                if (i - start == 0 || i - start > 60) throw std::logic_error("bad name in " + relative);
                start = i + 1;
            }
            const char c = i < relative.size() ? relative[i] : '\0';
            folded += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        if (!names_.insert(folded).second) throw std::logic_error("two files named " + relative);
    }

    fs::path root_;
    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> buffer_ = std::vector<std::uint8_t>(kBuffer);
    std::size_t used_ = 0;
    std::uint64_t files_ = 0;
    std::uint64_t bytes_ = 0;
    std::set<std::string> names_;
};

const char* const kWords[] = {
    "the",        "filter",       "oscillator", "envelope",   "voice",      "sample",       "rate",
    "host",       "plug-in",      "preset",     "bank",       "parameter",  "value",        "cutoff",
    "resonance",  "attack",       "decay",      "sustain",    "release",    "modulation",   "matrix",
    "source",     "target",       "amount",     "of",         "and",        "to",           "in",
    "a",          "is",           "for",        "with",       "when",       "each",         "every",
    "signal",     "output",       "input",      "stereo",     "mono",       "channel",      "gain",
    "level",      "audio",        "buffer",     "latency",    "automation", "MIDI",         "note",
    "velocity",   "pitch",        "wheel",      "controller", "knob",       "slider",       "display",
    "window",     "menu",         "licence",    "software",   "copy",       "distribution", "warranty",
    "permission", "notice",       "condition",  "provided",   "holder",     "without",      "any",
    "may",        "not",          "be",         "used",       "this",       "that",         "from",
    "by",         "on",           "at",         "or",         "as",         "all",          "waveform",
    "saw",        "square",       "sine",       "noise",      "unison",     "detune",       "spread",
    "chorus",     "delay",        "reverb",     "room",       "size",       "damping",      "width",
    "mix",        "dry",          "wet",        "tempo",      "sync",       "LFO",          "shape",
    "phase",      "key",          "tracking",   "glide",      "legato",     "polyphony",    "engine",
    "quality",    "oversampling",
};
constexpr std::size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// Prose wrapped at 78 columns, in paragraphs: compresses like real documentation.
void PutText(Writer& out, Random& random, std::uint64_t size) {
    std::string line;
    std::uint64_t written = 0;
    bool sentenceStart = true;
    while (written < size) {
        std::string word = kWords[random.Next() % kWordCount];
        if (sentenceStart && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 32);
        sentenceStart = random.Next() % 11 == 0;
        if (sentenceStart)
            word += '.';
        else if (random.Next() % 17 == 0)
            word += ',';
        if (!line.empty() && line.size() + 1 + word.size() > 78) {
            line += random.Next() % 9 == 0 ? "\r\n\r\n" : "\r\n";
            const std::string_view part(line.data(), std::min<std::uint64_t>(line.size(), size - written));
            out.Put(part);
            written += part.size();
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    }
}

// One large plug-in binary: 64 KiB sections of random bytes (compressed code, embedded samples),
// code-like instruction streams, tables and zero padding. Level 9 packs the mix to about half.
void PutBinary(Writer& out, Random& random, std::uint64_t size) {
    static const std::vector<std::vector<std::uint8_t>> kInstructions = {
        {0x55},
        {0x48, 0x89, 0xE5},
        {0x48, 0x83, 0xEC, 0x20},
        {0x48, 0x8B, 0x45, 0xF8},
        {0x89, 0x45, 0xFC},
        {0xE8},
        {0xC3},
        {0x5D},
        {0x48, 0x8D, 0x0D},
        {0x0F, 0x28, 0xC1},
        {0xF3, 0x0F, 0x59, 0xC2},
        {0xF3, 0x0F, 0x58, 0xC8},
        {0x41, 0x57},
        {0x41, 0x56},
        {0x74},
        {0x75},
        {0x31, 0xC0},
        {0x48, 0x85, 0xC0},
        {0x0F, 0x84},
        {0x8B, 0x4C, 0x24, 0x28},
        {0xCC, 0xCC, 0xCC, 0xCC},
        {0x90, 0x90},
        {0xFF, 0x15},
        {0x66, 0x0F, 0x1F, 0x44, 0x00, 0x00},
    };
    constexpr std::size_t kSection = 64 * kKiB;
    std::vector<std::uint8_t> section(kSection + 64);
    std::uint64_t written = 0;
    std::uint64_t index = 0;
    while (written < size) {
        const std::size_t length =
            static_cast<std::size_t>(std::min<std::uint64_t>(kSection, size - written));
        const std::uint64_t kind = random.Next() % 100;
        std::size_t n = 0;
        if (kind < 30) {
            random.Fill(section.data(), length);
            n = length;
        } else if (kind < 68) {
            while (n < length) {
                const auto& op = kInstructions[random.Next() % kInstructions.size()];
                std::memcpy(section.data() + n, op.data(), op.size());
                n += op.size();
                // Relative calls and jumps carry a displacement: small, so mostly zero bytes.
                if (op.size() == 1 && (op[0] == 0xE8 || op[0] == 0x74 || op[0] == 0x75)) {
                    const std::uint32_t displacement = static_cast<std::uint32_t>(random.Next() % 4096);
                    std::memcpy(section.data() + n, &displacement, 4);
                    n += 4;
                }
            }
        } else if (kind < 88) {
            // Tables: parameter descriptors with rising numbers and a few names.
            char record[64];
            while (n < length) {
                const int count = std::snprintf(record, sizeof record, "param%05llu\t%llu\t%u\n",
                                                static_cast<unsigned long long>(index % 100000),
                                                static_cast<unsigned long long>(index * 3),
                                                static_cast<unsigned>(random.Next() % 128));
                std::memcpy(section.data() + n, record, static_cast<std::size_t>(count));
                n += static_cast<std::size_t>(count);
                ++index;
            }
        } else {
            std::fill(section.begin(), section.begin() + static_cast<std::ptrdiff_t>(length), 0);
            n = length;
        }
        out.Put(section.data(), length);
        written += length;
        (void)n;
    }
}

// A preset as hosts save it: the fxp header (big-endian) and an opaque chunk with the state as
// text, padded with the parameter block a synthesizer would append.
void PutPreset(Writer& out, Random& random, std::uint64_t size, const std::string& name) {
    std::string body;
    body += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<BenchSynthPreset version=\"3\" name=\"" + name +
            "\">\n";
    static const char* const kParams[] = {"osc1.wave",     "osc1.detune",      "osc2.wave",     "osc2.octave",
                                          "filter.cutoff", "filter.resonance", "env1.attack",   "env1.decay",
                                          "env1.sustain",  "env1.release",     "lfo1.rate",     "lfo1.depth",
                                          "fx.reverb.mix", "fx.delay.time",    "unison.voices", "glide"};
    std::uint64_t row = 0;
    while (body.size() + 64 < size) {
        char line[96];
        const int n =
            std::snprintf(line, sizeof line, "  <param id=\"%s\" slot=\"%llu\" value=\"0.%04u\"/>\n",
                          kParams[random.Next() % 16], static_cast<unsigned long long>(row++ % 64),
                          static_cast<unsigned>(random.Next() % 10000));
        body.append(line, static_cast<std::size_t>(n));
    }
    body += "</BenchSynthPreset>\n";
    std::uint8_t header[60] = {};
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        header[at] = static_cast<std::uint8_t>(v >> 24);
        header[at + 1] = static_cast<std::uint8_t>(v >> 16);
        header[at + 2] = static_cast<std::uint8_t>(v >> 8);
        header[at + 3] = static_cast<std::uint8_t>(v);
    };
    std::memcpy(header, "CcnK", 4);
    std::memcpy(header + 8, "FPCh", 4);
    put32(4, static_cast<std::uint32_t>(52 + body.size()));
    put32(12, 1);
    std::memcpy(header + 16, "BnSy", 4);
    put32(20, 300);
    put32(24, 1);
    std::memcpy(header + 28, name.data(), std::min<std::size_t>(name.size(), 27));
    put32(56, static_cast<std::uint32_t>(body.size()));
    out.Put(header, sizeof header);
    out.Put(body);
}

// A picture that does not compress: the PNG signature and random bytes.
void PutImage(Writer& out, Random& random, std::uint64_t size) {
    static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    out.Put(kSignature, sizeof kSignature);
    std::vector<std::uint8_t> block(64 * kKiB);
    for (std::uint64_t left = size - sizeof kSignature; left > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), left));
        random.Fill(block.data(), n);
        out.Put(block.data(), n);
        left -= n;
    }
}

// A 32 x 32 icon, 32 bits per pixel, with a round badge on a gradient.
void PutIcon(Writer& out) {
    const std::uint32_t imageSize = 40 + 32 * 32 * 4 + 32 * 4;
    std::vector<std::uint8_t> icon = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0};
    auto put32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) icon.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    put32(imageSize);
    put32(22);
    put32(40);
    put32(32);
    put32(64);
    icon.insert(icon.end(), {1, 0, 32, 0});
    for (int i = 0; i < 6; ++i) put32(0);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int dx = x - 16, dy = y - 16;
            const bool badge = dx * dx + dy * dy < 144;
            icon.push_back(static_cast<std::uint8_t>(badge ? 0xF0 : 0x60 + 3 * y));
            icon.push_back(static_cast<std::uint8_t>(badge ? 0xC0 : 0x40 + 2 * x));
            icon.push_back(static_cast<std::uint8_t>(badge ? 0x30 : 0x20));
            icon.push_back(0xFF);
        }
    }
    icon.insert(icon.end(), 32 * 4, 0);
    out.Put(icon.data(), icon.size());
}

std::string Number(std::uint64_t value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*llu", digits, static_cast<unsigned long long>(value));
    return text;
}

std::uint64_t Scaled(double scale, std::uint64_t full, std::uint64_t floor) {
    return std::max<std::uint64_t>(floor,
                                   static_cast<std::uint64_t>(static_cast<double>(full) * scale + 0.5));
}

void WriteProduct(const fs::path& root, unsigned megabytes) {
    const double scale = megabytes / 300.0;
    Writer out(root);
    Random layout(0x42656E6368ull);  // sizes and counts; file contents have their own seeds

    out.Whole("Setup.ini",
              "; Bench Synth: the benchmark's product, written by bench_payload.\r\n"
              "[Setup]\r\n"
              "ProductName=Bench Synth\r\n"
              "RegistryRoot=Software\\Plugsetup Bench\\Bench Synth\r\n"
              "DefaultFolder=Plugsetup Bench\\Bench Synth\r\n"
              "\r\n"
              "[Components]\r\n"
              "Files=$ProgramFolder\r\n");
    out.Whole(
        "Setup.lic",
        "Bench Synth licence\r\n\r\nThis product exists only to measure how fast a setup installs it.\r\n"
        "You may install, copy and remove it as often as you like.\r\n");
    out.Whole("Setup.jpg",
              std::string_view(reinterpret_cast<const char*>(kSidePicture), sizeof kSidePicture));

    auto file = [&](const std::string& relative) {
        out.Begin("Files/" + relative);
        return Random(HashName(relative) ^ 0x5EEDF11E5ull);
    };

    // The five large binaries; 258 MiB at N = 300.
    const std::string vst3 = "VST3/Bench Synth.vst3/";
    const std::string aax = "AAX/Bench Synth.aaxplugin/";
    const struct {
        std::string path;
        std::uint64_t mebibytes;
    } binaries[] = {
        {vst3 + "Contents/x86_64-win/Bench Synth.vst3", 72},
        {aax + "Contents/x64/Bench Synth.aaxplugin", 60},
        {"VST2/Bench Synth x64.dll", 52},
        {"Bench Synth.exe", 42},
        {vst3 + "Contents/x86-win/Bench Synth.vst3", 32},
    };
    for (const auto& binary : binaries) {
        const std::uint64_t size = Scaled(scale, binary.mebibytes * kMiB, 256 * kKiB) / 4096 * 4096;
        Random random = file(binary.path);
        PutBinary(out, random, size);
        out.End();
    }

    // The bundles' own files.
    for (const std::string& bundle : {vst3, aax}) {
        out.Whole("Files/" + bundle + "desktop.ini",
                  "[.ShellClassInfo]\r\nIconResource=PlugIn.ico,0\r\n[ViewState]\r\nMode=\r\nVid="
                  "\r\nFolderType=Generic\r\n");
        out.Begin("Files/" + bundle + "PlugIn.ico");
        PutIcon(out);
        out.End();
    }
    out.Whole("Files/" + vst3 + "Contents/Resources/moduleinfo.json",
              "{\r\n  \"Name\": \"Bench Synth\",\r\n  \"Version\": \"1.0.0\",\r\n  \"Factory Info\": {\r\n"
              "    \"Vendor\": \"Plugsetup Bench\",\r\n    \"URL\": \"\",\r\n    \"E-Mail\": \"\"\r\n  },\r\n"
              "  \"Classes\": [\r\n    {\r\n      \"CID\": \"5BE1C7A35E2B4A6F9D1C0B8A7E6F5D4C\",\r\n"
              "      \"Category\": \"Audio Module Class\",\r\n      \"Name\": \"Bench Synth\",\r\n"
              "      \"Sub Categories\": [\"Instrument\", \"Synth\"]\r\n    }\r\n  ]\r\n}\r\n");
    {
        Random random = file(aax + "Contents/Resources/PageTable.xml");
        PutText(out, random, 24 * kKiB);
        out.End();
    }

    // Pictures: the bundles' snapshots and the skin, incompressible.
    const std::uint64_t images = Scaled(scale, 20, 4);
    for (std::uint64_t i = 0; i < images; ++i) {
        std::string path;
        if (i == 0)
            path = vst3 + "Contents/Resources/Snapshots/5BE1C7A35E2B4A6F_snapshot.png";
        else if (i == 1)
            path = vst3 + "Contents/Resources/Snapshots/5BE1C7A35E2B4A6F_snapshot_2.0x.png";
        else if (i == 2)
            path = aax + "Contents/Resources/Skin.png";
        else
            path = "Resources/Skins/Default/Panel " + Number(i, 2) + ".png";
        const std::uint64_t size = layout.Range(100 * kKiB, 500 * kKiB);
        Random random = file(path);
        PutImage(out, random, size);
        out.End();
    }

    // Presets, spread over category and bank folders.
    static const char* const kCategories[] = {"Bass", "Lead", "Pad", "Keys", "Pluck", "Arp", "Drums", "FX"};
    static const char* const kBanks[] = {"Factory A", "Factory B", "Artist Series", "Init and Templates"};
    static const char* const kAdjectives[] = {"Deep",  "Warm",    "Bright", "Dark",   "Wide",
                                              "Soft",  "Hard",    "Glassy", "Analog", "Digital",
                                              "Dusty", "Shimmer", "Doré",   "Métal"};
    const std::uint64_t presets = Scaled(scale, 1900, 48);
    for (std::uint64_t i = 0; i < presets; ++i) {
        const std::string category = kCategories[i % 8];
        const std::string bank = kBanks[(i / 8) % 4];
        const std::string name =
            std::string(kAdjectives[(i * 7) % 14]) + " " + category + " " + Number(i / 32 + 1, 3);
        const std::string path = "Presets/" + category + "/" + bank + "/" + name + ".fxp";
        const std::uint64_t size = layout.Range(1 * kKiB, 20 * kKiB);
        Random random = file(path);
        PutPreset(out, random, size, name);
        out.End();
    }

    // Documents: the readme, the licences of what the product contains, the manual's chapters.
    static const char* const kLicences[] = {"zlib",     "libpng",        "FreeType", "JUCE",
                                            "VST3 SDK", "AAX SDK",       "Boost",    "fmt",
                                            "Expat",    "nlohmann json", "pugixml",  "Catch2"};
    const std::uint64_t texts = Scaled(scale, 100, 12);
    for (std::uint64_t i = 0; i < texts; ++i) {
        std::string path;
        if (i == 0)
            path = "Readme.txt";
        else if (i == 1)
            path = "Changes.txt";
        else if (i == 2)
            path = "Licence.txt";
        else if (i - 3 < 12 && i - 3 < texts / 3)
            path = std::string("Docs/Licences/") + kLicences[i - 3] + " Licence.txt";
        else if (i % 4 == 3)
            path = "Docs/Manuel français/Chapitre " + Number(i, 3) + " – Réglages.txt";
        else
            path = "Docs/Manual/Chapter " + Number(i, 3) + ".txt";
        const std::uint64_t size = layout.Range(2 * kKiB, 40 * kKiB);
        Random random = file(path);
        PutText(out, random, size);
        out.End();
    }

    // Empty files, as real products ship them.
    for (const char* path : {"Presets/User/Favorites.txt", "Logs/Bench Synth.log", "Docs/NOTICE",
                             "VST3/Bench Synth.vst3/Contents/Resources/empty.dat"}) {
        out.Begin(std::string("Files/") + path);
        out.End();
    }

    std::printf("%s: %llu files, %llu bytes\n", root.string().c_str(),
                static_cast<unsigned long long>(out.files()), static_cast<unsigned long long>(out.bytes()));
}

}  // namespace

int main(int argc, char** argv) {
    const char* outDir = nullptr;
    unsigned megabytes = 300;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--megabytes" && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            if (value < 1 || value > 1800) {
                std::fprintf(stderr, "bench_payload: --megabytes takes 1 to 1800\n");
                return 2;
            }
            megabytes = static_cast<unsigned>(value);
        } else if (!outDir && !arg.starts_with("-")) {
            outDir = argv[i];
        } else {
            outDir = nullptr;
            break;
        }
    }
    if (!outDir) {
        std::fprintf(stderr, "usage: bench_payload OUT_DIR [--megabytes N]\n");
        return 2;
    }
    try {
        const fs::path root(outDir);
        // A second run must not leave files of a larger product behind.
        fs::remove_all(root / "Files");
        WriteProduct(root, megabytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_payload: %s\n", e.what());
        return 1;
    }
    return 0;
}
