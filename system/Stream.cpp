#include "system/Stream.h"

#include <algorithm>
#include <cstring>

#include "system/Exceptions.h"

void Stream::ReadBuffer(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        std::size_t got = Read(out + done, count - done);
        if (got == 0) throw EReadError(kStreamReadError);
        done += got;
    }
}

// The formats are little-endian and so are both targets; the byte copies keep it so
// without alignment concerns.
std::int32_t Stream::ReadInt32() {
    std::uint8_t b[4];
    ReadBuffer(b, 4);
    return static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                     (static_cast<std::uint32_t>(b[3]) << 24));
}

std::uint32_t Stream::ReadUInt32() {
    return static_cast<std::uint32_t>(ReadInt32());
}

std::uint8_t Stream::ReadByte() {
    std::uint8_t b;
    ReadBuffer(&b, 1);
    return b;
}

double Stream::ReadDouble() {
    std::uint8_t b[8];
    ReadBuffer(b, 8);
    double value;
    std::memcpy(&value, b, 8);
    return value;
}

void Stream::WriteInt32(std::int32_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
}

void Stream::WriteUInt32(std::uint32_t value) {
    std::uint8_t b[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                         static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    Write(b, 4);
}

void Stream::WriteByte(std::uint8_t value) {
    Write(&value, 1);
}

void Stream::WriteDouble(double value) {
    std::uint8_t b[8];
    std::memcpy(b, &value, 8);
    Write(b, 8);
}

std::size_t MemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= Size()) return 0;
    std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(Size() - position_));
    std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

void MemoryStream::Write(const void* buffer, std::size_t count) {
    std::size_t end = static_cast<std::size_t>(position_) + count;
    if (end > bytes_.size()) bytes_.resize(end);
    if (count > 0) std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
}

std::int64_t MemoryStream::Seek(std::int64_t position) {
    position_ = std::max<std::int64_t>(0, position);
    return position_;
}

BufferedReadStream::BufferedReadStream(std::unique_ptr<Stream> inner, std::size_t bufferSize)
    : inner_(std::move(inner)), buffer_(bufferSize) {
    position_ = innerPosition_ = bufferStart_ = inner_->Position();
}

std::size_t BufferedReadStream::ReadInner(std::uint8_t* buffer, std::size_t count) {
    if (innerPosition_ != position_) innerPosition_ = inner_->Seek(position_);
    std::size_t got = inner_->Read(buffer, count);
    innerPosition_ += static_cast<std::int64_t>(got);
    return got;
}

std::size_t BufferedReadStream::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t total = 0;
    while (count > 0) {
        const std::int64_t offset = position_ - bufferStart_;
        if (offset >= 0 && offset < static_cast<std::int64_t>(buffered_)) {
            std::size_t take = std::min(count, buffered_ - static_cast<std::size_t>(offset));
            std::memcpy(out, buffer_.data() + offset, take);
            out += take;
            count -= take;
            total += take;
            position_ += static_cast<std::int64_t>(take);
            continue;
        }
        std::size_t got;
        if (count >= buffer_.size()) {
            got = ReadInner(out, count);
            out += got;
            count -= got;
            total += got;
            position_ += static_cast<std::int64_t>(got);
        } else {
            bufferStart_ = position_;
            buffered_ = 0;
            got = ReadInner(buffer_.data(), buffer_.size());
            buffered_ = got;
        }
        if (got == 0) break;  // the end of the stream
    }
    return total;
}

void BufferedReadStream::Write(const void*, std::size_t) {
    throw EFileError("The stream is open for reading only");
}

std::int64_t BufferedReadStream::Seek(std::int64_t position) {
    position_ = std::max<std::int64_t>(0, position);
    return position_;
}

void CopyStream(Stream& from, Stream& to, std::int64_t count) {
    std::vector<std::uint8_t> block(static_cast<std::size_t>(std::min<std::int64_t>(count, 1 << 20)));
    while (count > 0) {
        std::size_t want =
            static_cast<std::size_t>(std::min<std::int64_t>(count, static_cast<std::int64_t>(block.size())));
        from.ReadBuffer(block.data(), want);
        to.Write(block.data(), want);
        count -= static_cast<std::int64_t>(want);
    }
}
