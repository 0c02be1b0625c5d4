#!/usr/bin/env python3
"""Folder-level include graph of the tree: which component folder includes
which, and every pair of folders that include each other.

A component folder is a top-level folder (capture_engine, capture_app, ...) or,
under platform/, media/, filters/, testing/ and tools/, the folder one level
down. A folder's tests/, fuzz/ and bench/ count as the folder itself. Exits 1
when some pair includes each other, so it can run as a check.

Usage: include_graph.py [--edges] [ROOT]
"""
import os
import re
import sys

GROUPED = {"platform", "media", "filters", "testing", "tools"}
SOURCES = (".h", ".hpp", ".cpp", ".cc", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
SKIP = {".git", "out", "third_party"}


def component(rel):
    parts = rel.split("/")
    if len(parts) < 2:
        return None
    if parts[0] in GROUPED and len(parts) >= 3:
        return parts[0] + "/" + parts[1]
    return parts[0]


def resolve(root, including_dir, name):
    """The include as the compiler finds it: beside the file, then the
    project's include roots (the checkout and platform/)."""
    for base in (including_dir, root, os.path.join(root, "platform")):
        path = os.path.normpath(os.path.join(base, name))
        if os.path.isfile(path):
            return os.path.relpath(path, root)
    return None


def edges(root):
    found = {}
    for top, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d not in SKIP]
        for f in files:
            if not f.endswith(SOURCES):
                continue
            path = os.path.join(top, f)
            rel = os.path.relpath(path, root)
            src = component(rel)
            if src is None:
                continue
            with open(path, encoding="utf-8", errors="replace") as fh:
                text = fh.read()
            for name in INCLUDE.findall(text):
                target = resolve(root, top, name)
                if target is None:
                    continue
                dst = component(target)
                if dst and dst != src:
                    found.setdefault((src, dst), []).append(rel + " -> " + target)
    return found


def main(argv):
    show = "--edges" in argv
    args = [a for a in argv if not a.startswith("--")]
    root = os.path.abspath(args[0] if args else os.path.join(os.path.dirname(__file__), ".."))
    found = edges(root)
    if show:
        for src, dst in sorted(found):
            print(f"{src} -> {dst} ({len(found[(src, dst)])})")
    mutual = sorted((a, b) for (a, b) in found if a < b and (b, a) in found)
    for a, b in mutual:
        print(f"MUTUAL {a} <-> {b}")
        for line in found[(a, b)][:3] + found[(b, a)][:3]:
            print("   ", line)
    print(f"{len(found)} folder edges, {len(mutual)} mutual pairs")
    return 1 if mutual else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
