#!/usr/bin/env python3
"""The layer check passes a tree whose includes point down and fails one that
gains an include upwards or sideways, naming the offending line."""

import pathlib
import subprocess
import sys
import tempfile

CHECK = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "check_layers.py"


def make_tree(root, files):
    for rel, text in files.items():
        path = root / rel
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)


def run(files):
    with tempfile.TemporaryDirectory() as tmp:
        src = pathlib.Path(tmp) / "src"
        make_tree(src, files)
        done = subprocess.run([sys.executable, str(CHECK), "--src", str(src)], capture_output=True, text=True)
        return done.returncode, done.stdout


GOOD = {
    "base/util/a.h": '#include "os/platform.h"\n',
    "base/sync/s.cpp": '#include "sync/s.h"\n#include "profiles/p.h"\n#include <gtest/gtest.h>\n',
    "base/app/c.cpp": '#include "sync/s.h"\n#include "folderzip/f.h"\n',
    "app/main.cpp": '#include "app/c.h"\n',
    "cli/main.cpp": '#include "app/c.h"\n#include "cli/x.h"\n',
}

CASES = [
    ("upwards", {"base/profiles/p.cpp": '#include "sync/sync_task.h"\n'}, "p.cpp:1"),
    ("sideways", {"base/scheduler/c.cpp": '\n#include "scripts/script_list.h"\n'}, "c.cpp:2"),
    ("into the composition root", {"base/zip/z.cpp": '#include "app/app_context.h"\n'}, "z.cpp:1"),
    ("into a program", {"base/app/c2.cpp": '#include "cli/cli_runs.h"\n'}, "c2.cpp:1"),
    ("unknown folder", {"base/stray/x.cpp": "int x;\n"}, "'stray'"),
]


def main():
    failures = []
    code, out = run(GOOD)
    if code != 0:
        failures.append(f"good tree refused ({code}): {out}")
    for name, extra, expected in CASES:
        code, out = run({**GOOD, **extra})
        if code != 1 or expected not in out:
            failures.append(f"{name}: exit {code}, output {out!r}, expected a line with {expected!r}")
    for failure in failures:
        print("FAIL", failure)
    print(f"{len(CASES) + 1 - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
