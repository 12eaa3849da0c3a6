// plugsetup check's findings as text, as GitHub annotations and as JSON.
#include <algorithm>

#include "tools/plugsetup/check/JsonText.h"
#include "tools/plugsetup/check/ProductCheck.h"

namespace {

constexpr const char* kAnnotationTitle = "plugsetup check";

int Count(const std::vector<CheckFinding>& findings, Severity level) {
    return static_cast<int>(std::count_if(findings.begin(), findings.end(),
                                          [&](const CheckFinding& f) { return f.Level == level; }));
}

int ErrorCount(const std::vector<CheckFinding>& findings) {
    return Count(findings, Severity::Error);
}

const char* LevelName(Severity level) {
    switch (level) {
        case Severity::Error:
            return "error";
        case Severity::Warning:
            return "warning";
        case Severity::Note:
            break;
    }
    return "note";
}

// Notes are counted only when there are any, so the line of a clean folder stays as it was.
void PrintCounts(std::ostream& out, const std::string& productDir,
                 const std::vector<CheckFinding>& findings) {
    const int errors = ErrorCount(findings);
    const int warnings = Count(findings, Severity::Warning);
    const int notes = Count(findings, Severity::Note);
    out << productDir << ": " << errors << (errors == 1 ? " error, " : " errors, ") << warnings
        << (warnings == 1 ? " warning" : " warnings");
    if (notes > 0) out << ", " << notes << (notes == 1 ? " file" : " files") << " not packed";
    out << "\n";
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
        // GitHub's own word for a note is "notice".
        out << "::" << (finding.Level == Severity::Note ? "notice" : LevelName(finding.Level))
            << " file=" << AnnotationProperty(finding.File);
        if (finding.Line > 0) out << ",line=" << finding.Line;
        out << ",title=" << AnnotationProperty(kAnnotationTitle) << "::" << AnnotationData(finding.Message)
            << "\n";
    }
}

void PrintJsonReport(std::ostream& out, const std::string& productDir,
                     const std::vector<CheckFinding>& findings) {
    out << "{\"product\": " << JsonText(productDir) << ", \"errors\": " << ErrorCount(findings)
        << ", \"warnings\": " << Count(findings, Severity::Warning)
        << ", \"notes\": " << Count(findings, Severity::Note) << ",\n \"findings\": [";
    for (std::size_t i = 0; i < findings.size(); ++i) {
        const CheckFinding& finding = findings[i];
        out << (i ? ",\n  " : "\n  ") << "{\"file\": " << JsonText(finding.File)
            << ", \"line\": " << (finding.Line > 0 ? std::to_string(finding.Line) : "null")
            << ", \"severity\": \"" << LevelName(finding.Level) << "\""
            << ", \"message\": " << JsonText(finding.Message) << "}";
    }
    out << "]}\n";
}

}  // namespace

int PrintFindings(std::ostream& out, const std::vector<CheckFinding>& findings) {
    for (const CheckFinding& finding : findings) {
        out << finding.File;
        if (finding.Line > 0) out << ":" << finding.Line;
        out << ": " << LevelName(finding.Level) << ": " << finding.Message << "\n";
    }
    return ErrorCount(findings);
}

int PrintCheckReport(std::ostream& out, const std::string& productDir,
                     const std::vector<CheckFinding>& findings, ReportFormat format) {
    switch (format) {
        case ReportFormat::Text:
            PrintFindings(out, findings);
            PrintCounts(out, productDir, findings);
            break;
        case ReportFormat::Github:
            PrintAnnotations(out, findings);
            PrintCounts(out, productDir, findings);
            break;
        case ReportFormat::Json:
            PrintJsonReport(out, productDir, findings);
            break;
    }
    return ErrorCount(findings);
}

void MakeWarningsErrors(std::vector<CheckFinding>& findings) {
    for (CheckFinding& finding : findings)
        if (finding.Level == Severity::Warning) finding.Level = Severity::Error;
}
