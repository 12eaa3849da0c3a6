#include "tools/plugsetup/Sha256.h"

#include "tools/plugsetup/pe/Sha.h"

// The digest itself is the one signatures are checked with (pe/Sha).
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<Digest> digest = MakeSha256();
    digest->Update(bytes.data(), bytes.size());
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (std::uint8_t byte : digest->Finish()) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 15];
    }
    return hex;
}
