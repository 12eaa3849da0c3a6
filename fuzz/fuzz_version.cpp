// The version parse rule over any text: it either raises the not-a-valid-version error or
// gives a record whose text form reads back to it, and the ordering stays antisymmetric.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "archive/CommonClasses.h"
#include "system/Exceptions.h"

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& text) {
    std::fprintf(stderr, "fuzz_version: %s for '%s'\n", what.c_str(), text.c_str());
    std::abort();
}

std::optional<TProgramVersion> Parse(const std::string& text) {
    TProgramVersion version;
    version.Major = 77;  // a failed parse must leave the record as it was
    try {
        version.SetAsString(text);
    } catch (const EProgramVersionError&) {
        if (version.Major != 77) Fail("a failed parse changed the record", text);
        return std::nullopt;
    }
    if (version.Major < 0 || version.Minor < 0 || version.Minor > 9 || version.Release < 0 ||
        version.Release > 9)
        Fail("a number out of range", text);
    return version;
}

// The text form reads back for every record the parser makes, except for the beta numbers
// the text form cannot carry: none below 1, and none of one digit beside "(press preview)".
void CheckRoundTrip(const TProgramVersion& version, const std::string& text) {
    const std::string form = version.AsString();
    std::optional<TProgramVersion> again = Parse(form);
    if (!again) Fail("its text form '" + form + "' does not parse", text);
    const bool betaKept = version.Beta >= 10 || (version.Beta >= 1 && !version.PressPreview);
    const std::int32_t beta = betaKept ? version.Beta : 0;
    if (again->Major != version.Major || again->Minor != version.Minor || again->Release != version.Release ||
        again->Beta != beta || again->PressPreview != version.PressPreview)
        Fail("its text form '" + form + "' reads back differently", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    // The first line and the rest: two versions to order.
    const std::size_t cut = input.find('\n');
    const std::string first = input.substr(0, cut);
    const std::string second = cut == std::string::npos ? std::string("1.00") : input.substr(cut + 1);

    std::optional<TProgramVersion> a = Parse(first);
    std::optional<TProgramVersion> b = Parse(second);
    if (a) CheckRoundTrip(*a, first);
    if (b) CheckRoundTrip(*b, second);
    if (a && b) {
        const int ab = TProgramVersion::Compare(*a, *b);
        if (ab < -1 || ab > 1 || ab != -TProgramVersion::Compare(*b, *a))
            Fail("Compare is not antisymmetric", input);
        if (TProgramVersion::Compare(*a, *a) != 0) Fail("Compare of a version with itself", first);
    }
    return 0;
}
