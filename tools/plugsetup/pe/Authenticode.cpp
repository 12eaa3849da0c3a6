#include "tools/plugsetup/pe/Authenticode.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "system/Stream.h"
#include "tools/plugsetup/pe/Sha.h"

namespace {

// A signature far larger than this is no signature a signing tool writes.
constexpr std::uint32_t kTableLimit = 16u << 20;
constexpr std::size_t kHeaderReadLimit = 64 * 1024;
constexpr std::uint16_t kPkcsSignedData = 2;

const std::vector<std::uint8_t> kSignedDataOid = {0x2A, 0x86, 0x48, 0x86, 0xF7, 0x0D, 0x01, 0x07, 0x02};
const std::vector<std::uint8_t> kIndirectDataOid = {0x2B, 0x06, 0x01, 0x04, 0x01,
                                                    0x82, 0x37, 0x02, 0x01, 0x04};
const std::vector<std::uint8_t> kSha1Oid = {0x2B, 0x0E, 0x03, 0x02, 0x1A};
const std::vector<std::uint8_t> kSha256Oid = {0x60, 0x86, 0x48, 0x01, 0x65, 0x03, 0x04, 0x02, 0x01};

// One DER value at a time, inside the span of its parent.
class Der {
public:
    Der(const std::uint8_t* bytes, std::size_t size) : at_(bytes), end_(bytes + size) {}

    // The contents of the next value if its tag is tag; nothing (and no move) otherwise.
    std::optional<Der> Next(std::uint8_t tag) {
        if (end_ - at_ < 2 || at_[0] != tag) return std::nullopt;
        const std::uint8_t* p = at_ + 1;
        std::size_t length = *p++;
        if (length & 0x80) {
            const std::size_t count = length & 0x7F;
            if (count == 0 || count > 4 || static_cast<std::size_t>(end_ - p) < count) return std::nullopt;
            length = 0;
            for (std::size_t i = 0; i < count; ++i) length = length << 8 | *p++;
        }
        if (static_cast<std::size_t>(end_ - p) < length) return std::nullopt;
        at_ = p + length;
        return Der(p, length);
    }
    std::vector<std::uint8_t> Bytes() const { return {at_, end_}; }

private:
    const std::uint8_t* at_;
    const std::uint8_t* end_;
};

struct SignedDigest {
    std::vector<std::uint8_t> Algorithm;  // its OID's contents
    std::vector<std::uint8_t> Value;
};

// ContentInfo { signedData, [0] SignedData { version, digestAlgorithms, ContentInfo {
// SpcIndirectDataContent, [0] { data, DigestInfo { AlgorithmIdentifier, digest } } } ... } }
std::optional<SignedDigest> ReadSignedDigest(const std::vector<std::uint8_t>& pkcs7) {
    Der outer(pkcs7.data(), pkcs7.size());
    auto info = outer.Next(0x30);
    if (!info) return std::nullopt;
    auto type = info->Next(0x06);
    if (!type || type->Bytes() != kSignedDataOid) return std::nullopt;
    auto wrapped = info->Next(0xA0);
    auto signedData = wrapped ? wrapped->Next(0x30) : std::nullopt;
    if (!signedData || !signedData->Next(0x02) || !signedData->Next(0x31)) return std::nullopt;
    auto content = signedData->Next(0x30);
    auto contentType = content ? content->Next(0x06) : std::nullopt;
    if (!contentType || contentType->Bytes() != kIndirectDataOid) return std::nullopt;
    auto explicitContent = content->Next(0xA0);
    auto indirect = explicitContent ? explicitContent->Next(0x30) : std::nullopt;
    if (!indirect || !indirect->Next(0x30)) return std::nullopt;
    auto digestInfo = indirect->Next(0x30);
    auto algorithm = digestInfo ? digestInfo->Next(0x30) : std::nullopt;
    auto oid = algorithm ? algorithm->Next(0x06) : std::nullopt;
    auto digest = oid ? digestInfo->Next(0x04) : std::nullopt;
    if (!digest) return std::nullopt;
    return SignedDigest{oid->Bytes(), digest->Bytes()};
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

SignatureCheck NotChecked(const std::string& reason) {
    return {SignatureCheck::NotChecked, "", reason};
}

}  // namespace

SignatureCheck CheckAuthenticode(Stream& file, const CertificateTable& table) {
    const std::int64_t size = file.Size();
    if (table.Size < 8 || table.Size > kTableLimit ||
        table.Offset + static_cast<std::int64_t>(table.Size) > size)
        return {SignatureCheck::Failed, "", "the certificate table does not lie inside the file"};
    std::vector<std::uint8_t> head(kHeaderReadLimit);
    file.Seek(0);
    head.resize(file.Read(head.data(), head.size()));
    std::optional<PeHeaderFields> fields = FindPeHeaderFields(head.data(), head.size());
    if (!fields) return NotChecked("no PE headers");

    std::vector<std::uint8_t> certificates(table.Size);
    file.Seek(table.Offset);
    if (file.Read(certificates.data(), certificates.size()) != certificates.size())
        return {SignatureCheck::Failed, "", "the certificate table cannot be read whole"};
    // The first WIN_CERTIFICATE: its length, revision and type, then the PKCS#7 signature.
    const std::uint32_t length = U32(certificates, 0);
    const std::uint16_t certificateType = static_cast<std::uint16_t>(U32(certificates, 4) >> 16);
    if (length < 8 || length > certificates.size() || certificateType != kPkcsSignedData)
        return NotChecked("the certificate table holds no Authenticode signature");
    std::optional<SignedDigest> signedDigest =
        ReadSignedDigest(std::vector<std::uint8_t>(certificates.begin() + 8, certificates.begin() + length));
    if (!signedDigest) return NotChecked("the signature's digest cannot be read");

    std::unique_ptr<Digest> digest;
    SignatureCheck check;
    if (signedDigest->Algorithm == kSha256Oid) {
        digest = MakeSha256();
        check.Algorithm = "SHA-256";
    } else if (signedDigest->Algorithm == kSha1Oid) {
        digest = MakeSha1();
        check.Algorithm = "SHA-1";
    } else {
        return NotChecked("the signature's digest is of a kind not checked here (only SHA-256 and SHA-1)");
    }
    // Everything before the table, in order, without the checksum and the table's entry.
    const std::pair<std::int64_t, std::int64_t> skipped[] = {
        {static_cast<std::int64_t>(fields->CheckSumPosition), 4},
        {static_cast<std::int64_t>(fields->SecurityEntryPosition), 8}};
    std::vector<std::uint8_t> buffer(1 << 20);
    std::int64_t at = 0;
    file.Seek(0);
    while (at < table.Offset) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::int64_t>(buffer.size(), table.Offset - at));
        const std::size_t got = file.Read(buffer.data(), want);
        if (got == 0) break;
        std::int64_t from = 0;
        for (const auto& [start, count] : skipped) {
            const std::int64_t begin = std::clamp<std::int64_t>(start - at, 0, got);
            const std::int64_t end = std::clamp<std::int64_t>(start + count - at, 0, got);
            if (begin < from) continue;
            digest->Update(buffer.data() + from, static_cast<std::size_t>(begin - from));
            from = std::max(from, end);
        }
        digest->Update(buffer.data() + from, static_cast<std::size_t>(got - from));
        at += got;
    }
    check.Result = digest->Finish() == signedDigest->Value ? SignatureCheck::Matches : SignatureCheck::Failed;
    if (check.Result == SignatureCheck::Failed)
        check.Reason = "the file has changed since it was signed (its " + check.Algorithm +
                       " digest is not the one the signature holds)";
    return check;
}

std::string DescribeSignatureCheck(const SignatureCheck& check) {
    switch (check.Result) {
        case SignatureCheck::Matches:
            return "digest matches (" + check.Algorithm + "; the certificate chain is not judged)";
        case SignatureCheck::Failed:
            return "Failed: " + check.Reason;
        case SignatureCheck::NotChecked:
            break;
    }
    return "not checked: " + check.Reason;
}
