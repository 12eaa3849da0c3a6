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

// A file opened for writing by the platform: a stream that can also stamp the file it holds.
class FileStream : public Stream {
public:
    // Sets the file's last-write time from a packed local date-time (the form of an archive's
    // file date) through the open handle, so no second opening is needed; false when the
    // stamp is no valid date or the system refuses, leaving the time as written.
    virtual bool SetFileDate(std::uint32_t packed) = 0;
    // Asks the system to put what was written on the disk before it returns (FlushFileBuffers).
    // What was written is the system's from Write on, so a killed process loses none of it; the
    // flush is for a power loss, as far as the drive honours it.
    virtual void Flush() {}
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

// Reads another stream through a buffer of its own: small reads and seeks near the last read
// are served from memory, so a reader of 4 KiB blocks or 76-byte records makes few calls to the
// file. Reads of a whole buffer or more go to the stream directly. Read-only: Write raises
// EFileError.
class BufferedReadStream : public Stream {
public:
    static constexpr std::size_t kDefaultBufferSize = 256 * 1024;

    explicit BufferedReadStream(std::unique_ptr<Stream> inner, std::size_t bufferSize = kDefaultBufferSize);

    std::size_t Read(void* buffer, std::size_t count) override;
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t position) override;
    std::int64_t Position() const override { return position_; }
    std::int64_t Size() const override { return inner_->Size(); }

private:
    std::size_t ReadInner(std::uint8_t* buffer, std::size_t count);

    std::unique_ptr<Stream> inner_;
    std::vector<std::uint8_t> buffer_;
    std::int64_t bufferStart_ = 0;  // stream position of buffer_[0]
    std::size_t buffered_ = 0;      // valid bytes in buffer_
    std::int64_t position_ = 0;     // ours
    std::int64_t innerPosition_ = 0;
};

// Copies count bytes from one stream to another in large blocks; raises EReadError when the
// source ends early.
void CopyStream(Stream& from, Stream& to, std::int64_t count);
