#include "tools/plugsetup/IgnoreRules.h"

#include "system/CommonUtils.h"

namespace {

// A "[...]" class at pattern[at] (just after the "["): whether c is in it; end is set past "]".
bool MatchClass(const std::string& pattern, std::size_t at, char c, std::size_t& end) {
    bool negated = at < pattern.size() && (pattern[at] == '!' || pattern[at] == '^');
    if (negated) ++at;
    bool found = false;
    for (std::size_t i = at; i < pattern.size(); ++i) {
        if (pattern[i] == ']' && i > at) {
            end = i + 1;
            return found != negated;
        }
        if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
            found =
                found || (FoldAscii(c) >= FoldAscii(pattern[i]) && FoldAscii(c) <= FoldAscii(pattern[i + 2]));
            i += 2;
        } else {
            found = found || FoldAscii(c) == FoldAscii(pattern[i]);
        }
    }
    end = std::string::npos;  // no closing bracket: the "[" is a plain character
    return false;
}

bool Glob(const std::string& p, std::size_t pi, const std::string& t, std::size_t ti) {
    while (pi < p.size()) {
        const char c = p[pi];
        if (c == '*' && pi + 1 < p.size() && p[pi + 1] == '*') {
            std::size_t rest = pi + 2;
            if (rest == p.size()) return true;  // "x/**": everything inside
            if (p[rest] == '/') {
                // "**/": no folders, or any number of them.
                if (Glob(p, rest + 1, t, ti)) return true;
                for (std::size_t i = ti; i < t.size(); ++i)
                    if (t[i] == '/' && Glob(p, rest + 1, t, i + 1)) return true;
                return false;
            }
            ++pi;  // "**" elsewhere is a "*"
            continue;
        }
        if (c == '*') {
            for (std::size_t i = ti;; ++i) {
                if (Glob(p, pi + 1, t, i)) return true;
                if (i >= t.size() || t[i] == '/') return false;
            }
        }
        if (ti >= t.size()) return false;
        if (c == '?') {
            if (t[ti] == '/') return false;
        } else if (c == '[') {
            std::size_t end = 0;
            const bool in = MatchClass(p, pi + 1, t[ti], end);
            if (end != std::string::npos) {
                if (!in || t[ti] == '/') return false;
                pi = end;
                ++ti;
                continue;
            }
            if (t[ti] != '[') return false;
        } else if (c == '\\' && pi + 1 < p.size()) {
            if (FoldAscii(p[pi + 1]) != FoldAscii(t[ti])) return false;
            ++pi;
        } else if (FoldAscii(c) != FoldAscii(t[ti])) {
            return false;
        }
        ++pi;
        ++ti;
    }
    return ti == t.size();
}

std::string NameOf(const std::string& relative) {
    const std::size_t slash = relative.rfind('/');
    return slash == std::string::npos ? relative : relative.substr(slash + 1);
}

}  // namespace

IgnoreRules::IgnoreRules(const std::string& text) {
    int number = 0;
    for (std::string line : SplitTextLines(text)) {
        ++number;
        if (number == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
        // Trailing blanks go, unless the last one is escaped.
        while (!line.empty() && line.back() == ' ' && !(line.size() > 1 && line[line.size() - 2] == '\\'))
            line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Pattern pattern;
        pattern.Line = number;
        if (line[0] == '!') {
            pattern.Negated = true;
            line.erase(0, 1);
        } else if (line.rfind("\\!", 0) == 0 || line.rfind("\\#", 0) == 0) {
            line.erase(0, 1);
        }
        if (!line.empty() && line.back() == '/') {
            pattern.FoldersOnly = true;
            line.pop_back();
        }
        pattern.Anchored = line.find('/') != std::string::npos;
        if (!line.empty() && line[0] == '/') line.erase(0, 1);
        if (line.empty()) continue;
        pattern.Glob = line;
        patterns_.push_back(pattern);
    }
}

std::string IgnoreRules::ReasonToSkip(const std::string& relative, bool isFolder) const {
    if (std::string reason = BuiltInJunkReason(relative, isFolder); !reason.empty()) return reason;
    const Pattern* last = nullptr;
    for (const Pattern& pattern : patterns_) {
        if (pattern.FoldersOnly && !isFolder) continue;
        const std::string& subject = pattern.Anchored ? relative : NameOf(relative);
        if (Glob(pattern.Glob, 0, subject, 0)) last = &pattern;
    }
    if (!last || last->Negated) return "";
    return "line " + std::to_string(last->Line) + " of " + kIgnoreFileName + " ('" +
           (last->Anchored ? "/" : "") + last->Glob + (last->FoldersOnly ? "/" : "") + "')";
}

std::string BuiltInJunkReason(const std::string& relative, bool isFolder) {
    const std::string name = NameOf(relative);
    if (isFolder) {
        for (const char* folder : {".git", ".svn", ".hg", "__MACOSX"})
            if (SameText(name, folder)) return "a folder of version control or of a zip file, never packed";
        return "";
    }
    if (SameText(name, ".DS_Store") || name.rfind("._", 0) == 0) return "a file macOS leaves, never packed";
    if (SameText(name, "Thumbs.db") || SameText(name, "ehthumbs.db"))
        return "a file Windows Explorer leaves, never packed";
    for (const char* file : {".gitignore", ".gitattributes", ".gitkeep", ".gitmodules"})
        if (SameText(name, file)) return "a file of version control, never packed";
    if (SameText(relative, kIgnoreFileName)) return "the list of what is not packed, never packed itself";
    return "";
}
