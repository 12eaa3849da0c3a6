// plugsetup check: the product folder's mistakes as "file:line: error|warning: message".
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/CodePage.h"
#include "tools/plugsetup/ProductCheck.h"
#include "tools/plugsetup/Tool.h"

namespace {

const std::vector<OptionRule> kCheckOptions = {
    {"--version", true},
    {"--beta", true},
    {"--press-preview", false},
    kCodePageOption,
};

}  // namespace

int RunCheck(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, kCheckOptions);
    arguments.ExpectPositional(1, "PRODUCT_DIR");
    TProgramVersion fallback;
    fallback.Major = 1;
    const TProgramVersion version = VersionFromArguments(arguments, &fallback);
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& productDir = arguments.Positional()[0];
    std::vector<CheckFinding> findings = CheckProduct(productDir, version, *codePage);
    const int errors = PrintFindings(env.Out, findings);
    const std::size_t warnings = findings.size() - static_cast<std::size_t>(errors);
    env.Out << productDir << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
            << (warnings == 1 ? " warning" : " warnings") << "\n";
    return errors > 0 ? kExitFailure : kExitOk;
}
