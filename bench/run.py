#!/usr/bin/env python3
"""The setup benchmark: one product packed three ways and installed under Wine, side by side.

Run through scripts/bench, which builds first. Writes bench/RESULTS.md and prints it.

  our setup     plugsetup build; timed as the engine's installation run (bench_engine, the real
                Win32 platform, a progress sink without pauses) and through the real window
  NSIS          Debian's makensis, SetCompressor zlib (not solid), run silently with /S
  the limit     bench_limit.exe: inflates our archive's streams into the same files, nothing else;
                with --write-only it inflates them into memory first and times only the writing,
                done as our platform writes a file: what no installer can beat on this machine

Every install is timed as a whole process under one persistent wineserver; the programs take
turns (A B C, B C A, C A B, ...), the target folder is removed and the disks synced before each run,
outside the timing, and every installed tree is compared with the payload byte for byte.
"""
import datetime
import filecmp
import os
import platform
import re
import shlex
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
HOST_BIN = ROOT / "build/host/bin"
WIN_BIN = ROOT / "build/win32/bin"
WORK = ROOT / "build/bench"
PREFIX = WORK / "wine"
DRIVE_C = PREFIX / "drive_c"
WINE_RUN = ROOT / "scripts/wine-run"
RESULTS = ROOT / "bench/RESULTS.md"
STUB = WIN_BIN / "Setup.exe"
STUB_TARGET = 450_000  # bytes: 450 KB, counted either way

ROUNDS = int(os.environ.get("BENCH_ROUNDS", "5"))
BUILD_ROUNDS = int(os.environ.get("BENCH_BUILD_ROUNDS", "3"))
SIZES = (300, 30, 5)  # megabytes of payload
WINDOW_SIZES = SIZES[:2]  # installed through the window, for memory
# makensis reads the script as UTF-8 and names the payload's files in a UTF-8 locale.
MAKENSIS = ["makensis", "-V2", "-INPUTCHARSET", "UTF8"]
MAKENSIS_ENV = dict(os.environ, LC_ALL="C.UTF-8")
BUILD = ["build", "--version", "1.0.0", "--build-time", "2026-01-01T12:00:00"]
TITLE = "Bench Synth Setup"
STATUS_PAUSE = 0.5  # seconds the wizard holds each status text

commands = []  # what was run, for the report


class BenchError(Exception):
    pass


def log(text):
    print(text, flush=True)


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def run(argv, timeout=600, env=None, record=True):
    if record:
        commands.append(shlex.join(str(a) for a in argv))
    # Output goes to files, not pipes: Wine's own services, started by the first program,
    # inherit the handles and would keep a pipe open long after the program ended.
    with tempfile.TemporaryFile("w+") as out, tempfile.TemporaryFile("w+") as err:
        code = subprocess.run([str(a) for a in argv], stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=timeout, env=env).returncode
        out.seek(0)
        err.seek(0)
        stdout, stderr = out.read(), err.read()
    if code != 0:
        raise BenchError(f"{' '.join(str(a) for a in argv)} failed ({code}):\n{stdout}{stderr}")
    return stdout


def wine_env():
    env = dict(os.environ)
    env["PLUGSETUP_WINEPREFIX"] = str(PREFIX)
    env["WINEPREFIX"] = str(PREFIX)
    return env


def wine(*args, timeout=600):
    return run([WINE_RUN, *args], timeout=timeout, env=wine_env())


def timed_wine(*args):
    start = time.perf_counter()
    out = wine(*args)
    return time.perf_counter() - start, out


def driver(*args, timeout=180):
    return wine(WIN_BIN / "e2e_driver.exe", *args, timeout=timeout)


def values(text):
    """The "name number" lines a bench program prints."""
    found = {}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 2 and re.fullmatch(r"[-0-9.]+", parts[1]):
            found[parts[0]] = float(parts[1])
    return found


def clean(path):
    if path.exists():
        shutil.rmtree(path)
    os.sync()


def drop_page_cache():
    """The first build after the product was written to disk and the machine restarted: every read
    goes to the disk. Needs root; without it the cold figures are left out."""
    os.sync()
    try:
        Path("/proc/sys/vm/drop_caches").write_text("3\n")
        return True
    except OSError:
        return False


def read_tree(folder):
    """Reads every file of the tree once, as fast as one reader can: what the disk costs alone."""
    for path in sorted(folder.rglob("*")):
        if path.is_file():
            with open(path, "rb") as f:
                while f.read(1 << 20):
                    pass


# --- trees ---------------------------------------------------------------------------------

def compare_tree(payload, installed, uninstaller):
    """Every file and folder of the payload, byte for byte, and nothing else but the uninstaller."""
    problems = []
    for folder, dirs, files in os.walk(payload):
        rel = Path(folder).relative_to(payload)
        target = installed / rel
        if not target.is_dir():
            problems.append(f"missing folder {rel}")
            continue
        wanted = set(dirs) | set(files)
        extra = set(os.listdir(target)) - wanted - ({uninstaller} if rel == Path(".") else set())
        problems += [f"extra {rel / name}" for name in sorted(extra)]
        for name in files:
            if not (target / name).is_file():
                problems.append(f"missing file {rel / name}")
            elif not filecmp.cmp(Path(folder) / name, target / name, shallow=False):
                problems.append(f"different file {rel / name}")
    if problems:
        raise BenchError(f"{installed} differs from the payload: " + "; ".join(problems[:10]))


def expect_removed(installed, uninstaller):
    left = [str(p.relative_to(installed)) for p in installed.rglob("*")]
    if left and left != [uninstaller]:
        raise BenchError(f"the uninstaller left {left[:10]} in {installed}")


def payload_summary(payload):
    files = [p for p in payload.rglob("*") if p.is_file()]
    folders = [p for p in payload.rglob("*") if p.is_dir()]
    return len(files), len(folders), sum(p.stat().st_size for p in files)


# --- the three programs ----------------------------------------------------------------------

def install_nsis(setup, payload):
    target = DRIVE_C / "bench/nsis"
    clean(target)
    seconds, _ = timed_wine(setup, "/S", "/D=C:\\bench\\nsis")
    compare_tree(payload, target, "Uninstall.exe")
    removal, _ = timed_wine("C:\\bench\\nsis\\Uninstall.exe", "/S", "_?=C:\\bench\\nsis")
    expect_removed(target, "Uninstall.exe")
    clean(target)
    return seconds, removal


def install_limit(setup, payload):
    """The two limits: unpacking as a whole process, and the writing alone (timed inside)."""
    target = DRIVE_C / "bench/limit"
    clean(target)
    seconds, _ = timed_wine(WIN_BIN / "bench_limit.exe", windows_path(setup), "C:\\bench\\limit")
    compare_tree(payload, target, None)
    clean(target)
    _, out = timed_wine(WIN_BIN / "bench_limit.exe", "--write-only", windows_path(setup), "C:\\bench\\limit")
    compare_tree(payload, target, None)
    clean(target)
    return seconds, values(out)["write_seconds"]


def install_ours(setup, payload):
    target = DRIVE_C / "bench/ours"
    clean(target)
    seconds, out = timed_wine(WIN_BIN / "bench_engine.exe", "install", windows_path(setup), "C:\\bench\\ours")
    compare_tree(payload, target, "Uninst.exe")
    removal, removed = timed_wine(WIN_BIN / "bench_engine.exe", "uninstall", "C:\\bench\\ours\\Uninst.exe")
    expect_removed(target, "Uninst.exe")
    clean(target)
    return seconds, removal, values(out), values(removed)


def install_through_window(setup, payload):
    """Welcome, licence, destination, then the Install click timed until the completion page."""
    target = DRIVE_C / "bench/wizard"
    clean(target)
    program = subprocess.Popen([str(WINE_RUN), windows_path(setup)], stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=wine_env())
    probe = None
    try:
        driver("wait-window", "--title", TITLE, "--timeout", "60")
        driver("wait-text", "--title", TITLE, "--text", "Welcome to Bench Synth Setup")
        driver("click", "--title", TITLE, "--button", "Next >")
        driver("wait-text", "--title", TITLE, "--text", "License Agreement")
        driver("click", "--title", TITLE, "--button", "Yes")
        driver("wait-text", "--title", TITLE, "--text", "Destination")
        driver("type", "--title", TITLE, "--text", "C:\\bench\\wizard")
        before = values(driver("memory", "--title", TITLE))
        # A second process asks the window for an answer every 100 ms from before the click
        # until the window is gone: the longest wait is how close it came to "Not Responding".
        commands.append(shlex.join(str(a) for a in [WINE_RUN, WIN_BIN / "e2e_driver.exe", "probe", "--title",
                                                     TITLE, "--timeout", "600"]))
        probe_out = tempfile.TemporaryFile("w+")
        probe = subprocess.Popen([str(WINE_RUN), str(WIN_BIN / "e2e_driver.exe"), "probe", "--title", TITLE,
                                  "--timeout", "600"], stdin=subprocess.DEVNULL, stdout=probe_out,
                                 stderr=subprocess.DEVNULL, env=wine_env())
        time.sleep(1)  # the probe's first message goes out before the click
        seconds = float(driver("time-click", "--title", TITLE, "--button", "Install", "--text",
                               "Installation Completed", "--timeout", "300").split()[0])
        memory = values(driver("memory", "--title", TITLE))
        driver("check", "--title", TITLE, "--button", "Show Readme.txt", "--state", "off")
        driver("click", "--title", TITLE, "--button", "Finish")
        if program.wait(timeout=60) != 0:
            raise BenchError(f"{setup.name} ended with status {program.returncode}")
        if probe.wait(timeout=60) != 0:
            raise BenchError("the responsiveness probe failed")
        probe_out.seek(0)
        answers = values(probe_out.read())
        if "longest_wait_ms" not in answers:
            raise BenchError("the responsiveness probe printed no figure")
    finally:
        for process in (program, probe):
            if process is not None and process.poll() is None:
                process.kill()  # our own processes, started above
                process.wait()
    compare_tree(payload, target, "Uninst.exe")
    wine(WIN_BIN / "bench_engine.exe", "uninstall", "C:\\bench\\wizard\\Uninst.exe")
    clean(target)
    return seconds, memory["peak_working_set_bytes"], before["peak_working_set_bytes"], answers["longest_wait_ms"]


# --- figures and the report -------------------------------------------------------------------

class Figures:
    def __init__(self):
        self.samples = {}

    def add(self, name, value):
        self.samples.setdefault(name, []).append(value)

    def get(self, name):
        return self.samples[name]


def describe(samples, unit, scale=1.0, digits=3):
    s = [x * scale for x in samples]
    fmt = f"{{:.{digits}f}}"
    return (fmt.format(statistics.median(s)) + f" {unit}".rstrip(),
            fmt.format(min(s)) + "–" + fmt.format(max(s)), str(len(s)))


def ratios(a, b):
    return [x / y for x, y in zip(a, b)]


def machine():
    cpu = "unknown"
    for line in Path("/proc/cpuinfo").read_text().splitlines():
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    mem = Path("/proc/meminfo").read_text().splitlines()[0].split()[1]

    def version(argv):
        try:
            return subprocess.run(argv, capture_output=True, text=True, timeout=30).stdout.strip().splitlines()[0]
        except (OSError, IndexError, subprocess.SubprocessError):
            return "unknown"

    zlib_header = Path("/usr/i686-w64-mingw32/include/zlib.h")
    zlib = "unknown"
    if zlib_header.exists():
        m = re.search(r'#define ZLIB_VERSION "([^"]+)"', zlib_header.read_text(errors="replace"))
        zlib = m.group(1) if m else zlib
    return [
        f"- CPU: {cpu}, {os.cpu_count()} cores; memory {int(mem) // 1024} MiB",
        f"- System: Debian {Path('/etc/debian_version').read_text().strip()}, Linux {platform.release()}",
        f"- Wine: {version(['wine', '--version'])}, one persistent wineserver, prefix {PREFIX.relative_to(ROOT)}",
        f"- NSIS: makensis {version(['makensis', '-VERSION'])}",
        f"- Compilers: {version(['i686-w64-mingw32-g++-posix', '--version'])}; zlib {zlib} (static)",
    ]


def stub_breakdown():
    """Setup.exe's size and the tables of bench/stub-size: its sections and what fills them."""
    tables = run([ROOT / "bench/stub-size", "--markdown", STUB], record=False)
    return STUB.stat().st_size, tables.rstrip("\n").splitlines()


def main():
    started = time.time()
    WORK.mkdir(parents=True, exist_ok=True)
    figures = Figures()
    stub = stub_breakdown()

    # Payloads and their setups.
    payloads, ours, nsis = {}, {}, {}
    for size in SIZES:
        folder = WORK / f"payload-{size}"
        clean(folder)
        run([HOST_BIN / "bench_payload", folder, "--megabytes", size])
        payloads[size] = folder / "Files"
        ours[size] = WORK / f"ours-{size}.exe"
        nsis[size] = WORK / f"nsis-{size}.exe"
        run([ROOT / "bench/nsis/make-nsi", payloads[size], WORK / f"nsis-{size}.nsi", nsis[size]])

    def build(kind, size):
        out = nsis[size] if kind == "nsis" else ours[size]
        out.unlink(missing_ok=True)
        start = time.perf_counter()
        if kind == "ours":
            run([HOST_BIN / "plugsetup", *BUILD, "-o", out, payloads[size].parent])
        elif kind == "ours_terminal":
            # The same build on a pseudo-terminal, where it draws its progress line.
            line = shlex.join(str(a) for a in [HOST_BIN / "plugsetup", *BUILD, "-o", out, payloads[size].parent])
            run(["script", "-qec", line, "/dev/null"])
        else:
            run(MAKENSIS + [WORK / f"nsis-{size}.nsi"], env=MAKENSIS_ENV)
        return time.perf_counter() - start

    big = SIZES[0]
    log(f"== building both setups of {big} MB, {BUILD_ROUNDS} times each, in turns, warm and cold")
    for r in range(BUILD_ROUNDS):
        for kind in ("ours", "ours_terminal", "nsis") if r % 2 == 0 else ("nsis", "ours_terminal", "ours"):
            figures.add(f"build_{kind}", build(kind, big))
    cold = drop_page_cache()
    if cold:
        for r in range(BUILD_ROUNDS):
            for kind in ("ours", "nsis") if r % 2 == 0 else ("nsis", "ours"):
                drop_page_cache()
                figures.add(f"cold_build_{kind}", build(kind, big))
        # Where a cold build's time goes: the disk alone, the check alone, the build without it.
        parts = {
            "cold_read": lambda: read_tree(payloads[big]),
            "cold_check": lambda: run([HOST_BIN / "plugsetup", "check", "--version", "1.0.0",
                                       payloads[big].parent]),
            "cold_build_no_check": lambda: run([HOST_BIN / "plugsetup", *BUILD, "--no-check", "-o",
                                                WORK / "ours-no-check.exe", payloads[big].parent]),
        }
        for _ in range(BUILD_ROUNDS):
            for name, part in parts.items():
                drop_page_cache()
                start = time.perf_counter()
                part()
                figures.add(name, time.perf_counter() - start)
        (WORK / "ours-no-check.exe").unlink(missing_ok=True)
    for size in SIZES:
        if size != big:
            for kind in ("ours", "nsis"):
                build(kind, size)
        figures.add(f"size_ours_{size}", ours[size].stat().st_size)
        figures.add(f"size_nsis_{size}", nsis[size].stat().st_size)

    log("== a fresh Wine prefix and one persistent wineserver")
    clean(PREFIX)
    wine("cmd", "/c", "exit")
    run(["wineserver", "-w"], env=wine_env(), record=False)
    subprocess.run(["wineserver", "-p"], env=wine_env(), check=True)
    try:
        log("== warming up: one untimed run of each")
        install_nsis(nsis[big], payloads[big])
        install_limit(ours[big], payloads[big])
        install_ours(ours[big], payloads[big])

        def nsis_round():
            seconds, removal = install_nsis(nsis[big], payloads[big])
            figures.add("install_nsis", seconds)
            figures.add("uninstall_nsis", removal)

        def limit_round():
            seconds, writing = install_limit(ours[big], payloads[big])
            figures.add("install_limit", seconds)
            figures.add("write_limit", writing)

        def ours_round():
            seconds, removal, out, removed = install_ours(ours[big], payloads[big])
            figures.add("install_ours", seconds)
            figures.add("uninstall_ours", removal)
            figures.add("engine_construct", out["construct_seconds"])
            figures.add("engine_install_run", out["install_seconds"])
            figures.add("engine_removal", removed["uninstall_seconds"])
            figures.add(f"engine_peak_{big}", out["peak_working_set_bytes"])
            figures.add("status_texts", out["status_texts"])

        # Each program takes each place in the rounds in turn, so none always follows the
        # deletion of another's 300 MB.
        log(f"== installing {big} MB: NSIS, the limit and ours in turns, {ROUNDS} rounds")
        turns = [nsis_round, limit_round, ours_round]
        for r in range(ROUNDS):
            for turn in turns[r % 3:] + turns[:r % 3]:
                turn()
            g = figures.get
            log(f"   round {r + 1}: NSIS {g('install_nsis')[-1]:.2f} s, limit {g('install_limit')[-1]:.2f} s "
                f"(writing alone {g('write_limit')[-1]:.2f} s), "
                f"ours {g('install_ours')[-1]:.2f} s (run {g('engine_install_run')[-1]:.2f} s); "
                f"removal NSIS {g('uninstall_nsis')[-1]:.2f} s, ours {g('uninstall_ours')[-1]:.2f} s")

        log("== the archive check at start-up")
        out = wine(WIN_BIN / "bench_engine.exe", "check", windows_path(ours[big]), str(ROUNDS + 1))
        checks = [float(x) for x in re.findall(r"check_seconds ([0-9.]+)", out)][1:]
        archive_bytes = float(re.search(r"check_bytes ([0-9]+)", out).group(1))
        for seconds in checks:
            figures.add("check_seconds", seconds)
            figures.add("check_rate", archive_bytes / seconds)

        for size in WINDOW_SIZES:
            rounds = ROUNDS if size == big else 3
            log(f"== {size} MB through the window: the Install click until the completion page, {rounds} runs")
            for _ in range(rounds):
                seconds, peak, before, longest_wait = install_through_window(ours[size], payloads[size])
                figures.add(f"window_{size}", seconds)
                figures.add(f"longest_wait_{size}", longest_wait / 1000)
                figures.add(f"peak_{size}", peak)
                figures.add(f"peak_before_install_{size}", before)
            if size != big:
                _, _, out, _ = install_ours(ours[size], payloads[size])
                figures.add(f"engine_peak_{size}", out["peak_working_set_bytes"])
    finally:
        subprocess.run(["wineserver", "-k"], env=wine_env())

    report = write_report(figures, payloads, big, time.time() - started, stub)
    RESULTS.write_text(report)
    print(report)


def write_report(f, payloads, big, elapsed, stub):
    files, folders, size = payload_summary(payloads[big])
    small_files, _, small_size = payload_summary(payloads[SIZES[1]])
    tiny_files, _, tiny_size = payload_summary(payloads[SIZES[2]])
    g = f.get
    mb = 1 / 1e6
    status = statistics.median(g("status_texts"))
    lines = [
        "# Setup benchmark",
        "",
        f"Written by `scripts/bench` on {datetime.date.today().isoformat()} in {elapsed / 60:.1f} minutes. "
        "Every figure is a median with its minimum–maximum; every ratio is taken run by run within "
        "this one run (round i of one program against round i of the other), then summarised.",
        "",
        "![The installation, removal and build times and the setup sizes, drawn by bench/figures.py](results.svg)",
        "",
        "## Machine",
        "",
        *machine(),
        "",
        "## Product",
        "",
        f"`bench_payload` (deterministic): {files:,} files in {folders} folders, {size * mb:.1f} MB: five plug-in "
        "binaries of 32–72 MiB, VST 3 and AAX bundle trees with desktop.ini and PlugIn.ico, 1,900 presets, "
        "100 text files (a quarter of the manual's chapters in a folder named in French, `Docs/Manuel français/"
        "Chapitre 015 – Réglages.txt`, and two presets' adjectives in every seven accented: `Doré`, `Métal`), "
        "incompressible pictures and empty files. Names are UTF-8 on Linux and Windows-1252 in the setups; the "
        "installed trees are compared with the payload byte for byte, names included. "
        f"A second product of {small_size * mb:.1f} MB ({small_files} files) checks that memory does not grow with "
        f"the product; a third of {tiny_size * mb:.1f} MB ({tiny_files} files), the size of a small effect, "
        "measures the program's fixed cost in the setup's size.",
        "",
        "## Figures",
        "",
        "| Figure | Median | Min–max | Runs |",
        "|---|---|---|---|",
    ]

    def row(title, samples, unit, scale=1.0, digits=3):
        median, spread, n = describe(samples, unit, scale, digits)
        lines.append(f"| {title} | {median} | {spread} | {n} |")

    row(f"NSIS silent install (`/S`), whole process", g("install_nsis"), "s")
    row("The limit (`bench_limit.exe`), whole process", g("install_limit"), "s")
    row("The write-only limit (`bench_limit.exe --write-only`): the unpacked files written, inside the process",
        g("write_limit"), "s")
    row("Our installation (`bench_engine install`), whole process", g("install_ours"), "s")
    row("— of which the engine's construction (archive check, Setup.ini, detection)", g("engine_construct"), "s")
    row("— of which the installation run (no pauses)", g("engine_install_run"), "s")
    row(f"Install click → completion page through the window ({status:.0f} status texts × 0.5 s included)",
        g(f"window_{big}"), "s")
    for size in WINDOW_SIZES:
        row(f"Setup.exe's longest wait for an answer (WM_NULL every 100 ms), {size} MB product",
            g(f"longest_wait_{size}"), "s")
    row("Archive check at start-up", g("check_seconds"), "s", digits=4)
    row("Archive check rate", g("check_rate"), "GB/s", 1e-9, 2)
    row("NSIS silent uninstall (`/S _?=`), whole process", g("uninstall_nsis"), "s")
    row("Our removal (`bench_engine uninstall`), whole process", g("uninstall_ours"), "s")
    row("— of which the removal itself", g("engine_removal"), "s")
    row("`plugsetup build`, warm (the product's files in the page cache)", g("build_ours"), "s", digits=2)
    if "build_ours_terminal" in f.samples:
        row("`plugsetup build`, warm, on a terminal (its progress line drawn; `script`)", g("build_ours_terminal"),
            "s", digits=2)
    row("`makensis`, warm", g("build_nsis"), "s", digits=2)
    if "cold_build_ours" in f.samples:
        row("`plugsetup build`, cold (page cache dropped before each run)", g("cold_build_ours"), "s", digits=2)
        row("`makensis`, cold", g("cold_build_nsis"), "s", digits=2)
        row("— reading every file once, one reader, cold", g("cold_read"), "s", digits=2)
        row("— `plugsetup check` alone, cold", g("cold_check"), "s", digits=2)
        row("— `plugsetup build --no-check`, cold", g("cold_build_no_check"), "s", digits=2)
    for size in WINDOW_SIZES:
        row(f"Setup.exe peak working set, {size} MB product (through the window)", g(f"peak_{size}"), "MB", 1e-6, 1)
        row(f"— of which before the Install click", g(f"peak_before_install_{size}"), "MB", 1e-6, 1)
        row(f"`bench_engine` peak working set, {size} MB product", g(f"engine_peak_{size}"), "MB", 1e-6, 1)
    for size in SIZES:
        row(f"Setup size, ours, {size} MB product", g(f"size_ours_{size}"), "bytes", 1, 0)
        row(f"Setup size, NSIS, {size} MB product", g(f"size_nsis_{size}"), "bytes", 1, 0)

    lines += ["", "## Targets", "", "| Target | Median | Min–max | Met |", "|---|---|---|---|"]

    def target(title, samples, limit, at_most=True, unit="", scale=1.0, digits=2):
        median = statistics.median(samples) * scale
        met = median <= limit if at_most else median >= limit
        _, spread, _ = describe(samples, unit, scale, digits)
        lines.append(f"| {title} | {median:.{digits}f}{(' ' + unit) if unit else ''} | {spread} | "
                     f"{'yes' if met else 'NO'} |")

    target("installation ÷ NSIS install ≤ 0.50", ratios(g("install_ours"), g("install_nsis")), 0.50)
    target("installation ÷ the limit ≤ 1.15", ratios(g("install_ours"), g("install_limit")), 1.15)
    # Both timed inside their process: the run without its pauses, and the writing alone.
    target("installation run ÷ the write-only limit ≤ 1.15", ratios(g("engine_install_run"), g("write_limit")), 1.15)
    target("archive check ≥ 1.5 GB/s", g("check_rate"), 1.5, False, "GB/s", 1e-9)
    for size in WINDOW_SIZES:
        target(f"Setup.exe peak working set ≤ 32 MB, {size} MB product", g(f"peak_{size}"), 32, True, "MB", 1e-6, 1)
    peak_growth = [a - b for a, b in zip(g(f"peak_{big}"), g(f"peak_{SIZES[1]}"))]
    lines.append(f"| the same for {big} MB as for {SIZES[1]} MB | {statistics.median(peak_growth) / 1e6:+.1f} MB "
                 "(300 − 30) | | — |")
    # Every run must stay under the limit, so the longest of them is what counts.
    waits = g(f"longest_wait_{big}")
    _, wait_spread, _ = describe(waits, "s")
    lines.append(f"| Setup.exe's longest wait for an answer < 1 s, {big} MB product | {max(waits):.3f} s (the longest "
                 f"run) | {wait_spread} | {'yes' if max(waits) < 1.0 else 'NO'} |")
    target("removal ÷ NSIS uninstall ≤ 1.00", ratios(g("uninstall_ours"), g("uninstall_nsis")), 1.0)
    target("`plugsetup build` ÷ `makensis` ≤ 0.30, warm", ratios(g("build_ours"), g("build_nsis")), 0.3)
    if "build_ours_terminal" in f.samples:
        terminal = ratios(g("build_ours_terminal"), g("build_ours"))
        _, spread, _ = describe(terminal, "", 1.0, 2)
        lines.append(f"| (reported) `plugsetup build` on a terminal ÷ without one, warm | "
                     f"{statistics.median(terminal):.2f} | {spread} | — |")
    if "cold_build_ours" in f.samples:
        target("`plugsetup build` ÷ `makensis` ≤ 0.30, cold", ratios(g("cold_build_ours"), g("cold_build_nsis")), 0.3)
    else:
        lines.append("| `plugsetup build` ÷ `makensis` ≤ 0.30, cold | not measured (the page cache can be dropped "
                     "only as root) | | — |")
    for size in SIZES:
        ratio = g(f"size_ours_{size}")[0] / g(f"size_nsis_{size}")[0]
        if size == SIZES[-1]:
            lines.append(f"| (reported) setup size ÷ NSIS size, {size} MB product | {ratio:.4f} | | — |")
        else:
            goal = 0.99 if size == SIZES[0] else 1.00
            lines.append(f"| setup size ÷ NSIS size ≤ {goal:.2f}, {size} MB product | {ratio:.4f} | | "
                         f"{'yes' if ratio <= goal else 'NO'} |")
    stub_size, stub_tables = stub
    lines.append(f"| `Setup.exe` ≤ {STUB_TARGET:,} bytes | {stub_size:,} bytes | | "
                 f"{'yes' if stub_size <= STUB_TARGET else 'NO'} |")

    lines += ["", "## What Setup.exe is made of", "",
              "From `bench/stub-size`, which reads the program's header and the linker map of the win32 build.", "",
              *stub_tables]

    lines += [
        "",
        "## What each figure includes",
        "",
        "- Whole-process times run from starting the program under Wine (`scripts/wine-run`) to its exit: "
        "NSIS checks its own CRC and writes its uninstaller, ours checks the archive, reads Setup.ini, "
        "installs, writes Uninst.exe, the registry settings and the Uninstall key.",
        "- The installation run is `TSetupInstaller::Install` with the real Win32 platform and a progress "
        "sink that does not pause; the wizard shows each status text for 0.5 s on purpose, which the window "
        "figure includes.",
        "- Removal: NSIS's uninstaller with `_?=` (it runs in place and leaves itself); ours is the "
        "uninstaller's removal of every logged item (`TUninstaller::RemoveAll`) without its two message "
        "boxes, leaving Uninst.exe to its batch file as the real one does.",
        "- Peak working set: `GetProcessMemoryInfo` of Setup.exe read by the automation driver on the "
        "completion page, and of `bench_engine` at the end of its run; under Wine it includes Wine's own "
        "libraries.",
        "- Longest wait: while Setup.exe installs through its window, the automation driver's `probe` "
        "sends the window WM_NULL with `SendMessageTimeout` every 100 ms, from before the Install click "
        "until the window is gone, and keeps the longest time an answer took. Windows marks a window "
        "\"Not Responding\" after 5 s without one.",
        "- `plugsetup build` compresses on every core; makensis on one. Both at zlib's maximum level. Warm builds "
        "follow the writing of the product (its files in the page cache); before each cold one the page cache is "
        "dropped (`/proc/sys/vm/drop_caches`), so every file comes from the disk as on the first build after a "
        "checkout or a restart. `plugsetup build` runs its check first, which reads Setup.ini and the texts, "
        "and lists the tree; the build then reads each file in the thread "
        "that compresses it, the largest first.",
        "",
        "## Commands",
        "",
        "```",
        *sorted(set(c.replace(windows_path(ROOT), "Z:<repository>").replace(str(ROOT) + "/", "") for c in commands)),
        "```",
        "",
        "Setup.exe itself was started as `scripts/wine-run build/bench/ours-N.exe` and walked by the driver "
        "commands above.",
        "",
    ]
    return "\n".join(lines)


if __name__ == "__main__":
    try:
        main()
    except BenchError as error:
        print(f"bench: {error}", file=sys.stderr)
        sys.exit(1)
