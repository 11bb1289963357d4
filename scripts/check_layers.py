#!/usr/bin/env python3
"""Fails when a source folder includes a folder that is not below it.

The engine is built in layers so that a lower part never depends on a higher
one; what a lower layer needs from above it gets through an interface it owns
or a callback. This table is the one place where the order is written down:
each row is one layer, bottom first, and a folder may include its own files and
those of the rows below its own, never a sibling of its row or anything above.
"""

import argparse
import pathlib
import re
import sys

# Folders below src/base/, then the programs in src/ (the desktop program in
# src/app is called "program" here to keep it apart from base/app).
LAYERS = [
    ["os"],
    ["archive"],
    ["util"],
    ["ini"],
    ["lang"],
    ["scripts", "scheduler", "settings"],
    ["profiles"],
    ["sync", "zip"],
    ["folderzip"],
    ["app"],
    ["cli", "gui"],
    # The desktop program creates the windows.
    ["program"],
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCE_SUFFIXES = {".h", ".hpp", ".cpp", ".cc"}


def layer_of():
    levels = {}
    for level, folders in enumerate(LAYERS):
        for folder in folders:
            levels[folder] = level
    return levels


def owning_folder(src_root, path):
    """The layer folder a source file belongs to, or None for files outside them."""
    rel = path.relative_to(src_root).parts
    if rel[0] == "base" and len(rel) > 2:
        return rel[1]
    if rel[0] == "app":
        return "program"
    if rel[0] in ("cli", "gui") and len(rel) > 1:
        return rel[0]
    return None


def check(src_root):
    levels = layer_of()
    problems = []
    for path in sorted(src_root.rglob("*")):
        if path.suffix not in SOURCE_SUFFIXES or not path.is_file():
            continue
        own = owning_folder(src_root, path)
        if own is None:
            continue
        if own not in levels:
            problems.append(f"{path}: folder '{own}' has no place in the layer order")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), start=1):
            match = INCLUDE.match(line)
            if not match or "/" not in match.group(1):
                continue
            target = match.group(1).split("/", 1)[0]
            if target == own and own != "program":
                continue
            if own == "program" and target == "app":
                target_level = levels["app"]
            elif target in levels:
                target_level = levels[target]
            else:
                continue  # a library header such as "gtest/gtest.h"
            if target_level >= levels[own]:
                problems.append(
                    f"{path}:{number}: '{own}' (layer {levels[own]}) includes "
                    f"'{match.group(1)}' (layer {target_level})")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--src", default=str(pathlib.Path(__file__).resolve().parent.parent / "src"),
                        help="the src/ folder to check (default: this checkout's)")
    args = parser.parse_args()
    src_root = pathlib.Path(args.src).resolve()
    if not (src_root / "base").is_dir():
        print(f"check_layers: {src_root} has no base/ folder", file=sys.stderr)
        return 2
    problems = check(src_root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"check_layers: {len(problems)} include(s) against the layer order", file=sys.stderr)
        return 1
    print("check_layers: every include follows the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
