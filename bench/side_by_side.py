#!/usr/bin/env python3
"""Runs penlark-card and a peer tool doing comparable work side by side.

The two commands of a pair run in turn (A B A B ...), after one warm-up run
each; for each the median CPU time (user + system, from the kernel's own
accounting of the finished child), wall time and peak memory are printed, and
the ratio Penlark / peer. A peer that is not installed is named and its pair
skipped.

    bench/side_by_side.py BUILD_DIR [RUNS]
"""
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def run_once(command):
    """CPU seconds, wall seconds and peak kilobytes of one run of command."""
    start = time.perf_counter()
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, _, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    return usage.ru_utime + usage.ru_stime, wall, usage.ru_maxrss


def pair(name, penlark, peer, runs):
    if shutil.which(peer[0]) is None:
        print(f"{name:22} peer {peer[0]} is not installed: skipped")
        return
    run_once(penlark)
    run_once(peer)
    a, b = [], []
    for _ in range(runs):
        a.append(run_once(penlark))
        b.append(run_once(peer))
    med = lambda rows, i: statistics.median(r[i] for r in rows)
    print(f"{name:22} cpu {med(a, 0) * 1000:6.1f} ms vs {med(b, 0) * 1000:6.1f} ms, "
          f"ratio {med(a, 0) / med(b, 0):.3f} (wall {med(a, 1) / med(b, 1):.3f}); "
          f"memory {med(a, 2) / 1024:5.1f} vs {med(b, 2) / 1024:5.1f} MiB, ratio {med(a, 2) / med(b, 2):.2f}")


def main():
    build = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    tool = os.path.realpath(os.path.join(build, "penlark", "penlark-card"))
    with tempfile.TemporaryDirectory() as work:
        os.chdir(work)
        subprocess.run([tool, "new", "card.pnk"], check=True)
        # The card as a picture of about 1011 x 631 pixels, for the picture thumbnailer.
        subprocess.run([tool, "render", "card.pnk", "-o", "card.png", "--dpi", "267.5"], check=True)
        print(f"median of {runs} runs each, alternated with the peer")
        pair("thumbnail 256", [tool, "thumbnail", "card.pnk", "t.png", "--size", "256"],
             ["gdk-pixbuf-thumbnailer", "-s", "256", "card.png", "t2.png"], runs)
        pair("render 600 dpi BMP", [tool, "render", "card.pnk", "-o", "x.bmp", "--dpi", "600"],
             ["convert", "-size", "2268x1417", "gradient:white-navy", "y.bmp"], runs)
        pair("render 300 dpi PNG", [tool, "render", "card.pnk", "-o", "x.png", "--dpi", "300"],
             ["convert", "-size", "1134x709", "gradient:white-navy", "y.png"], runs)


if __name__ == "__main__":
    main()
