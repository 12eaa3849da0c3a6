#include "wizard/win32/SidePicture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>
// jerror.h needs jpeglib.h.
#include <jerror.h>

#include "system/Exceptions.h"
#include "system/FileErrors.h"
#include "wizard/SidePictureChoice.h"

namespace {

constexpr char kPictureMissing[] = "The setup picture Setup.jpg is missing";
constexpr char kPictureUnreadable[] = "The setup picture %s cannot be read: %s";
constexpr char kPictureTooLarge[] = "it is larger than 4096 x 4096 pixels";
constexpr char kPictureEmpty[] = "it holds no pixels";
// A side picture is 150 x 350 pixels, or twice that; anything near this limit is a mistake, and
// a claimed size far above it would only make the allocation fail.
constexpr JDIMENSION kMostPixelsPerSide = 4096;

// Everything a decoding needs lives here, declared before the setjmp: libjpeg jumps back over
// nothing but C frames, and the destructor frees libjpeg's memory on every way out.
struct JpegDecoder {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX] = "";

    JpegDecoder() {
        std::memset(&info, 0, sizeof info);  // so that destroying it is safe before creation
        info.err = jpeg_std_error(&errors);
        info.client_data = this;
    }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;
    ~JpegDecoder() { jpeg_destroy_decompress(&info); }

    // The first complaint is the one worth showing: a cut-off file also makes libjpeg complain
    // that no image follows.
    void Note(j_common_ptr common) {
        if (message[0] == '\0') (*common->err->format_message)(common, message);
    }
};

JpegDecoder& DecoderOf(j_common_ptr common) {
    return *static_cast<JpegDecoder*>(common->client_data);
}

// libjpeg would exit the process on a bad picture; return to the decoder instead.
[[noreturn]] void LeaveDecoder(j_common_ptr common) {
    DecoderOf(common).Note(common);
    std::longjmp(DecoderOf(common).jump, 1);
}

// libjpeg decodes a file that ends early and paints the missing part grey; it only warns. Such a
// picture is damaged all the same, so the warning is kept and the decoding refused at its end.
void NoteWarning(j_common_ptr common, int level) {
    if (level < 0 && common->err->msg_code == JWRN_JPEG_EOF) DecoderOf(common).Note(common);
}

// Decodes into top-down BGR rows padded to 4 bytes, as a 24-bit DIB wants them; on failure
// returns libjpeg's reason, or ours.
std::string DecodeJpeg(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& pixels, int& width,
                       int& height) {
    JpegDecoder decoder;
    decoder.errors.error_exit = LeaveDecoder;
    decoder.errors.emit_message = NoteWarning;
    if (setjmp(decoder.jump)) return decoder.message;
    jpeg_decompress_struct& info = decoder.info;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMostPixelsPerSide || info.image_height > kMostPixelsPerSide)
        return kPictureTooLarge;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    pixels.assign(stride * static_cast<std::size_t>(height), 0);
    while (info.output_scanline < info.output_height) {
        std::uint8_t* out = pixels.data() + info.output_scanline * stride;
        JSAMPROW rows[1] = {out};
        if (jpeg_read_scanlines(&info, rows, 1) != 1) break;
        for (int x = 0; x < width; ++x) std::swap(out[x * 3], out[x * 3 + 2]);
    }
    jpeg_finish_decompress(&info);
    if (decoder.message[0] != '\0') return decoder.message;
    if (width <= 0 || height <= 0) return kPictureEmpty;
    return "";
}

std::string Format(const char* pattern, const std::string& first, const std::string& second) {
    std::string text = pattern;
    text.replace(text.find("%s"), 2, first);
    text.replace(text.find("%s"), 2, second);
    return text;
}

}  // namespace

SidePicture::~SidePicture() {
    if (bitmap_) DeleteObject(bitmap_);
}

std::string SidePicture::Decode(const std::vector<std::uint8_t>& jpeg) {
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
    std::string failure = DecodeJpeg(jpeg, pixels, width, height);
    if (!failure.empty()) return failure;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return SystemErrorText(GetLastError());
    std::memcpy(bits, pixels.data(), pixels.size());
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bitmap;
    width_ = width;
    height_ = height;
    return "";
}

void SidePicture::Draw(HDC dc, const RECT& rect) const {
    if (!bitmap_) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap_);
    // Halftone stretching needs the brush origin set again after the mode changes.
    POINT origin{};
    GetBrushOrgEx(dc, &origin);
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, source, 0, 0, width_,
               height_, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void LoadSidePicture(SidePicture& picture, int dpi, const PictureLookup& lookup) {
    SidePictureNames names = ChooseSidePicture(dpi);
    std::optional<std::vector<std::uint8_t>> bytes = lookup(names.name, names.fallback);
    if (!bytes) throw Exception(kPictureMissing);
    std::string failure = picture.Decode(*bytes);
    if (failure.empty()) return;
    // The lookup does not say whether the fallback stood in for the 2x picture.
    std::string which =
        names.fallback.empty() ? names.name : names.name + " (or " + names.fallback + " in its place)";
    throw Exception(Format(kPictureUnreadable, which, failure));
}
