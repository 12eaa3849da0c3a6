#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "archive/BodyInflater.h"
#include "archive/SetupData.h"
#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

std::vector<std::uint8_t> Compressed(const std::vector<std::uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

std::vector<std::uint8_t> Inflated(BodyInflater& inflater, Stream& archive, std::int64_t at,
                                   std::size_t bodyLength, std::size_t size) {
    std::vector<std::uint8_t> out;
    inflater.Inflate(archive, at, static_cast<std::int32_t>(bodyLength), static_cast<std::int64_t>(size),
                     [&](const std::uint8_t* bytes, std::size_t n) { out.insert(out.end(), bytes, bytes + n); });
    return out;
}

}  // namespace

// One inflater serves a whole extraction: a body larger than its buffers, a damaged body, and
// the bodies after that one all come out as they went in.
TEST(BodyInflater, OneInflaterServesBodyAfterBodyAlsoAfterADamagedOne) {
    std::mt19937 random(3);
    std::vector<std::uint8_t> large(3 * BodyInflater::kOutputBlockSize + 12345);
    for (std::size_t i = 0; i < large.size(); ++i)
        large[i] = i % 3 == 0 ? static_cast<std::uint8_t>(random()) : static_cast<std::uint8_t>(i);
    const std::vector<std::uint8_t> small = {'p', 'r', 'e', 's', 'e', 't'};
    const std::vector<std::uint8_t> largeBody = Compressed(large);
    const std::vector<std::uint8_t> smallBody = Compressed(small);
    std::vector<std::uint8_t> damagedBody = smallBody;
    damagedBody[3] ^= 0xFF;

    MemoryStream archive;
    archive.Write(largeBody.data(), largeBody.size());
    const std::int64_t damagedAt = archive.Position();
    archive.Write(damagedBody.data(), damagedBody.size());
    const std::int64_t smallAt = archive.Position();
    archive.Write(smallBody.data(), smallBody.size());

    BodyInflater inflater;
    EXPECT_EQ(Inflated(inflater, archive, 0, largeBody.size(), large.size()), large);
    EXPECT_THROW(Inflated(inflater, archive, damagedAt, damagedBody.size(), small.size()), ESetupError);
    EXPECT_EQ(Inflated(inflater, archive, smallAt, smallBody.size(), small.size()), small);
    EXPECT_EQ(Inflated(inflater, archive, 0, largeBody.size(), large.size()), large);
}
