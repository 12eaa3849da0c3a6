#include "wizard/SidePictureChoice.h"

SidePictureNames ChooseSidePicture(int dpi) {
    if (dpi < 144) return {"Setup.jpg", ""};
    return {"Setup@2x.jpg", "Setup.jpg"};
}

int CentredPictureOffset(int frameSize, int pictureSize) {
    return (frameSize - pictureSize - 4) / 2;
}
