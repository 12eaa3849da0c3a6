// The code page through glibc's iconv, for the tool built on Linux.
#include <iconv.h>

#include <cerrno>
#include <mutex>

#include "tools/plugsetup/host/CodePage.h"

namespace {

constexpr const char* kReplacementCharacter = "\xEF\xBF\xBD";

class IconvCodePage : public CodePage {
public:
    explicit IconvCodePage(int number) : CodePage(number) {
        const std::string name = "CP" + std::to_string(number);
        encoder_ = iconv_open(name.c_str(), "UTF-8");
        decoder_ = iconv_open("UTF-8", name.c_str());
        if (encoder_ == Invalid() || decoder_ == Invalid()) {
            Close();
            throw ECodePageError("code page " + std::to_string(number) +
                                 " cannot be converted on this system");
        }
    }
    ~IconvCodePage() override { Close(); }
    IconvCodePage(const IconvCodePage&) = delete;
    IconvCodePage& operator=(const IconvCodePage&) = delete;

    bool Encode(const std::string& utf8, std::string& bytes) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        bytes.clear();
        Reset(encoder_);
        std::string input = utf8;
        char* in = input.data();
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            if (!Step(encoder_, in, inLeft, bytes)) return false;
        }
        return Flush(encoder_, bytes);
    }

    std::string Decode(const std::string& bytes) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string text;
        Reset(decoder_);
        std::string input = bytes;
        char* in = input.data();
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            if (Step(decoder_, in, inLeft, text)) continue;
            // A byte that is no character (or a lead byte without its trail byte): one
            // replacement character for it, then on with the next byte.
            text += kReplacementCharacter;
            ++in;
            --inLeft;
            Reset(decoder_);
        }
        Flush(decoder_, text);
        return text;
    }

    std::optional<std::string> DecodeExactly(const std::string& bytes) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::string text;
        Reset(decoder_);
        std::string input = bytes;
        char* in = input.data();
        std::size_t inLeft = input.size();
        while (inLeft > 0)
            if (!Step(decoder_, in, inLeft, text)) return std::nullopt;
        if (!Flush(decoder_, text)) return std::nullopt;
        return text;
    }

private:
    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }
    static void Reset(iconv_t converter) { iconv(converter, nullptr, nullptr, nullptr, nullptr); }

    // Converts what it can into out; false when it stops at input it cannot convert.
    static bool Step(iconv_t converter, char*& in, std::size_t& inLeft, std::string& out) {
        char buffer[256];
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        std::size_t result = iconv(converter, &in, &inLeft, &to, &toLeft);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        return result != static_cast<std::size_t>(-1) || errno == E2BIG;
    }

    static bool Flush(iconv_t converter, std::string& out) {
        char buffer[16];
        char* to = buffer;
        std::size_t toLeft = sizeof buffer;
        bool flushed = iconv(converter, nullptr, nullptr, &to, &toLeft) != static_cast<std::size_t>(-1);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        return flushed;
    }

    void Close() {
        if (encoder_ != Invalid()) iconv_close(encoder_);
        if (decoder_ != Invalid()) iconv_close(decoder_);
        encoder_ = decoder_ = Invalid();
    }

    iconv_t encoder_ = Invalid();
    iconv_t decoder_ = Invalid();
    // Encode and Decode do not change the code page, but iconv keeps its state in the descriptor.
    mutable std::mutex mutex_;
};

}  // namespace

std::unique_ptr<CodePage> OpenSystemCodePage(int number) {
    return std::make_unique<IconvCodePage>(number);
}
