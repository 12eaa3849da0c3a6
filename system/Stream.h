// A small byte stream: read, write, seek, position, size. File streams come from the
// platform; MemoryStream holds its bytes in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class Stream {
public:
    virtual ~Stream() = default;

    // Reads up to count bytes; returns the number obtained (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Writes all bytes or raises EFileError.
    virtual void Write(const void* buffer, std::size_t count) = 0;
    // Moves to an absolute position and returns it.
    virtual std::int64_t Seek(std::int64_t position) = 0;
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Size() const = 0;

    // Reads exactly count bytes or raises EReadError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count) { Write(buffer, count); }

    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    std::uint8_t ReadByte();
    double ReadDouble();
    void WriteInt32(std::int32_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteByte(std::uint8_t value);
    void WriteDouble(double value);
};

class MemoryStream : public Stream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t position) override;
    std::int64_t Position() const override { return position_; }
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }
    std::string Text() const { return std::string(bytes_.begin(), bytes_.end()); }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

// Copies count bytes from one stream to another in large blocks; raises EReadError when the
// source ends early.
void CopyStream(Stream& from, Stream& to, std::int64_t count);
