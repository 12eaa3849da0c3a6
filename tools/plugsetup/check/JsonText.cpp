#include "tools/plugsetup/check/JsonText.h"

#include <cstdio>

#include "tools/plugsetup/host/CodePage.h"

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (char c : ValidUtf8(text)) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x",
                          static_cast<unsigned>(static_cast<unsigned char>(c)));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}
