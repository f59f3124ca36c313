#!/usr/bin/env python3
"""Writes bench/RESULTS.md from the JSON that the benchmark programs left in bench/out/ and the
targets of bench/targets.txt. Called by scripts/bench; standard library only."""
import datetime
import glob
import json
import os
import platform
import re
import subprocess
import sys

BENCH = os.path.dirname(os.path.abspath(__file__))
TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}
# The fields of a figure that are not counters the program added.
STANDARD = {"name", "family_index", "per_family_instance_index", "run_name", "run_type", "repetitions",
            "repetition_index", "threads", "iterations", "real_time", "cpu_time", "time_unit",
            "aggregate_name", "aggregate_unit", "bytes_per_second", "items_per_second", "label",
            "error_occurred", "error_message"}


def short_name(run_name):
    return re.sub(r"/(iterations:\d+|real_time|manual_time)", "", run_name)


def read_figures(out_dir):
    """Median figures by benchmark name, and the programs' context (load, date)."""
    figures, contexts = {}, []
    for path in sorted(glob.glob(os.path.join(out_dir, "*.json"))):
        with open(path) as f:
            data = json.load(f)
        contexts.append(data["context"])
        program = os.path.splitext(os.path.basename(path))[0]
        for b in data["benchmarks"]:
            fig = figures.setdefault(short_name(b["run_name"]), {"program": program})
            if b.get("run_type") != "aggregate":
                fig["iterations"] = b["iterations"]  # of each repetition
                continue
            scale = TO_MS[b["time_unit"]]
            if b["aggregate_name"] == "median":
                fig.update(time=b["real_time"] * scale, cpu=b["cpu_time"] * scale,
                           rate=b.get("bytes_per_second"), repetitions=b.get("repetitions"),
                           counters={k: v for k, v in b.items() if k not in STANDARD})
            elif b["aggregate_name"] == "cv":
                fig["cv"] = b["real_time"]
        for b in data["benchmarks"]:  # a benchmark that failed has no aggregates
            if b.get("error_occurred"):
                figures.setdefault(short_name(b["run_name"]), {"program": program})["error"] = b["error_message"]
    return figures, contexts


def read_targets(path):
    targets = []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            kind, rest = line.split(None, 1)
            count = {"rate": 2, "time": 2, "ratio": 3, "most": 3, "later": 1}[kind]
            fields = rest.split(None, count)
            targets.append({"kind": kind, "fields": fields[:count], "text": fields[count] if len(fields) > count else ""})
    return targets


def fmt_time(ms):
    return f"{ms:.3g} ms" if ms < 1000 else f"{ms / 1000:.3g} s"


def fmt_rate(rate):
    return f"{rate / 1e9:.2f} GB/s" if rate else ""


def machine_line():
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    model = line.split(":", 1)[1].strip()
                    break
    except OSError:
        pass
    return f"{model}, {os.cpu_count()} cores, Linux {platform.release()}"


def command_line(args):
    try:
        return subprocess.run(args, capture_output=True, text=True, check=True).stdout.splitlines()[0].strip()
    except (OSError, subprocess.CalledProcessError, IndexError):
        return "unknown"


def judge(target, figures):
    """(figure text, bound text, verdict) for one target."""
    kind, fields = target["kind"], target["fields"]
    fig = figures.get(fields[0])
    if fig is None or "time" not in fig:
        why = fig.get("error") if fig else None
        return ("not run" if not why else f"failed: {why}"), "", "not measured"
    if kind == "rate":
        bound = float(fields[1])
        rate = fig.get("rate") or 0
        return fmt_rate(rate), f">= {fmt_rate(bound)}", "met" if rate >= bound else "**missed**"
    if kind == "most":
        value = fig.get("counters", {}).get(fields[1])
        if value is None:
            return f"no counter {fields[1]}", "", "not measured"
        bound = float(fields[2])
        return f"{value:.3g} ({fields[1]})", f"<= {bound:g}", "met" if value <= bound else "**missed**"
    if kind == "time":
        bound = float(fields[1])
        return fmt_time(fig["time"]), f"< {fmt_time(bound)}", "met" if fig["time"] < bound else "**missed**"
    other = figures.get(fields[1])
    if other is None or "time" not in other:
        return "other side not run", "", "not measured"
    factor = other["time"] / fig["time"]
    figure = f"{factor:.2f}x ({fmt_time(fig['time'])} against {fmt_time(other['time'])})"
    if fields[2] == "-":
        return figure, "", "(no bound)"
    bound = float(fields[2])
    return figure, f">= {bound:g}x", "met" if factor >= bound else "**missed**"


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(BENCH, "out")
    figures, contexts = read_figures(out_dir)
    targets = read_targets(os.path.join(BENCH, "targets.txt"))
    repetitions = max((f.get("repetitions") or 0 for f in figures.values()), default=0)
    loads = [c["load_avg"][0] for c in contexts if c.get("load_avg")]
    commit = command_line(["git", "-C", BENCH, "describe", "--always", "--dirty"])
    now = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")

    lines = ["# Benchmark results", "",
             "Written by `scripts/bench`; do not edit by hand (notes go in bench/NOTES.md).", "",
             f"- Date: {now}, commit {commit}",
             f"- Machine: {machine_line()}",
             f"- Comparison program: {command_line(['base64', '--version'])}",
             f"- Build: Release (CMake preset `release`); {repetitions} repetitions of each benchmark, randomly "
             "interleaved; every figure is the median of the repetitions, wall-clock time (for the "
             "programs that time their iterations themselves, the time they report: see bench/NOTES.md)",
             f"- Load average when the programs started: {', '.join(f'{l:.1f}' for l in loads) or 'unknown'} "
             "(the machine is shared: compare figures taken in the same run)", ""]

    lines += ["## Targets", "", "| target | figure | bound | result |", "|---|---|---|---|"]
    for t in targets:
        if t["kind"] in ("rate", "time", "most"):
            figure, bound, verdict = judge(t, figures)
            lines.append(f"| {t['text']} (`{t['fields'][0]}`) | {figure} | {bound} | {verdict} |")
    lines += ["", "## Ratios", "", "| ratio | figure | bound | result |", "|---|---|---|---|"]
    for t in targets:
        if t["kind"] == "ratio":
            figure, bound, verdict = judge(t, figures)
            lines.append(f"| {t['text']} (`{t['fields'][0]}` against `{t['fields'][1]}`) | {figure} | {bound} | {verdict} |")

    lines += ["", "## Every figure", "",
              "| program | benchmark | time | CPU time | rate | repetitions x iterations | spread (cv) | counters |",
              "|---|---|---|---|---|---|---|---|"]
    for name, fig in sorted(figures.items(), key=lambda item: (item[1]["program"], item[0])):
        if "time" not in fig:
            lines.append(f"| {fig['program']} | `{name}` | failed: {fig.get('error', '')} | | | | | |")
            continue
        cv = f"{fig['cv'] * 100:.1f} %" if "cv" in fig else ""
        counters = ", ".join(f"{k} {v:.3g}" for k, v in sorted(fig.get("counters", {}).items()))
        lines.append(f"| {fig['program']} | `{name}` | {fmt_time(fig['time'])} | {fmt_time(fig['cpu'])} | "
                     f"{fmt_rate(fig.get('rate'))} | {fig.get('repetitions')} x {fig.get('iterations')} | {cv} | "
                     f"{counters} |")

    later = [t for t in targets if t["kind"] == "later"]
    if later:
        lines += ["", "## Not measured yet", "", "Their code does not exist yet; they join bench/ when it does.", ""]
        lines += [f"- {t['text'] or t['fields'][0]}" for t in later]

    notes = os.path.join(BENCH, "NOTES.md")
    if os.path.exists(notes):
        with open(notes) as f:
            lines += ["", f.read().rstrip()]
    with open(os.path.join(BENCH, "RESULTS.md"), "w") as f:
        f.write("\n".join(lines) + "\n")
    missed = sum(1 for t in targets if t["kind"] != "later" and judge(t, figures)[2] == "**missed**")
    print(f"bench: RESULTS.md written; {missed} target(s) missed")


if __name__ == "__main__":
    main()
