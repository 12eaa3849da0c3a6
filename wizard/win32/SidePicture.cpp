#include "wizard/win32/SidePicture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "system/Exceptions.h"
#include "wizard/SidePictureChoice.h"

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// libjpeg would exit the process on a bad picture; return to the decoder instead.
void LeaveDecoder(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

constexpr char kPictureMissing[] = "The setup picture Setup.jpg is missing";
constexpr char kPictureInvalid[] = "The setup picture cannot be read";

// Decodes into top-down BGR rows padded to 4 bytes, as a 24-bit DIB wants them.
bool DecodeJpeg(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& pixels, int& width,
                int& height) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = LeaveDecoder;
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    pixels.assign(stride * static_cast<std::size_t>(height), 0);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = {row.data()};
        std::size_t y = info.output_scanline;
        jpeg_read_scanlines(&info, rows, 1);
        std::uint8_t* out = pixels.data() + y * stride;
        for (int x = 0; x < width; ++x) {
            out[x * 3] = row[static_cast<std::size_t>(x) * 3 + 2];
            out[x * 3 + 1] = row[static_cast<std::size_t>(x) * 3 + 1];
            out[x * 3 + 2] = row[static_cast<std::size_t>(x) * 3];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return width > 0 && height > 0;
}

}  // namespace

SidePicture::~SidePicture() {
    if (bitmap_) DeleteObject(bitmap_);
}

bool SidePicture::Decode(const std::vector<std::uint8_t>& jpeg) {
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
    if (jpeg.empty() || !DecodeJpeg(jpeg, pixels, width, height)) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return false;
    std::memcpy(bits, pixels.data(), pixels.size());
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = bitmap;
    width_ = width;
    height_ = height;
    return true;
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
    if (!picture.Decode(*bytes)) throw Exception(kPictureInvalid);
}
