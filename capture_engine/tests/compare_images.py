#!/usr/bin/env python3
"""Compares a picture with a reference through ffmpeg's decoders (not ours).

compare_images.py REFERENCE PICTURE --max-error E
Both must have the same width and height; the mean absolute difference of
their RGB bytes must not exceed E. Prints what it measured; exits 1 on failure.
"""
import argparse
import json
import subprocess
import sys


def size_of(path):
    out = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                          "stream=width,height", "-of", "json", path],
                         check=True, capture_output=True, text=True).stdout
    stream = json.loads(out)["streams"][0]
    return stream["width"], stream["height"]


def rgb_bytes(path):
    return subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"],
                          check=True, capture_output=True).stdout


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("reference")
    ap.add_argument("picture")
    ap.add_argument("--max-error", type=float, required=True)
    a = ap.parse_args()
    ref_size, pic_size = size_of(a.reference), size_of(a.picture)
    print(f"{a.picture}: {pic_size[0]}x{pic_size[1]}, reference {ref_size[0]}x{ref_size[1]}")
    if ref_size != pic_size:
        print("FAIL: sizes differ")
        return 1
    ref, pic = rgb_bytes(a.reference), rgb_bytes(a.picture)
    if len(ref) != len(pic) or not ref:
        print(f"FAIL: decoded {len(pic)} bytes against {len(ref)}")
        return 1
    error = sum(abs(x - y) for x, y in zip(ref, pic)) / len(ref)
    print(f"  mean absolute difference {error:.2f} (at most {a.max_error:g})")
    if error > a.max_error:
        print("FAIL: too different")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
