#!/usr/bin/env python3
"""Draws the benchmark's figures from bench/RESULTS.md as one SVG picture: the installation,
removal and build times of ours, the limit and NSIS, and the setup sizes per product size, each
bar with its minimum-maximum and each group with its ratios against the targets.

    bench/figures.py [RESULTS.md] [OUT.svg]     default: bench/RESULTS.md, bench/results.svg

It reads only the tables of RESULTS.md, so the picture can be drawn again from any earlier run.
"""
import re
import sys
from pathlib import Path
from xml.sax.saxutils import escape

ROOT = Path(__file__).resolve().parent.parent
COLOURS = {"ours": "#2b6cb0", "nsis": "#c05621", "limit": "#718096"}
WIDTH = 920
LABEL = 360          # the labels' column
BAR_AREA = 430       # the longest bar
ROW = 26
NUMBER = re.compile(r"[-+]?\d[\d,]*(?:\.\d+)?")


def table(text, heading):
    """The rows of the table below '## heading', as lists of cells."""
    part = text.split(f"## {heading}\n", 1)
    if len(part) < 2:
        return []
    rows = []
    for line in part[1].splitlines():
        if line.startswith("## "):
            break
        if line.startswith("|") and not line.startswith("|---"):
            rows.append([cell.strip() for cell in line.strip().strip("|").split("|")])
    return rows[1:]  # without the header


def number(text):
    found = NUMBER.search(text or "")
    return float(found.group().replace(",", "")) if found else None


def prefix_of(title, name):
    """Whether name is title followed by nothing or by more words ("`plugsetup build`, warm" is
    not a prefix of "`plugsetup build`, warm, on a terminal")."""
    return name == title or name.startswith(title + " ")


def plain(title):
    return title.replace("`", "")


class Results:
    def __init__(self, text):
        self.figures = {row[0]: row for row in table(text, "Figures") if len(row) >= 3}
        self.targets = {row[0]: row for row in table(text, "Targets") if len(row) >= 2}
        found = re.search(r"Written by `scripts/bench` on (\S+)", text)
        self.date = found.group(1) if found else "an earlier run"

    def figure(self, title):
        """(median, low, high) of the figure whose title starts with title, or None."""
        for name, row in self.figures.items():
            if prefix_of(title, name):
                low_high = [number(part) for part in re.split(r"[–-]", row[2])] if row[2] else []
                median = number(row[1])
                low = low_high[0] if low_high and low_high[0] is not None else median
                high = low_high[-1] if low_high and low_high[-1] is not None else median
                return median, low, high
        return None

    def ratio(self, title):
        for name, row in self.targets.items():
            if prefix_of(title, name):
                met = row[3] if len(row) > 3 else ""
                return f"{plain(name)}: {row[1]}" + (f" ({'met' if met == 'yes' else 'not met'})" if met in ("yes", "NO") else "")
        return None


def panel(svg, top, title, bars, unit, notes, scale=1.0, digits=2):
    """One group of horizontal bars; returns the height it took."""
    bars = [(label, kind, value) for label, kind, value in bars if value]
    if not bars:
        return 0
    svg.append(f'<text x="20" y="{top + 20}" class="title">{escape(title)}</text>')
    y = top + 34
    longest = max(value[2] for _, _, value in bars) * scale
    for label, kind, (median, low, high) in bars:
        width = BAR_AREA * median * scale / longest
        svg.append(f'<text x="{LABEL - 10}" y="{y + 15}" class="label">{escape(label)}</text>')
        svg.append(f'<rect x="{LABEL}" y="{y + 3}" width="{width:.1f}" height="{ROW - 8}" fill="{COLOURS[kind]}"/>')
        if high > low:
            x1, x2 = (LABEL + BAR_AREA * v * scale / longest for v in (low, high))
            mid = y + 3 + (ROW - 8) / 2
            svg.append(f'<line x1="{x1:.1f}" y1="{mid}" x2="{x2:.1f}" y2="{mid}" class="range"/>')
            for x in (x1, x2):
                svg.append(f'<line x1="{x:.1f}" y1="{mid - 5}" x2="{x:.1f}" y2="{mid + 5}" class="range"/>')
        end = LABEL + BAR_AREA * high * scale / longest
        svg.append(f'<text x="{end + 8:.1f}" y="{y + 15}" class="value">{median * scale:.{digits}f} {unit}</text>')
        y += ROW
    for note in notes:
        if note:
            svg.append(f'<text x="{LABEL}" y="{y + 14}" class="note">{escape(note)}</text>')
            y += 18
    return y - top + 22


def draw(results):
    r = results
    svg = []
    top = 56
    top += panel(svg, top, "Installation of the 300 MB product, whole process under Wine", [
        ("NSIS silent install", "nsis", r.figure("NSIS silent install")),
        ("the limit (bench_limit.exe)", "limit", r.figure("The limit")),
        ("ours (bench_engine install)", "ours", r.figure("Our installation")),
        ("ours through the window (3 × 0.5 s of texts)", "ours", r.figure("Install click")),
    ], "s", [r.ratio("installation ÷ NSIS install"), r.ratio("installation ÷ the limit")])
    top += panel(svg, top, "Removal of the 300 MB product", [
        ("NSIS silent uninstall", "nsis", r.figure("NSIS silent uninstall")),
        ("ours (bench_engine uninstall)", "ours", r.figure("Our removal")),
    ], "s", [r.ratio("removal ÷ NSIS uninstall")])
    top += panel(svg, top, "Building the setup of the 300 MB product", [
        ("plugsetup build, warm", "ours", r.figure("`plugsetup build`, warm")),
        ("plugsetup build, warm, on a terminal", "ours", r.figure("`plugsetup build`, warm, on a terminal")),
        ("makensis, warm", "nsis", r.figure("`makensis`, warm")),
        ("plugsetup build, cold", "ours", r.figure("`plugsetup build`, cold")),
        ("makensis, cold", "nsis", r.figure("`makensis`, cold")),
    ], "s", [r.ratio("`plugsetup build` ÷ `makensis` ≤ 0.50, warm"),
             r.ratio("`plugsetup build` ÷ `makensis` ≤ 0.50, cold")])
    sizes = []
    notes = []
    for product in ("300", "30", "5"):
        sizes.append((f"ours, {product} MB product", "ours", r.figure(f"Setup size, ours, {product} MB")))
        sizes.append((f"NSIS, {product} MB product", "nsis", r.figure(f"Setup size, NSIS, {product} MB")))
        notes.append(r.ratio(f"setup size ÷ NSIS size ≤ 1.01, {product} MB") or
                     r.ratio(f"(reported) setup size ÷ NSIS size, {product} MB"))
    top += panel(svg, top, "Setup size per product size", sizes, "MB", notes, scale=1e-6, digits=1)

    legend = "".join(
        f'<rect x="{LABEL + i * 120}" y="{top + 2}" width="14" height="14" fill="{COLOURS[kind]}"/>'
        f'<text x="{LABEL + i * 120 + 20}" y="{top + 14}" class="note">{name}</text>'
        for i, (kind, name) in enumerate((("ours", "plugsetup"), ("nsis", "NSIS"), ("limit", "the limit"))))
    height = top + 40
    return "\n".join([
        f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{height}" viewBox="0 0 {WIDTH} {height}">',
        "<style>text{font-family:sans-serif;fill:#1a202c} .title{font-size:16px;font-weight:bold}"
        " .label{font-size:13px;text-anchor:end} .value{font-size:12px} .note{font-size:12px;fill:#4a5568}"
        " .range{stroke:#1a202c;stroke-width:1.2}</style>",
        f'<rect width="{WIDTH}" height="{height}" fill="white"/>',
        f'<text x="20" y="30" style="font-size:20px;font-weight:bold">Setup benchmark ({escape(r.date)}):'
        " medians, lines from minimum to maximum</text>",
        *svg, legend, "</svg>", ""])


def main():
    source = Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / "bench/RESULTS.md"
    target = Path(sys.argv[2]) if len(sys.argv) > 2 else source.with_name("results.svg")
    results = Results(source.read_text(encoding="utf-8"))
    if not results.figures:
        sys.exit(f"figures: {source} has no Figures table")
    target.write_text(draw(results), encoding="utf-8")
    print(target)


if __name__ == "__main__":
    main()
