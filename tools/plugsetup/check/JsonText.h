// Text as a JSON string, for the commands that print JSON (preview --json, check --format json).
#pragma once

#include <string>

// text in double quotes, with quotes, backslashes and control characters escaped; what is not
// UTF-8 (a Linux file name in another encoding) becomes U+FFFD, so the document is always
// valid UTF-8.
std::string JsonText(const std::string& text);
