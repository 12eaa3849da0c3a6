// plugsetup check: the product folder's mistakes, as "file:line: error|warning: message" lines,
// as GitHub annotations or as JSON.
#include <algorithm>

#include "tools/plugsetup/Arguments.h"
#include "tools/plugsetup/ProductTree.h"
#include "tools/plugsetup/Progress.h"
#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/check/ProductCheck.h"
#include "tools/plugsetup/host/CodePage.h"

namespace {

const std::vector<OptionRule> kCheckOptions = {
    {"--version", true}, {"--beta", true},   {"--press-preview", false},
    kCodePageOption,     {"--format", true}, kStrictOption,
    kOutsideLinksOption, kProgressOption,    kQuietOption,
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
    const std::unique_ptr<CodePage> codePage = BuildCodePageFromArguments(arguments);
    const std::string& productDir = arguments.Positional()[0];
    Progress progress(env, arguments);
    progress.Begin("reading", 0);
    const ProductTree tree = ReadProductTree(productDir, *codePage, TreeOptionsFromArguments(arguments));
    progress.Begin("checking", 0);
    std::vector<CheckFinding> findings = CheckProduct(tree, version, *codePage);
    if (arguments.Has(kStrictOption.Name)) MakeWarningsErrors(findings);
    if (progress.Quiet())
        std::erase_if(findings, [](const CheckFinding& finding) { return finding.Level != Severity::Error; });
    // --quiet: the errors alone, without the counts.
    const int errors = progress.Quiet() ? PrintFindings(env.Err, findings)
                                        : PrintCheckReport(env.Out, productDir, findings, format);
    const auto warnings = std::count_if(findings.begin(), findings.end(), [](const CheckFinding& finding) {
        return finding.Level == Severity::Warning;
    });
    progress.Finish(productDir + ": " + std::to_string(errors) + (errors == 1 ? " error, " : " errors, ") +
                    std::to_string(warnings) + (warnings == 1 ? " warning, " : " warnings, ") +
                    FormatSeconds(progress.Elapsed()));
    return errors > 0 ? kExitFailure : kExitOk;
}
