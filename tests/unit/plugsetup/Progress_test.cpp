#include "tools/plugsetup/Progress.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct ProgressFixture : ::testing::Test {
    std::ostringstream out, err;
    double now = 100;
    ProgressClock clock = [this] { return now; };
};

TEST_F(ProgressFixture, LineInPlaceMovesByBytesGivesWayToOutputAndEndsWithTheSummary) {
    {
        Progress progress(out, err, ProgressStyle::InPlace, false, 68, clock);
        progress.Begin("compressing", 2000000);
        EXPECT_EQ(err.str(), "\rcompressing [................]   0%  0 B of 2.0 MB");
        err.str("");

        // Too soon after the last drawing: counted, not drawn.
        now += 0.05;
        progress.Advance(500000);
        EXPECT_EQ(err.str(), "");
        // Bytes decide how far it is; on a terminal too narrow for it all the bar goes first.
        now += 0.95;
        progress.Advance(500000);
        EXPECT_EQ(err.str(), "\rcompressing 50%  1.0 MB of 2.0 MB  1.0 MB/s  0:01 left");

        // A warning takes the line away first, and the next drawing is a fresh line.
        err.str("");
        err << "warning: something\n";
        EXPECT_EQ(err.str(), "\r" + std::string(54, ' ') + "\rwarning: something\n");
        out << "result\n";  // the output stream too: it may be the same terminal

        progress.Finish("Setup.exe: 3 files, 2.0 MB in, 1.9 MB out (95.0%), 1.0 s");
    }
    EXPECT_EQ(out.str(), "result\n");
    EXPECT_EQ(err.str(), "\r" + std::string(54, ' ') + "\rwarning: something\n" +
                             "Setup.exe: 3 files, 2.0 MB in, 1.9 MB out (95.0%), 1.0 s\n");
}

TEST_F(ProgressFixture, PlainLinesComeEveryFewSecondsAndQuietKeepsOnlyTheErrorStream) {
    {
        Progress progress(out, err, ProgressStyle::Plain, false, 0, clock);
        progress.Begin("verifying", 4000000000);
        now += 1;
        progress.Advance(1000000000);  // a second later: no line yet
        now += kPlainInterval;
        progress.Advance(1000000000);
        progress.Finish("done");
    }
    EXPECT_EQ(err.str(),
              "plugsetup: verifying 0%, 0 B of 4.00 GB\n"
              "plugsetup: verifying 50%, 2.00 GB of 4.00 GB, 333.3 MB/s, 0:06 left\n"
              "done\n");

    std::ostringstream quietOut, quietErr;
    {
        Progress progress(quietOut, quietErr, ProgressStyle::None, true, 0, clock);
        progress.Begin("checking", 0);
        quietOut << "Setup.exe: version 1.0.0\n";
        quietErr << "plugsetup: an error\n";
        progress.Finish("summary");
    }
    EXPECT_EQ(quietOut.str(), "");
    EXPECT_EQ(quietErr.str(), "plugsetup: an error\n");
}

TEST(ProgressFormat, BytesAndDurations) {
    EXPECT_EQ(FormatBytes(999), "999 B");
    EXPECT_EQ(FormatBytes(1500), "1.5 KB");
    EXPECT_EQ(FormatBytes(999999), "1.0 MB");
    EXPECT_EQ(FormatBytes(5120000000), "5.12 GB");
    EXPECT_EQ(FormatDuration(4.4), "0:04");
    EXPECT_EQ(FormatDuration(3723), "1:02:03");
}

}  // namespace
