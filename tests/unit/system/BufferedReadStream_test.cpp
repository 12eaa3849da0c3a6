#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "system/Exceptions.h"
#include "system/Stream.h"

namespace {

// A memory stream that counts the reads that reach it.
class CountingStream : public MemoryStream {
public:
    using MemoryStream::MemoryStream;
    std::size_t Read(void* buffer, std::size_t count) override {
        ++reads;
        return MemoryStream::Read(buffer, count);
    }
    int reads = 0;
};

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    return bytes;
}

struct Buffered {
    explicit Buffered(std::size_t size, std::size_t bufferSize, std::int64_t start = 0) : bytes(Pattern(size)) {
        auto inner = std::make_unique<CountingStream>(bytes);
        inner->Seek(start);
        counter = inner.get();
        stream = std::make_unique<BufferedReadStream>(std::move(inner), bufferSize);
    }
    std::vector<std::uint8_t> bytes;
    CountingStream* counter;
    std::unique_ptr<BufferedReadStream> stream;
};

}  // namespace

// Whatever mix of small, straddling and large reads and seeks comes, the bytes are the file's.
TEST(BufferedReadStream, ReadsAndSeeksGiveTheFilesBytes) {
    Buffered b(10000, 64, 100);
    EXPECT_EQ(b.stream->Position(), 100) << "starts where the file stood";
    std::vector<std::uint8_t> got(5000);
    const std::pair<std::int64_t, std::size_t> reads[] = {
        {100, 10}, {110, 60}, {170, 200}, {40, 30}, {9990, 10}, {3000, 64}, {3064, 1}, {0, 5000}, {9999, 1},
    };
    for (auto [at, count] : reads) {
        b.stream->Seek(at);
        b.stream->ReadBuffer(got.data(), count);
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(count), b.bytes.begin() + at))
            << "at " << at << ", " << count << " bytes";
        EXPECT_EQ(b.stream->Position(), at + static_cast<std::int64_t>(count));
    }
}

TEST(BufferedReadStream, SmallReadsShareOneFillAndLargeOnesGoStraightThrough) {
    Buffered b(100000, 4096);
    std::uint8_t record[76];
    for (int i = 0; i < 50; ++i) b.stream->ReadBuffer(record, sizeof record);  // 3800 bytes
    EXPECT_EQ(b.counter->reads, 1);
    b.stream->Seek(10);  // back inside the buffer
    b.stream->ReadBuffer(record, sizeof record);
    EXPECT_EQ(b.counter->reads, 1);
    std::vector<std::uint8_t> large(50000);
    b.stream->Seek(20000);
    b.stream->ReadBuffer(large.data(), large.size());
    EXPECT_EQ(b.counter->reads, 2);
    EXPECT_TRUE(std::equal(large.begin(), large.end(), b.bytes.begin() + 20000));
}

TEST(BufferedReadStream, TheEndYieldsWhatIsLeftThenNothing) {
    Buffered b(1000, 256);
    std::vector<std::uint8_t> got(4096);
    b.stream->Seek(900);
    EXPECT_EQ(b.stream->Read(got.data(), got.size()), 100u);
    EXPECT_EQ(b.stream->Read(got.data(), 10), 0u);
    b.stream->Seek(5000);  // past the end, as a file allows
    EXPECT_EQ(b.stream->Read(got.data(), 10), 0u);
    b.stream->Seek(995);
    EXPECT_THROW(b.stream->ReadBuffer(got.data(), 10), EReadError);
    EXPECT_EQ(b.stream->Size(), 1000);
    EXPECT_THROW(b.stream->Write(got.data(), 1), EFileError) << "read-only";
}
