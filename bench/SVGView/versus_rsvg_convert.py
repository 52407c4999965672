#!/usr/bin/env python3
"""Whole-process timing of svgpb-render against rsvg-convert on a folder of SVG files.

Each file is converted with svg2svgpb first (not timed). Then, for every file, both programs
write a PNG of the same pixel size (640 pixels wide, the height from the picture's proportions
as rsvg-convert computes it), RUNS times each; the script prints the totals and the ratio.

  versus_rsvg_convert.py BUILD_DIR SVG_FOLDER [RUNS]
"""
import os
import struct
import subprocess
import sys
import tempfile
import time


def png_size(path):
    with open(path, "rb") as f:
        header = f.read(24)
    return struct.unpack(">II", header[16:24])


def main():
    build, folder = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    converter = os.path.join(build, "tools/svg2svgpb/svg2svgpb")
    renderer = os.path.join(build, "tools/svgpb-render/svgpb-render")
    if not os.path.exists(renderer):
        renderer = os.path.join(build, "tools/svgpb-render")
    theirs = ours = 0.0
    count = 0
    with tempfile.TemporaryDirectory() as scratch:
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".svg"):
                continue
            source = os.path.join(folder, name)
            converted = os.path.join(scratch, name + "pb")
            if subprocess.run([converter, source, converted], stderr=subprocess.DEVNULL).returncode:
                continue
            reference = os.path.join(scratch, "rsvg.png")
            subprocess.run(["rsvg-convert", "-w", "640", source, "-o", reference], check=True)
            width, height = png_size(reference)
            size = f"{width}x{height}"
            out = os.path.join(scratch, "ours.png")
            start = time.perf_counter()
            for _ in range(runs):
                subprocess.run(["rsvg-convert", "-w", "640", source, "-o", reference], check=True)
            middle = time.perf_counter()
            for _ in range(runs):
                subprocess.run([renderer, "--scale", "1", converted, size, out], check=True)
            end = time.perf_counter()
            theirs += (middle - start) / runs
            ours += (end - middle) / runs
            count += 1
    print(f"{count} files: rsvg-convert {theirs * 1000:.1f} ms, svgpb-render {ours * 1000:.1f} ms,"
          f" ratio {ours / theirs:.3f}")


if __name__ == "__main__":
    main()
