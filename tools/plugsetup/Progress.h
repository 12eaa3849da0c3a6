// How far long work has come (build, verify, extract, check of a large product).
//
// On a terminal: one line on standard error, drawn again in place, that names what is being
// done, with a bar by bytes, the bytes done of the total, the rate and the time left; at the end
// a summary line takes its place. With --progress plain: a plain line when a step begins and
// every few seconds, for CI logs. Otherwise (a pipe, a file, --progress none) nothing, and with
// --quiet nothing but errors. While a Progress lives, whatever the command prints on its output
// or error stream first takes the line away, so results, warnings and errors never mix with it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>

#include "system/Stream.h"
#include "tools/plugsetup/Arguments.h"

struct ToolEnvironment;

inline constexpr OptionRule kProgressOption = {"--progress", true};
inline constexpr OptionRule kQuietOption = {"--quiet", false};

enum class ProgressStyle { None, InPlace, Plain };

// Seconds on a steady clock; tests give their own.
using ProgressClock = std::function<double()>;

// A line in place at most this often, a plain line at most this often.
inline constexpr double kInPlaceInterval = 0.1;
inline constexpr double kPlainInterval = 5.0;

class Progress {
public:
    // --progress auto|plain|none (auto: in place when standard error is a terminal, else none)
    // and --quiet, which also silences the command's output stream.
    Progress(ToolEnvironment& env, const Arguments& arguments);
    // columns: the terminal's width for the line in place.
    Progress(std::ostream& out, std::ostream& err, ProgressStyle style, bool quiet, int columns,
             ProgressClock clock);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    ProgressStyle Style() const { return style_; }
    bool Quiet() const { return quiet_; }
    // A new step: what is being done ("compressing") and its size in bytes; 0 when it is not
    // known, and the line then shows the step and its time only.
    void Begin(const std::string& what, std::int64_t total);
    // bytes more of the step are done. Any thread may call it.
    void Advance(std::int64_t bytes);
    // The last line, in place of the progress line (shown in place and plain, not otherwise).
    void Finish(const std::string& summary);
    // Seconds since this Progress began.
    double Elapsed() const;

private:
    class LineGuard;
    void Draw(double now);  // mutex_ held
    void HideLine();        // mutex_ held
    std::string Line(double now, bool withBar) const;

    std::ostream& out_;
    std::ostream& err_;
    ProgressStyle style_;
    bool quiet_;
    int columns_;
    ProgressClock clock_;
    double started_;

    std::streambuf* errBuffer_;  // the terminal's own buffer, which the line is written to
    std::streambuf* outBuffer_;
    std::unique_ptr<std::streambuf> errGuard_;
    std::unique_ptr<std::streambuf> outGuard_;

    std::mutex mutex_;
    std::string what_;
    std::int64_t total_ = 0;
    std::atomic<std::int64_t> done_{0};
    double stepStarted_ = 0;
    std::atomic<double> lastDrawn_{-1e9};
    std::size_t shownLength_ = 0;  // of the line in place now on the terminal
};

// A stream that passes everything to another and counts what is written as progress.
class ProgressStream : public Stream {
public:
    ProgressStream(Stream& inner, Progress& progress) : inner_(inner), progress_(progress) {}
    std::size_t Read(void* buffer, std::size_t count) override { return inner_.Read(buffer, count); }
    void Write(const void* buffer, std::size_t count) override;
    std::int64_t Seek(std::int64_t position) override { return inner_.Seek(position); }
    std::int64_t Position() const override { return inner_.Position(); }
    std::int64_t Size() const override { return inner_.Size(); }

private:
    Stream& inner_;
    Progress& progress_;
};

// "812 B", "1.5 KB", "302.0 MB", "5.12 GB" (powers of 1000).
std::string FormatBytes(std::int64_t bytes);
// "0:04", "12:30", "1:02:03".
std::string FormatDuration(double seconds);
// "7.3 s", for summaries.
std::string FormatSeconds(double seconds);
