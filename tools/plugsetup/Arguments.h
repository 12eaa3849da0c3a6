// Command-line options shared by the commands: "--name VALUE", "--name=VALUE", "-o VALUE",
// flags, and positional arguments; "--" ends the options. Errors are EUsageError.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CodePage;
class TProgramVersion;
struct ProductTreeOptions;

struct OptionRule {
    const char* Name;  // "--version", "-o"
    bool TakesValue;
};

class Arguments {
public:
    Arguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules);

    bool Has(const std::string& name) const { return values_.count(name) > 0; }
    std::optional<std::string> Value(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }
    // Exactly count positional arguments, or EUsageError naming what is missing.
    void ExpectPositional(std::size_t count, const char* what) const;

private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};

// --version MAJOR.MINOR.RELEASE with --beta and --press-preview, as every command takes them;
// a missing --version gives fallback, or EUsageError when there is none.
TProgramVersion VersionFromArguments(const Arguments& arguments, const TProgramVersion* fallback = nullptr);

// --codepage N, the Windows code page the archive holds names and texts in; 1252 when not given.
// Every command that writes or shows names takes it, with the same default: the archive does not
// record it.
inline constexpr OptionRule kCodePageOption = {"--codepage", true};
std::unique_ptr<CodePage> CodePageFromArguments(const Arguments& arguments);
// The code page a setup is built in: UTF-8, unless --codepage names one.
std::unique_ptr<CodePage> BuildCodePageFromArguments(const Arguments& arguments);

// How check and build read a product folder: --allow-outside-links follows symbolic links that
// lead out of it (ProductTreeOptions). --strict makes every warning an error.
inline constexpr OptionRule kOutsideLinksOption = {"--allow-outside-links", false};
inline constexpr OptionRule kStrictOption = {"--strict", false};
ProductTreeOptions TreeOptionsFromArguments(const Arguments& arguments);
