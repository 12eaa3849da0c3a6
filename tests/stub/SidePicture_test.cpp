// The side picture through the libjpeg that Setup.exe is linked with, which leaves out the
// decoder's parts that a whole picture at its own size never needs. Pictures of every kind a
// vendor's image editor writes are made here with libjpeg's own encoder, then decoded and drawn
// by SidePicture as the wizard does, and compared with what went in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include "wizard/win32/SidePicture.h"

namespace {

struct PictureKind {
    const char* name;
    int width;
    int height;
    bool gray;
    int lumaH;  // sampling factors of the luma component: 2 x 2 is 4:2:0, 1 x 1 is 4:4:4
    int lumaV;
    bool progressive;
    bool arithmetic;
    bool optimized;
    unsigned int restartRows;
};

void PrintTo(const PictureKind& kind, std::ostream* out) {
    *out << kind.name;
}

// RGB rows of smooth ramps, so that chroma subsampling costs little and any fault shows.
std::vector<std::uint8_t> Ramps(int width, int height) {
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            rgb.push_back(static_cast<std::uint8_t>(255 * x / (width - 1)));
            rgb.push_back(static_cast<std::uint8_t>(255 * y / (height - 1)));
            rgb.push_back(static_cast<std::uint8_t>(255 * (x + y) / (width + height - 2)));
        }
    }
    return rgb;
}

std::uint8_t Gray(const std::uint8_t* rgb) {
    return static_cast<std::uint8_t>((rgb[0] + rgb[1] + rgb[2]) / 3);
}

std::vector<std::uint8_t> Encode(const PictureKind& kind, const std::vector<std::uint8_t>& rgb) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &out, &size);
    info.image_width = static_cast<JDIMENSION>(kind.width);
    info.image_height = static_cast<JDIMENSION>(kind.height);
    info.input_components = kind.gray ? 1 : 3;
    info.in_color_space = kind.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (!kind.gray) {
        info.comp_info[0].h_samp_factor = kind.lumaH;
        info.comp_info[0].v_samp_factor = kind.lumaV;
    }
    if (kind.progressive) jpeg_simple_progression(&info);
    info.arith_code = kind.arithmetic ? TRUE : FALSE;
    info.optimize_coding = kind.optimized ? TRUE : FALSE;
    info.restart_in_rows = static_cast<int>(kind.restartRows);
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row;
    while (info.next_scanline < info.image_height) {
        const std::uint8_t* source = rgb.data() + std::size_t{info.next_scanline} * kind.width * 3;
        row.clear();
        for (int x = 0; x < kind.width; ++x) {
            if (kind.gray) {
                row.push_back(Gray(source + x * 3));
            } else {
                row.insert(row.end(), source + x * 3, source + x * 3 + 3);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<std::uint8_t> bytes(out, out + size);
    std::free(out);
    jpeg_destroy_compress(&info);
    return bytes;
}

// The picture drawn at its own size into a 24-bit bitmap: top-down rows of BGR, 4-byte aligned.
std::vector<std::uint8_t> DrawnPixels(const SidePicture& picture, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, target);
    picture.Draw(dc, RECT{0, 0, width, height});
    GdiFlush();
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const auto* start = static_cast<const std::uint8_t*>(bits);
    std::vector<std::uint8_t> pixels(start, start + stride * static_cast<std::size_t>(height));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);
    return pixels;
}

class SidePictureDecoding : public testing::TestWithParam<PictureKind> {};

TEST_P(SidePictureDecoding, DrawsWhatWasEncoded) {
    const PictureKind& kind = GetParam();
    const std::vector<std::uint8_t> rgb = Ramps(kind.width, kind.height);
    SidePicture picture;
    ASSERT_EQ(picture.Decode(Encode(kind, rgb)), "");
    ASSERT_EQ(picture.Width(), kind.width);
    ASSERT_EQ(picture.Height(), kind.height);

    const std::vector<std::uint8_t> drawn = DrawnPixels(picture, kind.width, kind.height);
    const std::size_t stride = (static_cast<std::size_t>(kind.width) * 3 + 3) & ~std::size_t{3};
    int worst = 0;
    long long total = 0;
    for (int y = 0; y < kind.height; ++y) {
        for (int x = 0; x < kind.width; ++x) {
            const std::uint8_t* in =
                rgb.data() + (std::size_t{static_cast<unsigned>(y)} * kind.width + x) * 3;
            const std::uint8_t* out = drawn.data() + y * stride + static_cast<std::size_t>(x) * 3;
            for (int c = 0; c < 3; ++c) {
                const int wanted = kind.gray ? Gray(in) : in[c];
                const int difference = std::abs(out[2 - c] - wanted);  // BGR in the bitmap
                worst = std::max(worst, difference);
                total += difference;
            }
        }
    }
    // Quality 95 of smooth ramps: a few levels of loss at most; a wrong colour conversion,
    // upsampling or block order is off by tens or hundreds.
    EXPECT_LE(worst, 16) << kind.name;
    EXPECT_LE(total / (3LL * kind.width * kind.height), 2) << kind.name;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfJpeg, SidePictureDecoding,
    testing::Values(PictureKind{"baseline_420", 164, 314, false, 2, 2, false, false, false, 0},
                    PictureKind{"baseline_444", 164, 314, false, 1, 1, false, false, false, 0},
                    PictureKind{"baseline_422", 164, 314, false, 2, 1, false, false, false, 0},
                    PictureKind{"baseline_440", 164, 314, false, 1, 2, false, false, false, 0},
                    PictureKind{"grayscale", 164, 314, true, 1, 1, false, false, false, 0},
                    PictureKind{"progressive_420", 164, 314, false, 2, 2, true, false, false, 0},
                    PictureKind{"progressive_grayscale", 164, 314, true, 1, 1, true, false, false, 0},
                    PictureKind{"optimized_huffman", 164, 314, false, 2, 2, false, false, true, 0},
                    PictureKind{"restart_markers", 164, 314, false, 2, 2, false, false, false, 1},
                    PictureKind{"arithmetic", 164, 314, false, 2, 2, false, true, false, 0},
                    PictureKind{"arithmetic_progressive", 164, 314, false, 2, 2, true, true, false, 0},
                    // Sizes that end inside an MCU, and a 2x picture.
                    PictureKind{"odd_size_420", 37, 53, false, 2, 2, false, false, false, 0},
                    PictureKind{"odd_size_progressive", 41, 29, false, 2, 2, true, false, false, 0},
                    PictureKind{"double_resolution", 328, 628, false, 2, 2, false, false, false, 0}),
    [](const testing::TestParamInfo<PictureKind>& info) { return std::string(info.param.name); });

}  // namespace
