// plugsetup check: what a setup built from a product folder would do wrong, found before the
// vendor ships it. Setup.ini is read by the engine's own reader, loader and schema, so the check
// and Setup.exe cannot disagree about what a line means.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"

class CodePage;

// One finding, kept as data so that any output format is a formatter away.
struct CheckFinding {
    std::string File;  // host path
    int Line = 0;      // 1-based; 0 when the finding is about the whole file
    bool IsError = true;
    std::string Message;
};

// version is the one the setup will carry; it changes what the texts expand to, not what is
// found. codePage is the one build would convert names and texts to.
std::vector<CheckFinding> CheckProduct(const std::string& productDir, const TProgramVersion& version,
                                       const CodePage& codePage);

// The ways the findings are printed (CheckReport.cpp).
enum class ReportFormat {
    Text,    // "file:line: error: message", one a line, then the counts
    Github,  // GitHub Actions annotations ("::error file=F,line=N,title=...::message"), then the counts
    Json,    // one JSON document: the product folder, the counts and every finding
};

// "file:line: error: message", one a line; returns the number of errors.
int PrintFindings(std::ostream& out, const std::vector<CheckFinding>& findings);
// What plugsetup check prints for productDir: the findings in format, with the counts; returns
// the number of errors.
int PrintCheckReport(std::ostream& out, const std::string& productDir,
                     const std::vector<CheckFinding>& findings, ReportFormat format);
