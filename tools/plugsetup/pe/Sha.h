// SHA-1 and SHA-256 (FIPS 180-4), the digests Authenticode signatures are made over.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class Digest {
public:
    virtual ~Digest() = default;
    virtual void Update(const std::uint8_t* bytes, std::size_t size) = 0;
    virtual std::vector<std::uint8_t> Finish() = 0;
};

std::unique_ptr<Digest> MakeSha1();
std::unique_ptr<Digest> MakeSha256();
