#include <gtest/gtest.h>

#include "wizard/SidePictureChoice.h"

TEST(SidePictureChoice, TwiceTheSizeFrom144DpiOnWithThePlainPictureAsFallback) {
    EXPECT_EQ(ChooseSidePicture(96).name, "Setup.jpg");
    EXPECT_EQ(ChooseSidePicture(120).name, "Setup.jpg");
    EXPECT_EQ(ChooseSidePicture(120).fallback, "");
    EXPECT_EQ(ChooseSidePicture(143).name, "Setup.jpg");
    EXPECT_EQ(ChooseSidePicture(144).name, "Setup@2x.jpg");
    EXPECT_EQ(ChooseSidePicture(144).fallback, "Setup.jpg");
    EXPECT_EQ(ChooseSidePicture(192).name, "Setup@2x.jpg");
}

TEST(SidePictureChoice, PictureIsCentredInsideTheFramesBorder) {
    EXPECT_EQ(CentredPictureOffset(154, 150), 0) << "96 DPI: same origin as the frame's inside";
    EXPECT_EQ(CentredPictureOffset(231, 225), 1) << "150 %: 154 and 150 scaled";
    EXPECT_EQ(CentredPictureOffset(193, 188), 0) << "125 %: the odd pixel goes after the picture";
    EXPECT_EQ(CentredPictureOffset(308, 300), 2);
}
