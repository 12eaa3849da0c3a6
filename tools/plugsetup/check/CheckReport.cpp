// plugsetup check's findings as text, as GitHub annotations and as JSON.
#include <algorithm>

#include "tools/plugsetup/check/JsonText.h"
#include "tools/plugsetup/check/ProductCheck.h"

namespace {

constexpr const char* kAnnotationTitle = "plugsetup check";

int ErrorCount(const std::vector<CheckFinding>& findings) {
    return static_cast<int>(
        std::count_if(findings.begin(), findings.end(), [](const CheckFinding& f) { return f.IsError; }));
}

void PrintCounts(std::ostream& out, const std::string& productDir, int errors, std::size_t warnings) {
    out << productDir << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning" : " warnings") << "\n";
}

// A workflow command's message: the runner reads %, CR and LF as escapes.
std::string AnnotationData(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '%')
            escaped += "%25";
        else if (c == '\r')
            escaped += "%0D";
        else if (c == '\n')
            escaped += "%0A";
        else
            escaped += c;
    }
    return escaped;
}

// A workflow command's property value: also its separators, ":" and ",".
std::string AnnotationProperty(const std::string& text) {
    std::string escaped;
    for (char c : AnnotationData(text)) {
        if (c == ':')
            escaped += "%3A";
        else if (c == ',')
            escaped += "%2C";
        else
            escaped += c;
    }
    return escaped;
}

void PrintAnnotations(std::ostream& out, const std::vector<CheckFinding>& findings) {
    for (const CheckFinding& finding : findings) {
        out << "::" << (finding.IsError ? "error" : "warning")
            << " file=" << AnnotationProperty(finding.File);
        if (finding.Line > 0) out << ",line=" << finding.Line;
        out << ",title=" << AnnotationProperty(kAnnotationTitle) << "::" << AnnotationData(finding.Message)
            << "\n";
    }
}

void PrintJsonReport(std::ostream& out, const std::string& productDir,
                     const std::vector<CheckFinding>& findings) {
    const int errors = ErrorCount(findings);
    out << "{\"product\": " << JsonText(productDir) << ", \"errors\": " << errors
        << ", \"warnings\": " << findings.size() - static_cast<std::size_t>(errors) << ",\n \"findings\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& finding = findings[i];
        out << (i ? ",\n  " : "\n  ") << "{\"file\": " << JsonText(finding.File)
            << ", \"line\": " << (finding.Line > 0 ? std::to_string(finding.Line) : "null")
            << ", \"severity\": " << (finding.IsError ? "\"error\"" : "\"warning\"")
            << ", \"message\": " << JsonText(finding.Message) << "}";
    }
    out << "]}\n";
}

}  // namespace

int PrintFindings(std::ostream& out, const std::vector<CheckFinding>& findings) {
    for (const CheckFinding& finding : findings) {
        out << finding.File;
        if (finding.Line > 0) out << ":" << finding.Line;
        out << ": " << (finding.IsError ? "error" : "warning") << ": " << finding.Message << "\n";
    }
    return ErrorCount(findings);
}

int PrintCheckReport(std::ostream& out, const std::string& productDir,
                     const std::vector<CheckFinding>& findings, ReportFormat format) {
    const int errors = ErrorCount(findings);
    const std::size_t warnings = findings.size() - static_cast<std::size_t>(errors);
    switch (format) {
        case ReportFormat::Text:
            PrintFindings(out, findings);
            PrintCounts(out, productDir, errors, warnings);
            break;
        case ReportFormat::Github:
            PrintAnnotations(out, findings);
            PrintCounts(out, productDir, errors, warnings);
            break;
        case ReportFormat::Json:
            PrintJsonReport(out, productDir, findings);
            break;
    }
    return errors;
}
