#include "tools/plugsetup/pe/Sha.h"

#include <array>

#include "system/Sha256.h"

namespace {

std::uint32_t Rotl(std::uint32_t x, int n) {
    return x << n | x >> (32 - n);
}

// The block buffering and the length padding both digests share; Compress works on 64 bytes.
template <typename State, void (*Compress)(State&, const std::uint8_t*), std::size_t Words>
class BlockDigest : public Digest {
public:
    explicit BlockDigest(const State& initial) : state_(initial) {}

    void Update(const std::uint8_t* bytes, std::size_t size) override {
        length_ += size;
        while (size > 0) {
            const std::size_t take = std::min(size, block_.size() - filled_);
            std::copy(bytes, bytes + take, block_.begin() + filled_);
            filled_ += take, bytes += take, size -= take;
            if (filled_ == block_.size()) {
                Compress(state_, block_.data());
                filled_ = 0;
            }
        }
    }

    std::vector<std::uint8_t> Finish() override {
        const std::uint64_t bits = length_ * 8;
        const std::uint8_t one = 0x80, zero = 0;
        Update(&one, 1);
        while (filled_ != 56) Update(&zero, 1);
        for (int i = 7; i >= 0; --i) {
            const std::uint8_t byte = static_cast<std::uint8_t>(bits >> (8 * i));
            Update(&byte, 1);
        }
        std::vector<std::uint8_t> out;
        for (std::size_t i = 0; i < Words; ++i)
            for (int k = 3; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(state_[i] >> (8 * k)));
        return out;
    }

private:
    State state_;
    std::array<std::uint8_t, 64> block_{};
    std::size_t filled_ = 0;
    std::uint64_t length_ = 0;
};

std::uint32_t BigEndian(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16 |
           static_cast<std::uint32_t>(p[2]) << 8 | p[3];
}

using Sha1State = std::array<std::uint32_t, 5>;
using Sha256State = std::array<std::uint32_t, 8>;

void Sha1Compress(Sha1State& h, const std::uint8_t* block) {
    std::uint32_t w[80];
    for (int i = 0; i < 16; ++i) w[i] = BigEndian(block + 4 * i);
    for (int i = 16; i < 80; ++i) w[i] = Rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
        std::uint32_t f, k;
        if (i < 20) {
            f = (b & c) | (~b & d), k = 0x5A827999;
        } else if (i < 40) {
            f = b ^ c ^ d, k = 0x6ED9EBA1;
        } else if (i < 60) {
            f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
        } else {
            f = b ^ c ^ d, k = 0xCA62C1D6;
        }
        const std::uint32_t t = Rotl(a, 5) + f + e + k + w[i];
        e = d, d = c, c = Rotl(b, 30), b = a, a = t;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
}

// SHA-256's block is the setup's own (system/Sha256), which the record digest uses.
void Sha256Compress(Sha256State& h, const std::uint8_t* block) {
    Sha256Block(h.data(), block);
}

}  // namespace

std::unique_ptr<Digest> MakeSha1() {
    return std::make_unique<BlockDigest<Sha1State, Sha1Compress, 5>>(
        Sha1State{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0});
}

std::unique_ptr<Digest> MakeSha256() {
    return std::make_unique<BlockDigest<Sha256State, Sha256Compress, 8>>(kSha256Start);
}
