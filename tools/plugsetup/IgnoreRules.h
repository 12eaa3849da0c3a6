// What of a product folder is never packed: the junk that editors, file managers and version
// control leave behind, and what the vendor's .plugsetupignore names.
#pragma once

#include <string>
#include <vector>

inline constexpr const char* kIgnoreFileName = ".plugsetupignore";

// The lines of a .plugsetupignore, in the patterns of a .gitignore: "#" starts a comment, "!"
// takes a name back in, a "/" at the end matches folders only, a "/" at the start or inside ties
// the pattern to the product folder (otherwise it matches a name at any depth), "*", "?", "[a-z]"
// and "**" as in git. Letters match in either case, as Windows compares names.
class IgnoreRules {
public:
    IgnoreRules() = default;
    explicit IgnoreRules(const std::string& text);

    // Why the entry at relative (a path with "/" below the product folder) is not packed, or
    // empty when it is: built-in junk, or the last matching line of the file.
    std::string ReasonToSkip(const std::string& relative, bool isFolder) const;

private:
    struct Pattern {
        std::string Glob;
        int Line = 0;
        bool Negated = false;
        bool FoldersOnly = false;
        bool Anchored = false;
    };
    std::vector<Pattern> patterns_;
};

// The built-in list as a reason, or empty: .DS_Store, ._* (macOS), Thumbs.db, ehthumbs.db
// (Windows Explorer), .git, .svn, .hg and their .gitignore, .gitattributes, .gitkeep, __MACOSX
// (zip files made on macOS), and the .plugsetupignore itself at the top.
std::string BuiltInJunkReason(const std::string& relative, bool isFolder);
