#include "tools/plugsetup/Progress.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "tools/plugsetup/Tool.h"
#include "tools/plugsetup/host/HostProcess.h"

namespace {

constexpr int kBarWidth = 16;
constexpr double kRateAfter = 0.5;  // seconds of a step before its rate means anything

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

ProgressStyle StyleFromArguments(const Arguments& arguments, int columns) {
    if (arguments.Has(kQuietOption.Name)) return ProgressStyle::None;
    const std::string style = arguments.Value(kProgressOption.Name).value_or("auto");
    if (style == "auto") return columns > 0 ? ProgressStyle::InPlace : ProgressStyle::None;
    if (style == "plain") return ProgressStyle::Plain;
    if (style == "none") return ProgressStyle::None;
    throw EUsageError("--progress wants auto, plain or none, not '" + style + "'");
}

// Only the process's own standard error can be the terminal.
int ColumnsFor(const ToolEnvironment& env) {
    return &env.Err == &std::cerr ? StandardErrorColumns() : 0;
}

// Takes nothing.
class NullBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

// "  7%" in the line in place, where the columns stay put; "7%" in a plain line.
std::string Percent(std::int64_t done, std::int64_t total, bool aligned) {
    const int percent = static_cast<int>(std::min<std::int64_t>(100, done * 100 / total));
    char text[8];
    std::snprintf(text, sizeof text, aligned ? "%3d%%" : "%d%%", percent);
    return text;
}

}  // namespace

// Passes what a command prints on to the stream's own buffer, after taking the progress line
// off the terminal; the next update draws it again below.
class Progress::LineGuard : public std::streambuf {
public:
    LineGuard(Progress& progress, std::streambuf* inner) : progress_(progress), inner_(inner) {}

protected:
    int overflow(int c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return sync();
        std::lock_guard<std::mutex> lock(progress_.mutex_);
        progress_.HideLine();
        return inner_->sputc(traits_type::to_char_type(c));
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        std::lock_guard<std::mutex> lock(progress_.mutex_);
        progress_.HideLine();
        const std::streamsize written = inner_->sputn(text, count);
        // A buffered output stream on the same terminal would otherwise show up later, inside
        // the line.
        inner_->pubsync();
        return written;
    }
    int sync() override { return inner_->pubsync(); }

private:
    Progress& progress_;
    std::streambuf* inner_;
};

Progress::Progress(ToolEnvironment& env, const Arguments& arguments)
    : Progress(env.Out, env.Err, StyleFromArguments(arguments, ColumnsFor(env)),
               arguments.Has(kQuietOption.Name), ColumnsFor(env), SteadySeconds) {}

Progress::Progress(std::ostream& out, std::ostream& err, ProgressStyle style, bool quiet, int columns,
                   ProgressClock clock)
    : out_(out),
      err_(err),
      style_(style),
      quiet_(quiet),
      columns_(columns > 0 ? columns : 80),
      clock_(std::move(clock)),
      started_(clock_()),
      errBuffer_(err.rdbuf()),
      outBuffer_(out.rdbuf()) {
    if (quiet_) {
        outGuard_ = std::make_unique<NullBuffer>();
        out_.rdbuf(outGuard_.get());
    } else if (style_ == ProgressStyle::InPlace) {
        errGuard_ = std::make_unique<LineGuard>(*this, errBuffer_);
        err_.rdbuf(errGuard_.get());
        if (&out_ != &err_) {
            outGuard_ = std::make_unique<LineGuard>(*this, outBuffer_);
            out_.rdbuf(outGuard_.get());
        }
    }
}

Progress::~Progress() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        HideLine();
    }
    if (outGuard_) out_.rdbuf(outBuffer_);
    if (errGuard_) err_.rdbuf(errBuffer_);
}

double Progress::Elapsed() const {
    return clock_() - started_;
}

void Progress::Begin(const std::string& what, std::int64_t total) {
    if (style_ == ProgressStyle::None) return;
    std::lock_guard<std::mutex> lock(mutex_);
    what_ = what;
    total_ = total;
    done_ = 0;
    stepStarted_ = clock_();
    Draw(stepStarted_);
}

void Progress::Advance(std::int64_t bytes) {
    const std::int64_t done = done_ += bytes;
    if (style_ == ProgressStyle::None) return;
    const double now = clock_();
    // The piece that completes a step on the terminal is always shown.
    if (style_ == ProgressStyle::InPlace && total_ > 0 && done >= total_ && done - bytes < total_) {
        std::lock_guard<std::mutex> lock(mutex_);
        Draw(now);
        return;
    }
    const double interval = style_ == ProgressStyle::InPlace ? kInPlaceInterval : kPlainInterval;
    if (now - lastDrawn_ < interval) return;
    // A thread that finds the line busy leaves it to the one drawing.
    std::unique_lock<std::mutex> lock(mutex_, std::try_to_lock);
    if (lock.owns_lock() && now - lastDrawn_ >= interval) Draw(now);
}

void Progress::Finish(const std::string& summary) {
    if (style_ == ProgressStyle::None) return;
    std::lock_guard<std::mutex> lock(mutex_);
    HideLine();
    const std::string line = summary + "\n";
    errBuffer_->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    errBuffer_->pubsync();
}

std::string Progress::Line(double now, bool withBar) const {
    const std::int64_t done = done_;
    const double seconds = now - stepStarted_;
    const double rate = seconds >= kRateAfter ? static_cast<double>(done) / seconds : 0;
    std::string line = what_;
    const bool plain = style_ == ProgressStyle::Plain;
    if (total_ <= 0) {
        if (done > 0) line += " " + FormatBytes(done);
        return line + (plain ? ", " : "  ") + FormatDuration(seconds);
    }
    const std::int64_t shown = std::min(done, total_);
    if (plain) {
        line +=
            " " + Percent(shown, total_, false) + ", " + FormatBytes(shown) + " of " + FormatBytes(total_);
    } else if (withBar) {
        const int filled = static_cast<int>(shown * kBarWidth / total_);
        line += " [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "] " +
                Percent(shown, total_, true) + "  " + FormatBytes(shown) + " of " + FormatBytes(total_);
    } else {
        line +=
            " " + Percent(shown, total_, false) + "  " + FormatBytes(shown) + " of " + FormatBytes(total_);
    }
    if (rate > 0) {
        line += (plain ? ", " : "  ") + FormatBytes(static_cast<std::int64_t>(rate)) + "/s";
        line += (plain ? ", " : "  ") + FormatDuration(static_cast<double>(total_ - shown) / rate) + " left";
    }
    return line;
}

void Progress::Draw(double now) {
    lastDrawn_ = now;
    std::string line = Line(now, true);
    if (style_ == ProgressStyle::Plain) {
        line = "plugsetup: " + line + "\n";
        errBuffer_->sputn(line.data(), static_cast<std::streamsize>(line.size()));
        errBuffer_->pubsync();
        return;
    }
    // One column short of the width: a line that fills it makes some terminals wrap. A narrow
    // terminal gets the figures without the bar before anything is cut off.
    const std::size_t width = static_cast<std::size_t>(columns_ - 1);
    if (line.size() > width) line = Line(now, false);
    line.resize(std::min(line.size(), width));
    const std::size_t length = line.size();
    if (length < shownLength_) line.append(shownLength_ - length, ' ');
    line.insert(line.begin(), '\r');
    errBuffer_->sputn(line.data(), static_cast<std::streamsize>(line.size()));
    errBuffer_->pubsync();
    shownLength_ = length;
}

void Progress::HideLine() {
    if (shownLength_ == 0) return;
    const std::string blank = "\r" + std::string(shownLength_, ' ') + "\r";
    errBuffer_->sputn(blank.data(), static_cast<std::streamsize>(blank.size()));
    errBuffer_->pubsync();
    shownLength_ = 0;
}

void ProgressStream::Write(const void* buffer, std::size_t count) {
    inner_.Write(buffer, count);
    progress_.Advance(static_cast<std::int64_t>(count));
}

std::string FormatBytes(std::int64_t bytes) {
    static const char* const kUnits[] = {"KB", "MB", "GB", "TB"};
    if (bytes < 1000) return std::to_string(bytes) + " B";
    double value = static_cast<double>(bytes) / 1000;
    int unit = 0;
    while (value >= 999.95 && unit < 3) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, value < 10 && unit >= 2 ? "%.2f %s" : "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string FormatDuration(double seconds) {
    const long total = seconds < 0 ? 0 : static_cast<long>(seconds + 0.5);
    char text[32];
    if (total >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", total / 3600, total / 60 % 60, total % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", total / 60, total % 60);
    return text;
}

std::string FormatSeconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", seconds);
    return text;
}
