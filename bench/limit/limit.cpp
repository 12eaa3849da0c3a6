// bench_limit: the least a program must do to turn a setup's archive into files, the yardstick
// the benchmark measures Setup.exe against.
//   bench_limit.exe SETUP.EXE DESTINATION
//   bench_limit.exe --write-only SETUP.EXE DESTINATION
//
// It extracts the contents of the top-level folder "Files" into DESTINATION: read, inflate,
// create folders, create and write files. No checksum, no time stamps, no attributes, no log,
// and on purpose none of plugsetup's libraries: only raw Win32 calls and zlib, with large buffers.
//
// --write-only first inflates every file into memory, then writes them the way the setup's
// platform writes a file (created for reading and writing without sharing, written in blocks of
// up to 1 MiB, its time set through the open handle, closed) and prints "write_seconds S": the
// writing alone, which no installer can beat on this machine.
//
// The archive, little-endian throughout: the int32 at offset 0x30 of the program is the archive's
// offset A. At A, a 28-byte header (signature "KW/ISB/3", int32 data length, uint32 Adler-32,
// double build time, int32 file count) and a 25-byte version record, then the top-level entry
// list. An entry list is a run of 76-byte records
//   uint8 nameLength (0 ends the list), char name[67], int32 bodyLength, int32 unpackedSize
// (-1 for a folder), each followed by its body: a folder's body is its own entry list, a file's
// body one zlib stream that inflates to unpackedSize bytes. The next record of a list is at the
// record's position + 76 + bodyLength. Names are UTF-8, as plugsetup builds archives by default,
// and are created through their UTF-16 form.

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kChunk = 1024 * 1024;
constexpr std::int64_t kRecordSize = 76;
constexpr std::int64_t kHeaderSize = 28;
constexpr std::int64_t kVersionSize = 25;
constexpr std::size_t kNameSize = 67;

// A UTF-8 path as the wide calls take it.
std::wstring Wide(const std::string& path) {
    const int units = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), units);
    return wide;
}

struct Failure {
    std::string message;
};

// A Windows call failed: the message carries its error code.
[[noreturn]] void FailSystem(const std::string& message) {
    throw Failure{message + " (error " + std::to_string(GetLastError()) + ")"};
}

// The archive is not what it should be.
[[noreturn]] void Fail(const std::string& message) {
    throw Failure{message};
}

// A folder or a file of the product, unpacked.
struct Item {
    std::string path;
    bool folder = false;
    std::vector<unsigned char> bytes;
};

struct Record {
    std::string name;
    std::int32_t bodyLength = 0;
    std::int32_t unpackedSize = 0;
};

std::int32_t Int32At(const unsigned char* p) {
    std::int32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

class Extractor {
public:
    // items: where the product goes instead of the disk, when given.
    Extractor(const char* setupPath, std::vector<Item>* items) : items_(items) {
        setup_ = CreateFileA(setupPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (setup_ == INVALID_HANDLE_VALUE) FailSystem(std::string("cannot open ") + setupPath);
        LARGE_INTEGER size;
        if (!GetFileSizeEx(setup_, &size)) FailSystem("cannot read the setup's size");
        setupSize_ = size.QuadPart;
    }
    ~Extractor() { CloseHandle(setup_); }
    Extractor(const Extractor&) = delete;
    Extractor& operator=(const Extractor&) = delete;

    void Run(const std::string& destination) {
        unsigned char word[4];
        ReadAt(0x30, word, 4);
        const std::int64_t archive = Int32At(word);
        unsigned char header[kHeaderSize];
        ReadAt(archive, header, sizeof header);
        if (std::memcmp(header, "KW/ISB/3", 8) != 0) Fail("no archive in the setup");

        // The top-level list: find the folder "Files".
        std::int64_t position = archive + kHeaderSize + kVersionSize;
        for (;;) {
            const Record record = RecordAt(position);
            if (record.name.empty()) Fail("the archive has no folder \"Files\"");
            if (record.unpackedSize == -1 && lstrcmpiA(record.name.c_str(), "Files") == 0) {
                MakeFolders(destination);
                ExtractList(position + kRecordSize, destination);
                return;
            }
            position += kRecordSize + record.bodyLength;
        }
    }

private:
    void Seek(std::int64_t position) {
        LARGE_INTEGER to;
        to.QuadPart = position;
        if (position < 0 || position > setupSize_) Fail("the archive points outside the setup");
        if (!SetFilePointerEx(setup_, to, nullptr, FILE_BEGIN)) FailSystem("cannot read the setup");
    }
    void Read(void* buffer, DWORD count) {
        DWORD got = 0;
        if (!ReadFile(setup_, buffer, count, &got, nullptr)) FailSystem("cannot read the setup");
        if (got != count) Fail("the setup ends inside its archive");
    }
    void ReadAt(std::int64_t position, void* buffer, DWORD count) {
        Seek(position);
        Read(buffer, count);
    }
    Record RecordAt(std::int64_t position) {
        unsigned char raw[kRecordSize];
        ReadAt(position, raw, sizeof raw);
        Record record;
        const std::size_t length = raw[0];
        if (length > kNameSize) Fail("a damaged entry in the archive");
        record.name.assign(reinterpret_cast<const char*>(raw + 1), length);
        record.bodyLength = Int32At(raw + 1 + kNameSize);
        record.unpackedSize = Int32At(raw + 1 + kNameSize + 4);
        if (record.bodyLength < 0) Fail("a damaged entry in the archive");
        return record;
    }

    void ExtractList(std::int64_t position, const std::string& folder) {
        for (;;) {
            const Record record = RecordAt(position);
            if (record.name.empty()) return;
            const std::string path = folder + "\\" + record.name;
            if (record.unpackedSize == -1) {
                if (items_) {
                    items_->push_back({path, true, {}});
                } else if (!CreateDirectoryW(Wide(path).c_str(), nullptr) &&
                           GetLastError() != ERROR_ALREADY_EXISTS) {
                    FailSystem("cannot create the folder " + path);
                }
                ExtractList(position + kRecordSize, path);
            } else {
                ExtractFile(position + kRecordSize, record, path);
            }
            position += kRecordSize + record.bodyLength;
        }
    }

    void ExtractFile(std::int64_t body, const Record& record, const std::string& path) {
        if (items_) {
            items_->push_back({path, false, {}});
            items_->back().bytes.reserve(static_cast<std::size_t>(record.unpackedSize));
            if (record.unpackedSize > 0) Inflate(body, record, path, nullptr);
            return;
        }
        HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) FailSystem("cannot create " + path);
        try {
            if (record.unpackedSize > 0) Inflate(body, record, path, file);
        } catch (...) {
            CloseHandle(file);
            throw;
        }
        if (!CloseHandle(file)) FailSystem("cannot write " + path);
    }

    void Inflate(std::int64_t body, const Record& record, const std::string& path, HANDLE file) {
        z_stream stream{};
        if (inflateInit(&stream) != Z_OK) Fail("zlib cannot start");
        Seek(body);
        std::int64_t left = record.bodyLength;
        std::int64_t written = 0;
        int status = Z_OK;
        stream.next_out = output_.data();
        stream.avail_out = kChunk;
        while (status != Z_STREAM_END) {
            if (stream.avail_in == 0) {
                if (left == 0) break;
                const DWORD n = static_cast<DWORD>(left < kChunk ? left : kChunk);
                Read(input_.data(), n);
                left -= n;
                stream.next_in = input_.data();
                stream.avail_in = n;
            }
            status = inflate(&stream, Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) break;
            if (stream.avail_out == 0 || status == Z_STREAM_END) {
                const DWORD n = kChunk - stream.avail_out;
                DWORD put = 0;
                if (!file) {
                    items_->back().bytes.insert(items_->back().bytes.end(), output_.data(),
                                                output_.data() + n);
                } else if (n > 0 && (!WriteFile(file, output_.data(), n, &put, nullptr) || put != n)) {
                    FailSystem("cannot write " + path);
                }
                written += n;
                stream.next_out = output_.data();
                stream.avail_out = kChunk;
            }
        }
        inflateEnd(&stream);
        if (status != Z_STREAM_END || written != record.unpackedSize)
            Fail("the archive's data for " + path + " is damaged");
    }

public:
    // DESTINATION and every folder above it that is missing.
    static void MakeFolders(const std::string& destination) {
        std::string path;
        for (std::size_t i = 0; i <= destination.size(); ++i) {
            if (i == destination.size() || destination[i] == '\\' || destination[i] == '/') {
                if (!path.empty() && path.back() != ':' && !CreateDirectoryW(Wide(path).c_str(), nullptr) &&
                    GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_ACCESS_DENIED)
                    FailSystem("cannot create the folder " + path);
                if (i == destination.size()) break;
                path += '\\';
            } else {
                path += destination[i];
            }
        }
        const DWORD attributes = GetFileAttributesW(Wide(destination).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            FailSystem("cannot create the folder " + destination);
    }

private:
    std::vector<Item>* items_;
    HANDLE setup_;
    std::int64_t setupSize_ = 0;
    std::vector<unsigned char> input_ = std::vector<unsigned char>(kChunk);
    std::vector<unsigned char> output_ = std::vector<unsigned char>(kChunk);
};

// The unpacked product onto the disk, as the setup's platform writes each file.
void WriteItems(const std::string& destination, const std::vector<Item>& items) {
    FILETIME stamp;
    GetSystemTimeAsFileTime(&stamp);
    Extractor::MakeFolders(destination);
    for (const Item& item : items) {
        if (item.folder) {
            if (!CreateDirectoryW(Wide(item.path).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                FailSystem("cannot create the folder " + item.path);
            continue;
        }
        HANDLE file = CreateFileW(Wide(item.path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) FailSystem("cannot create " + item.path);
        for (std::size_t at = 0; at < item.bytes.size(); at += kChunk) {
            const DWORD n = static_cast<DWORD>(std::min<std::size_t>(kChunk, item.bytes.size() - at));
            DWORD put = 0;
            if (!WriteFile(file, item.bytes.data() + at, n, &put, nullptr) || put != n) {
                CloseHandle(file);
                FailSystem("cannot write " + item.path);
            }
        }
        SetFileTime(file, nullptr, nullptr, &stamp);
        if (!CloseHandle(file)) FailSystem("cannot write " + item.path);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const bool writeOnly = argc == 4 && std::strcmp(argv[1], "--write-only") == 0;
    if (argc != 3 && !writeOnly) {
        std::fprintf(stderr, "usage: bench_limit.exe [--write-only] SETUP.EXE DESTINATION\n");
        return 1;
    }
    try {
        std::string destination = argv[argc - 1];
        while (destination.size() > 3 && (destination.back() == '\\' || destination.back() == '/'))
            destination.pop_back();
        std::vector<Item> items;
        Extractor extractor(argv[argc - 2], writeOnly ? &items : nullptr);
        extractor.Run(destination);
        if (writeOnly) {
            LARGE_INTEGER frequency, start, end;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            WriteItems(destination, items);
            QueryPerformanceCounter(&end);
            std::printf("write_seconds %.6f\n", static_cast<double>(end.QuadPart - start.QuadPart) /
                                                    static_cast<double>(frequency.QuadPart));
        }
    } catch (const Failure& failure) {
        std::fprintf(stderr, "bench_limit: %s\n", failure.message.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_limit: %s\n", e.what());
        return 1;
    }
    return 0;
}
