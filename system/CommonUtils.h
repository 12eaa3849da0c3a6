// Path and string helpers: plain logic over 8-bit text, backslashes as separators.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Platform;

// The longest paths that the system's file calls take without long-path support, in UTF-16
// units (Utf16Length), as Windows counts them: a file's, within MAX_PATH with its terminator;
// a folder's, with room left in it for a short file name.
inline constexpr std::size_t kMaxFilePathLength = 259;
inline constexpr std::size_t kMaxFolderPathLength = 247;

// Empty stays empty; otherwise a backslash is appended unless the path ends with one.
std::string IncludeBackslash(const std::string& path);
// IncludeBackslash(a) + b; an empty a yields b alone.
std::string JoinPath(const std::string& a, const std::string& b);
std::string JoinPath(const std::string& a, const std::string& b, const std::string& c);
// The file-name part of path (after its last "\" or ":") without its last extension.
std::string FileBaseName(const std::string& path);
// The folder part of path including its trailing backslash (or colon), "" when there is none.
std::string ExtractFilePath(const std::string& path);
// The file-name part of path (after its last "\" or ":").
std::string ExtractFileName(const std::string& path);

struct SplitResult {
    bool found;
    std::string left;
    std::string right;
};
// Splits at the first occurrence of separator; without one, left is the whole text.
SplitResult SplitAt(const std::string& text, char separator);

int ClampInt(int value, int low, int high);

// The spellings an integer of Setup.ini may take. Decimal always, with an optional sign, and it
// must fit a signed 32-bit integer; with Hexadecimal also "$" or "0x"/"0X" and hexadecimal digits
// (the 32 bits as written: "$FFFFFFFF" is -1), with SignedHexadecimal a sign before them too.
enum class IntegerSpelling { Decimal, Hexadecimal, SignedHexadecimal };
// The one integer reader of the setup: booleans, "#" settings and icon numbers. Blanks, other
// signs and an empty number have no value.
std::optional<std::int32_t> ParseInteger(const std::string& text, IntegerSpelling spelling);

// Blanks and control characters off both ends, as vendors' editors leave them.
std::string Trim(const std::string& text);

// Splits text into lines at CR LF, CR or LF; a break at the very end opens no further line.
std::vector<std::string> SplitTextLines(const std::string& text);

// A path that names its drive ("C:\...") or a network share ("\\server\..."): never relative to
// whatever folder the process happens to be in.
bool IsAbsolutePath(const std::string& path);

// ASCII-only case folding: a-z equal A-Z, every other byte must match exactly.
char FoldAscii(char c);
bool SameText(const std::string& a, const std::string& b);
std::string UpperAscii(const std::string& text);

// Folder of the running program, with a trailing backslash.
std::string OwnFolder(Platform& platform);
