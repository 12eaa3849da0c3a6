// Which side picture a screen gets, and where it sits in its frame. Kept apart from the
// drawing so the rules are tested on the host.
#pragma once

#include <string>

// The 2x picture from 144 DPI on, with the plain one as fallback; the plain one below.
struct SidePictureNames {
    std::string name;
    std::string fallback;  // empty: none
};
SidePictureNames ChooseSidePicture(int dpi);

// Offset that centres a picture in a frame along one axis; the frame's border takes 2 pixels
// on each side. Integer division, so an odd remainder leaves the extra pixel after the picture.
int CentredPictureOffset(int frameSize, int pictureSize);
