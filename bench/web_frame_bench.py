"""Runs the web frame probe's benchmark in headless Chromium (vsync off, so a
frame takes what it costs) and prints its result line. With --llvmpipe,
Chromium's WebGL draws through ANGLE on Mesa's llvmpipe, the renderer the
native build uses here, instead of its own SwiftShader.
Usage: web_frame_bench.py PROBE_FOLDER [--llvmpipe]"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../web/tools"))
import chromium  # noqa: E402

server, base = chromium.serve(sys.argv[1])
flags = ["--disable-gpu-vsync", "--disable-frame-rate-limit"]
if "--llvmpipe" in sys.argv:
    flags += ["--use-gl=angle", "--use-angle=gl-egl", "--ignore-gpu-blocklist"]
browser = chromium.Browser(width=664, extra_flags=flags)
try:
    browser.open(base + "probe.html?bench")
    browser.wait_for("window.gameEnded", 600)
    print(next(t for _, t in browser.console if t.startswith("frame ms")))
finally:
    browser.close()
    server.shutdown()
