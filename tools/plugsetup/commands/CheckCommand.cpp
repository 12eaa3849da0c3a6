// plugsetup check: the product folder's mistakes, as "file:line: error|warning: message" lines,
// as GitHub annotations or as JSON.
#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/check/ProductCheck.h"
#include "tools/plugsetup/host/CodePage.h"

namespace {

const std::vector<OptionRule> kCheckOptions = {
    {"--version", true}, {"--beta", true}, {"--press-preview", false}, kCodePageOption,
    {"--format", true},  kStrictOption,    kOutsideLinksOption,
};

ReportFormat FormatFromArguments(const Arguments& arguments) {
    const std::string format = arguments.Value("--format").value_or("text");
    if (format == "text") return ReportFormat::Text;
    if (format == "github") return ReportFormat::Github;
    if (format == "json") return ReportFormat::Json;
    throw EUsageError("--format wants text, github or json, not '" + format + "'");
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, ToolEnvironment& env) {
    Arguments arguments(args, kCheckOptions);
    arguments.ExpectPositional(1, "PRODUCT_DIR");
    const ReportFormat format = FormatFromArguments(arguments);
    TProgramVersion fallback;
    fallback.Major = 1;
    const TProgramVersion version = VersionFromArguments(arguments, &fallback);
    const std::unique_ptr<CodePage> codePage = CodePageFromArguments(arguments);
    const std::string& productDir = arguments.Positional()[0];
    const ProductTree tree = ReadProductTree(productDir, *codePage, TreeOptionsFromArguments(arguments));
    std::vector<CheckFinding> findings = CheckProduct(tree, version, *codePage);
    if (arguments.Has(kStrictOption.Name)) MakeWarningsErrors(findings);
    const int errors = PrintCheckReport(env.Out, productDir, findings, format);
    return errors > 0 ? kExitFailure : kExitOk;
}
