"""Runs the web frame probe's benchmark in headless Chromium (vsync off, so a
frame takes what it costs) and prints its result line.
Usage: web_frame_bench.py PROBE_FOLDER"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../web/tools"))
import chromium  # noqa: E402

server, base = chromium.serve(sys.argv[1])
browser = chromium.Browser(width=664, extra_flags=["--disable-gpu-vsync", "--disable-frame-rate-limit"])
try:
    browser.open(base + "probe.html?bench")
    browser.wait_for("window.gameEnded", 600)
    print(next(t for _, t in browser.console if t.startswith("frame ms")))
finally:
    browser.close()
    server.shutdown()
