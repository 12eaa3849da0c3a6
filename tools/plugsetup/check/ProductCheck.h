// plugsetup check: what a setup built from a product folder would do wrong, found before the
// vendor ships it. Setup.ini is read by the engine's own reader, loader and schema, so the check
// and Setup.exe cannot disagree about what a line means.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"

class CodePage;
struct ProductTree;

// An error stops a build; a warning says what the setup will do that was likely not meant; a
// note says what build leaves out (a skipped file).
enum class Severity { Error, Warning, Note };

// One finding, kept as data so that any output format is a formatter away.
struct CheckFinding {
    std::string File;  // host path
    int Line = 0;      // 1-based; 0 when the finding is about the whole file
    Severity Level = Severity::Error;
    std::string Message;
};

// tree is the product folder as build reads it. version is the one the setup will carry; it
// changes what the texts expand to, not what is found. codePage is the one build would convert
// names and texts to.
std::vector<CheckFinding> CheckProduct(const ProductTree& tree, const TProgramVersion& version,
                                       const CodePage& codePage);
// What the tree itself refuses (errors) and leaves out (notes), in folder order: the part of the
// check that build applies even with --no-check, since no setup can hold those entries.
std::vector<CheckFinding> TreeFindings(const ProductTree& tree);
// --strict: every warning becomes an error.
void MakeWarningsErrors(std::vector<CheckFinding>& findings);

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
