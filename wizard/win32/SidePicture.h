// The side picture: a JPEG decoded with libjpeg into a device-independent bitmap and drawn
// with halftone stretching, so a picture scaled to the screen stays smooth.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class SidePicture {
public:
    SidePicture() = default;
    SidePicture(const SidePicture&) = delete;
    SidePicture& operator=(const SidePicture&) = delete;
    ~SidePicture();

    // Decodes JPEG bytes; on failure returns why (the picture stays unchanged): not a JPEG, cut
    // off, a colour space we cannot show, too large. Empty on success.
    std::string Decode(const std::vector<std::uint8_t>& jpeg);
    bool Empty() const { return bitmap_ == nullptr; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Stretches the whole picture into the rectangle.
    void Draw(HDC dc, const RECT& rect) const;

private:
    HBITMAP bitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// Fills the picture from the setup's data: the lookup gets the entry name and its fallback (see
// ChooseSidePicture) and returns the bytes of the first that exists, or nothing. Raises
// Exception when there is no picture or its bytes do not decode, naming the picture and why.
using PictureLookup = std::function<std::optional<std::vector<std::uint8_t>>(const std::string& name,
                                                                             const std::string& fallback)>;
void LoadSidePicture(SidePicture& picture, int dpi, const PictureLookup& lookup);
