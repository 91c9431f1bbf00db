"""The same seeded world from the same cameras, drawn natively (Mesa) and in
headless Chromium (the web layer on WebGL), compared pixel by pixel; the same
views through the layer with a known fault must fail the comparison, and the
views with each batch sent in a buffer of its own, as before, must be the
same bytes.
Usage: picture_test.py NATIVE_PROBE MAKEIMAGES WEB_PROBE_FOLDER"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../../../web/tools"))
import chromium  # noqa: E402
from checks import check, summary  # noqa: E402

WIDTH, HEIGHT, VIEWS = 640, 480, 3
# A pixel matches when no channel differs by more than LEVELS; a view
# matches when SHARE of its pixels do (measured: 99.6-99.8% within 2 levels,
# two thirds exactly). The levels are rounding: the layer lights and fogs in
# 32-bit floats in its shaders, Mesa in its own precision. The pixels beyond
# them lie on edges: far triangles rasterised a pixel apart, and the cube's
# texture clamped to its edge texels where Mesa blends in the border.
LEVELS = 4
SHARE = 0.99
def native_views(probe, makeimages):
    work = tempfile.mkdtemp(prefix="cubegame-picture-")
    subprocess.run([makeimages, work], check=True, stdout=subprocess.DEVNULL)
    out = subprocess.run([probe, "picture", work], cwd=work, capture_output=True, text=True, timeout=300,
                         env=dict(os.environ, SDL_VIDEODRIVER="x11", ASAN_OPTIONS="detect_leaks=0"))
    world = [l for l in out.stdout.splitlines() if l.startswith("world:")]
    views = []
    for k in range(VIEWS):
        data = open(os.path.join(work, "view%d.ppm" % k), "rb").read()
        pixels = data[len(b"P6\n%d %d\n255\n" % (WIDTH, HEIGHT)):]
        rows = [pixels[y * WIDTH * 3:(y + 1) * WIDTH * 3] for y in range(HEIGHT)]
        views.append(b"".join(reversed(rows)))  # bottom row first, as GL reads
    return world, views


def web_views(browser, base, fault=""):
    browser.console.clear()
    browser.open(base + "probe.html?picture" + ("&" + fault if fault else ""))
    browser.wait_for("window.Module && Module.views && Module.views.length == %d" % VIEWS, 180)
    world = [t for _, t in browser.console if t.startswith("world:")]
    views = []
    for k in range(VIEWS):
        encoded = browser.evaluate(
            "(function(v){var s='';for(var i=0;i<v.length;i+=32768)"
            "s+=String.fromCharCode.apply(null,v.subarray(i,i+32768));return btoa(s)})(Module.views[%d])" % k, 60)
        views.append(chromium.base64.b64decode(encoded))
    return world, views


def matching_share(a, b, levels=LEVELS):
    same = sum(1 for i in range(0, len(a), 3)
               if abs(a[i] - b[i]) <= levels and abs(a[i + 1] - b[i + 1]) <= levels and abs(a[i + 2] - b[i + 2]) <= levels)
    return same / (len(a) // 3)


def text_pixels(view):
    """The pure black pixels of the upper half, where only the score and size text is black."""
    return {i // 3 for i in range(len(view) // 2, len(view), 3) if view[i] == view[i + 1] == view[i + 2] == 0}


def main():
    probe, makeimages, folder = (os.path.abspath(a) for a in sys.argv[1:4])
    native_world, native = native_views(probe, makeimages)
    server, base = chromium.serve(folder)
    browser = chromium.Browser()
    try:
        world, web = web_views(browser, base)
        check("same seed, same world: native %s, web %s" % (native_world, world), world == native_world and world)
        for k in range(VIEWS):
            share = matching_share(native[k], web[k])
            print("   view %d shares within 0/2/4/8 levels: %s" % (k, " ".join(
                "%.2f%%" % (100 * matching_share(native[k], web[k], n)) for n in (0, 2, 4, 8))), flush=True)
            check("view %d: %.1f%% of pixels within %d levels (at least %.0f%%)" % (k, 100 * share, LEVELS, 100 * SHARE),
                  share >= SHARE)
            a, b = text_pixels(native[k]), text_pixels(web[k])
            overlap = len(a & b) / max(1, len(a | b))
            check("view %d: the text in the same font at the same place (%d / %d black pixels, %.0f%% shared)" %
                  (k, len(a), len(b), 100 * overlap), len(a) > 50 and overlap >= 0.95)
        _, per_draw = web_views(browser, base, "perdraw")
        check("batches in one stream buffer draw the same bytes as a buffer per batch",
              per_draw == web and len(web) == VIEWS)
        for fault in ("lookat", "colour"):
            _, broken = web_views(browser, base, fault)
            shares = [matching_share(native[k], broken[k]) for k in range(VIEWS)]
            check("a layer with the %s fault fails the comparison (%s)" %
                  (fault, ", ".join("%.1f%%" % (100 * s) for s in shares)), min(shares) < SHARE)
    finally:
        browser.close()
        server.shutdown()
    return summary()


if __name__ == "__main__":
    sys.exit(main())
