#!/usr/bin/env python3
"""Counts, frame by frame, the context switches and pipeline waits of a GL trace.

Reads the text of `apitrace dump --color=never` on standard input (or a
file). Between two marker calls (glDebugMessageInsert with the marker's
text, as bench/bench_heldstroke.cpp puts them around its held stroke), every
complete frame (the calls after one glXSwapBuffers up to and including the
next) is counted for:

- makeCurrent: glXMakeCurrent and glXMakeContextCurrent calls;
- context changes: those of them whose ctx differs from the context that was
  current (a release to NULL counts as a change too);
- glFinish, glFlush and glClientWaitSync calls.

Printed: each count's median (min-max) over the frames, its total over them
and, with --moves, that total per move.

    apitrace dump --color=never held.trace | scripts/glframes.py --between held-begin held-end [--moves N]
    scripts/glframes.py --self-test
"""

import argparse
import re
import sys

CALL = re.compile(r"^\s*(\d+)\s+(?:@\d+\s+)?(\w+)\((.*)$")
CONTEXT_ARGUMENT = re.compile(r"\bctx = (\w+)")
MARKER_CALLS = ("glDebugMessageInsert", "glDebugMessageInsertARB", "glDebugMessageInsertKHR")
MAKE_CURRENT_CALLS = ("glXMakeCurrent", "glXMakeContextCurrent")
SWAP_CALLS = ("glXSwapBuffers",)
COUNTED = ("makeCurrent", "context changes", "glFinish", "glFlush", "glClientWaitSync")


def calls(lines):
    """(number, function name, argument text) of each call line of a dump."""
    for line in lines:
        match = CALL.match(line)
        if match:
            yield int(match.group(1)), match.group(2), match.group(3)


def is_marker(name, arguments, text):
    return name in MARKER_CALLS and f'"{text}"' in arguments


def count_frames(lines, begin, end):
    """The counts of each complete frame between the markers, and the call
    numbers where the markers stood; raises ValueError when a marker is missing."""
    frames = []
    current = None  # no frame is complete before the first swap
    context = None
    begin_at = end_at = None
    for number, name, arguments in calls(lines):
        if begin_at is None:
            if is_marker(name, arguments, begin):
                begin_at = number
            # The context current when the marked part begins is the one a
            # first switch inside it is measured from.
            if name in MAKE_CURRENT_CALLS:
                found = CONTEXT_ARGUMENT.search(arguments)
                context = found.group(1) if found else None
            continue
        if is_marker(name, arguments, end):
            end_at = number
            break
        if name in MAKE_CURRENT_CALLS:
            found = CONTEXT_ARGUMENT.search(arguments)
            target = found.group(1) if found else None
            if current is not None:
                current["makeCurrent"] += 1
                if target != context:
                    current["context changes"] += 1
            context = target
        elif name in COUNTED and current is not None:
            current[name] += 1
        elif name in SWAP_CALLS:
            if current is not None:
                frames.append(current)
            current = dict.fromkeys(COUNTED, 0)
    if begin_at is None:
        raise ValueError(f'no marker "{begin}" in the trace')
    if end_at is None:
        raise ValueError(f'no marker "{end}" after "{begin}" in the trace')
    return frames, begin_at, end_at


def median_and_range(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    median = ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2
    return median, ordered[0], ordered[-1]


def number(value):
    return f"{value:g}" if isinstance(value, float) else str(value)


def report(frames, begin, end, begin_at, end_at, moves=None):
    out = [f'{len(frames)} complete frames between "{begin}" (call {begin_at}) and "{end}" (call {end_at})']
    if not frames:
        return "\n".join(out)
    header = f"  {'per frame':<18} {'median (min-max)':>18} {'total':>7}"
    if moves:
        header += f" {'per move':>9}"
    out.append(header)
    for name in COUNTED:
        values = [frame[name] for frame in frames]
        median, low, high = median_and_range(values)
        row = f"  {name:<18} {number(median) + f' ({low}-{high})':>18} {sum(values):>7}"
        if moves:
            row += f" {sum(values) / moves:>9.2f}"
        out.append(row)
    if moves:
        out.append(f"  frames per move {len(frames) / moves:.2f} ({moves} moves)")
    return "\n".join(out)


SELF_TEST_DUMP = """\
1 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xa0) = True
2 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)
3 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xb0) = True
4 glDebugMessageInsert(source = GL_DEBUG_SOURCE_APPLICATION, type = GL_DEBUG_TYPE_MARKER, id = 0, \
severity = GL_DEBUG_SEVERITY_NOTIFICATION, length = -1, buf = "held-begin")
5 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xa0) = True
6 glFinish()
7 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)

8 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xb0) = True
9 glXMakeContextCurrent(dpy = 0x5501, draw = 4194306, read = 4194306, ctx = 0xb0) = True
10 glFinish()
11 glFlush()
12 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xa0) = True
13 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)

14 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xb0) = True
15 glClientWaitSync(sync = 0x7, flags = GL_SYNC_FLUSH_COMMANDS_BIT, timeout = 1000) = GL_ALREADY_SIGNALED
16 glXMakeCurrent(dpy = 0x5501, drawable = 0, ctx = NULL) = True
17 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xa0) = True
18 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)

19 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xb0) = True
20 glXMakeCurrent(dpy = 0x5501, drawable = 4194306, ctx = 0xa0) = True
21 glFinish()
22 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)
23 glFinish()
24 glDebugMessageInsert(source = GL_DEBUG_SOURCE_APPLICATION, type = GL_DEBUG_TYPE_MARKER, id = 0, \
severity = GL_DEBUG_SEVERITY_NOTIFICATION, length = -1, buf = "held-end")
25 glXSwapBuffers(dpy = 0x5501, drawable = 4194306)
26 glFinish()
"""


def self_test():
    """Checks the counting on a small handmade dump; 0 when it holds."""
    failures = []

    def expect(what, actual, expected):
        if actual != expected:
            failures.append(f"{what}: {actual!r}, expected {expected!r}")

    frames, begin_at, end_at = count_frames(SELF_TEST_DUMP.splitlines(), "held-begin", "held-end")
    expect("marker calls", (begin_at, end_at), (4, 24))
    # The calls before the first swap inside the markers, and after the last,
    # belong to no complete frame.
    expect("frames", len(frames), 3)
    expect("makeCurrent", [f["makeCurrent"] for f in frames], [3, 3, 2])
    # 8 switches from 0xa0, 9 stays on 0xb0, 12 goes back; 14 switches, 16
    # releases, 17 takes 0xa0 again; 19 and 20 both switch.
    expect("context changes", [f["context changes"] for f in frames], [2, 3, 2])
    expect("glFinish", [f["glFinish"] for f in frames], [1, 0, 1])
    expect("glFlush", [f["glFlush"] for f in frames], [1, 0, 0])
    expect("glClientWaitSync", [f["glClientWaitSync"] for f in frames], [0, 1, 0])
    printed = report(frames, "held-begin", "held-end", begin_at, end_at, moves=6)
    expect("printed makeCurrent row", any(line.split()[:4] == ["makeCurrent", "3", "(2-3)", "8"]
                                          for line in printed.splitlines()), True)
    expect("even median", median_and_range([1, 4, 2, 3]), (2.5, 1, 4))
    for missing, text in (("no begin", SELF_TEST_DUMP.replace("held-begin", "other")),
                          ("no end", SELF_TEST_DUMP.replace("held-end", "other"))):
        try:
            count_frames(text.splitlines(), "held-begin", "held-end")
            failures.append(f"{missing}: no error")
        except ValueError:
            pass
    for failure in failures:
        print(f"glframes self-test: {failure}", file=sys.stderr)
    if not failures:
        print("glframes self-test: passed")
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dump", nargs="?", help="the dump's text (default: standard input)")
    parser.add_argument("--between", nargs=2, metavar=("BEGIN", "END"), default=("held-begin", "held-end"),
                        help="the texts of the marker calls around the part to count")
    parser.add_argument("--moves", type=int, help="the moves of the marked part, for the per-move column")
    parser.add_argument("--self-test", action="store_true", help="check the counting on a small fixture")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    source = open(args.dump, encoding="utf-8", errors="replace") if args.dump else sys.stdin
    try:
        frames, begin_at, end_at = count_frames(source, *args.between)
    except ValueError as error:
        print(f"glframes: {error}", file=sys.stderr)
        return 2
    print(report(frames, *args.between, begin_at, end_at, args.moves))
    return 0


if __name__ == "__main__":
    sys.exit(main())
