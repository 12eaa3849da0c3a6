#include "tools/plugsetup/Arguments.h"

#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/CodePage.h"

Arguments::Arguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (std::size_t eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        const OptionRule* rule = nullptr;
        for (const OptionRule& candidate : rules)
            if (name == candidate.Name) rule = &candidate;
        if (!rule) throw EUsageError("unknown option '" + name + "'");
        if (values_.count(name)) throw EUsageError("option '" + name + "' given twice");
        if (!rule->TakesValue) {
            if (inlineValue) throw EUsageError("option '" + name + "' takes no value");
            values_[name] = std::string();
        } else if (inlineValue) {
            values_[name] = *inlineValue;
        } else {
            if (i + 1 >= args.size()) throw EUsageError("option '" + name + "' needs a value");
            values_[name] = args[++i];
        }
    }
}

std::optional<std::string> Arguments::Value(const std::string& name) const {
    auto found = values_.find(name);
    if (found == values_.end()) return std::nullopt;
    return found->second;
}

void Arguments::ExpectPositional(std::size_t count, const char* what) const {
    if (positional_.size() < count) throw EUsageError(std::string("missing ") + what);
    if (positional_.size() > count) throw EUsageError("unexpected argument '" + positional_[count] + "'");
}

std::unique_ptr<CodePage> CodePageFromArguments(const Arguments& arguments) {
    const std::string text = arguments.Value("--codepage").value_or(std::to_string(kDefaultCodePage));
    int number = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || number > 99999)
            throw EUsageError("--codepage wants a number, not '" + text + "'");
        number = number * 10 + (c - '0');
    }
    if (text.empty()) throw EUsageError("--codepage wants a number");
    try {
        return OpenCodePage(number);
    } catch (const ECodePageError& error) {
        throw EUsageError(std::string("--codepage: ") + error.what());
    }
}

std::unique_ptr<CodePage> BuildCodePageFromArguments(const Arguments& arguments) {
    return arguments.Has("--codepage") ? CodePageFromArguments(arguments) : OpenUtf8CodePage();
}

ProductTreeOptions TreeOptionsFromArguments(const Arguments& arguments) {
    ProductTreeOptions options;
    options.AllowOutsideLinks = arguments.Has(kOutsideLinksOption.Name);
    return options;
}
