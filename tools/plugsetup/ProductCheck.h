// plugsetup check: what a setup built from a product folder would do wrong, found before the
// vendor ships it. Setup.ini is read by the engine's own parser and loader, so the check and
// Setup.exe cannot disagree about what a line means.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "archive/CommonClasses.h"

struct CheckFinding {
    std::string File;  // host path
    int Line = 0;      // 1-based; 0 when the finding is about the whole file
    bool IsError = true;
    std::string Message;
};

// version is the one the setup will carry; it changes what the texts expand to, not what is found.
std::vector<CheckFinding> CheckProduct(const std::string& productDir, const TProgramVersion& version);

// "file:line: error: message", one a line; returns the number of errors.
int PrintFindings(std::ostream& out, const std::vector<CheckFinding>& findings);
