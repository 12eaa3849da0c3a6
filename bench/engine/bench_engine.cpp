// The benchmark's view of the setup engine on the real Win32 platform, without the wizard. Every
// mode prints "name seconds" lines measured inside the process, and the peak working set.
//   bench_engine check SETUP.EXE [TIMES]   open the archive and check it, TIMES times
//   bench_engine install SETUP.EXE FOLDER [--one-thread]
//                                          construct the engine (which checks the archive and
//                                          reads Setup.ini), then the whole installation run
//                                          into FOLDER, with a progress sink that never pauses;
//                                          --one-thread inflates on the writing thread too
//   bench_engine uninstall UNINST.EXE      the uninstaller's removal of everything it logged
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "archive/ArchiveLocation.h"
#include "archive/SetupData.h"
#include "engine/SetupInstaller.h"
#include "engine/SetupProgress.h"
#include "system/Stream.h"
#include "system/WindowsEx.h"
#include "system/win32/Win32Platform.h"
#include "uninstall/Uninstaller.h"

namespace {

class Stopwatch {
public:
    Stopwatch() {
        QueryPerformanceFrequency(&frequency_);
        QueryPerformanceCounter(&start_);
    }
    double Seconds() const {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) / static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

// Counts what the wizard would show, without its pauses.
class CountingProgress : public ISetupProgress {
public:
    void SetProgress(int) override { ++progressCalls; }
    void SetStatus(const std::string&) override { ++statusTexts; }
    int progressCalls = 0;
    int statusTexts = 0;
};

// The uninstaller reads the record of the program it runs as.
class UninstallerPlatform : public Win32Platform {
public:
    explicit UninstallerPlatform(std::string path) : path_(std::move(path)) {}
    std::string OwnProgramPath() override { return path_; }

private:
    std::string path_;
};

void PrintPeakMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        std::printf("peak_working_set_bytes %lu\n", static_cast<unsigned long>(counters.PeakWorkingSetSize));
}

int Check(const std::string& setup, int times) {
    Win32Platform platform;
    for (int i = 0; i < times; ++i) {
        Stopwatch watch;
        auto data = OpenArchiveData(platform, setup);
        ArchiveInfo info = CheckArchive(*data);
        const double seconds = watch.Seconds();
        std::printf("check_seconds %.6f\ncheck_bytes %lld\n", seconds,
                    static_cast<long long>(info.ArchiveEnd - info.ArchiveStart));
    }
    return 0;
}

int Install(const std::string& setup, const std::string& folder, bool oneThread) {
    Win32Platform platform;
    Stopwatch construct;
    TSetupInstaller engine(platform, setup);
    engine.Installer().InflateAhead = !oneThread;
    std::printf("construct_seconds %.6f\n", construct.Seconds());
    if (!HasAdminRights(platform)) throw std::runtime_error("no administrator rights in this prefix");
    engine.SetDestinationFolder(folder);
    CountingProgress progress;
    Stopwatch run;
    engine.Install(progress);
    std::printf("install_seconds %.6f\n", run.Seconds());
    std::printf("status_texts %d\nprogress_calls %d\n", progress.statusTexts, progress.progressCalls);
    PrintPeakMemory();
    return 0;
}

int Uninstall(const std::string& uninstaller) {
    UninstallerPlatform platform(uninstaller);
    TUninstaller removal(platform);
    Stopwatch watch;
    const bool complete = removal.RemoveAll();
    std::printf("uninstall_seconds %.6f\nuninstall_complete %d\n", watch.Seconds(), complete ? 1 : 0);
    return complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "check" && (argc == 3 || argc == 4))
            return Check(argv[2], argc == 4 ? std::atoi(argv[3]) : 1);
        if (mode == "install" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "--one-thread")))
            return Install(argv[2], argv[3], argc == 5);
        if (mode == "uninstall" && argc == 3) return Uninstall(argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "bench_engine: %s\n", error.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: bench_engine check SETUP.EXE [TIMES]\n"
                 "       bench_engine install SETUP.EXE FOLDER [--one-thread]\n"
                 "       bench_engine uninstall UNINST.EXE\n");
    return 2;
}
