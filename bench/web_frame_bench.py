"""The web build's figures in headless Chromium.
  frames PROBE_FOLDER [--llvmpipe] [--keep-pages] [--perdraw]: runs the frame
    probe's benchmark (vsync off, so a frame takes what it costs) and prints
    its result line. With --llvmpipe, Chromium's WebGL draws through ANGLE on
    Mesa's llvmpipe, the renderer the native build uses here, instead of its
    own SwiftShader; --keep-pages has Chromium's allocator keep the pages
    llvmpipe frees (see bench/README.md); --perdraw sends each batch in a
    buffer of its own, as the layer did before.
  startup SITE [PAGE]: seconds from opening PAGE (cubegame_640.html) to its
    first frame, on a first visit and on the visit after, and the bytes the
    first visit fetched."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../web/tools"))
import chromium  # noqa: E402

FIRST_FRAME = "window.Module && Module.frameTimes && Module.frameTimes.length > 0"


def frames(folder, options):
    server, base = chromium.serve(folder)
    flags = ["--disable-gpu-vsync", "--disable-frame-rate-limit"]
    if "--llvmpipe" in options:
        flags += ["--use-gl=angle", "--use-angle=gl-egl", "--ignore-gpu-blocklist"]
    if "--keep-pages" in options:
        flags += ["--enable-features=PartitionAllocLargeEmptySlotSpanRing"]
    browser = chromium.Browser(width=664, extra_flags=flags)
    try:
        browser.open(base + "probe.html?bench" + ("&perdraw" if "--perdraw" in options else ""))
        browser.wait_for("window.gameEnded", 600)
        print(next(t for _, t in browser.console if t.startswith("frame ms")))
    finally:
        browser.close()
        server.shutdown()


def startup(site, page):
    server, base = chromium.serve(site)
    browser = chromium.Browser()
    try:
        times = []
        for visit in range(2):
            began = time.monotonic()
            browser.open(base + page)
            browser.wait_for(FIRST_FRAME, 180)
            times.append(time.monotonic() - began)
            if visit == 0:
                fetched = sum(server.sent.values())
                browser.pump(5)  # the offline worker, where the page has one, keeps the release meanwhile
        print("start-up %.1f s on a first visit (%d KB fetched), %.1f s on the next" % (times[0], fetched // 1024,
                                                                                     times[1]))
    finally:
        browser.close()
        server.shutdown()


if __name__ == "__main__":
    if sys.argv[1] == "frames":
        frames(sys.argv[2], sys.argv[3:])
    else:
        startup(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else "cubegame_640.html")
