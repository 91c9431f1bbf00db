"""Each build's page in headless Chromium, in real time: it prints the native
game's start-up lines (console and panel alike), draws sky, land and the
score text, rolls the cube on Up, and ends on Escape with the native game's
shut-down lines and a note on the page. A browser without WebGL is told so.
Usage: pages_test.py SITE_FOLDER NATIVE_BUILD_FOLDER [BUILD...]"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../../../web/tools"))
import chromium  # noqa: E402
from checks import check, summary  # noqa: E402

BUILDS = ["cubegame_320", "cubegame_640", "cubegame_640_15k", "cubegame_1024"]
def native_lines(binary, images):
    """The native game's start-up and shut-down text (ended by SIGTERM, which SDL turns into a window close)."""
    err = tempfile.TemporaryFile()
    game = subprocess.Popen([binary], cwd=images, stderr=err, stdout=subprocess.DEVNULL,
                            env=dict(os.environ, SDL_VIDEODRIVER="x11", ASAN_OPTIONS="detect_leaks=0"))
    deadline = time.monotonic() + 120
    while time.monotonic() < deadline:
        err.seek(0)
        if err.read().count(b"Initialising texture...") >= 4:  # sky, cube, terrain, tanks: the last start-up step
            break
        time.sleep(0.5)
    time.sleep(2)
    game.send_signal(signal.SIGTERM)
    try:
        game.wait(timeout=60)
    except subprocess.TimeoutExpired:
        game.kill()
    err.seek(0)
    text = err.read().decode()
    cut = text.find("Quitting\n")
    return text[:cut], text[cut:]


def stderr_text(browser, since=0):
    return "".join(text + "\n" for kind, text in browser.console[since:] if kind == "error")


def readout(browser, timeout=20):
    """(cube position, cube velocity) from a fresh `i` read-out: `i` is held until one whole block is out."""
    mark = len(browser.console)
    browser.key("i", "rawKeyDown")
    deadline = time.monotonic() + timeout
    block = None
    while time.monotonic() < deadline and not block:
        browser.pump(0.1)
        lines = [t for k, t in browser.console[mark:] if k == "error"]
        ends = [i for i, t in enumerate(lines) if t == "Camera Information:" and i + 1 < len(lines)]
        starts = [i for i, t in enumerate(lines) if t == "Cube Information:"]
        if ends and starts and starts[0] < ends[-1]:
            block = lines[max(i for i in starts if i < ends[-1]):ends[-1]]
    browser.key("i", "keyUp")
    browser.pump(0.3)  # the frame after the release still saw the key down
    if not block:
        return None, None
    value = {t.split(":")[0].strip(): list(map(int, re.findall(r"-?\d+", t))) for t in block if t.startswith("\t")}
    return value.get("Position"), value.get("Velocity")


def mean(rows, x0, y0, x1, y1):
    total, n = [0, 0, 0], 0
    for row in rows[y0:y1]:
        for x in range(x0, x1):
            for c in range(3):
                total[c] += row[3 * x + c]
            n += 1
    return [t / n for t in total]


def check_picture(browser, build):
    box = browser.evaluate("(function(){var r=canvas.getBoundingClientRect();return [r.x,r.y,r.width,r.height]})()")
    width, height, rows = browser.screenshot(*box)
    sky = mean(rows, 0, 0, width, height // 8)
    land = mean(rows, 0, height * 7 // 8, width, height)
    check(build + ": sky on top (mean %s)" % [int(v) for v in sky], sky[2] > sky[0] + 40)
    check(build + ": land below (mean %s)" % [int(v) for v in land], land[1] > land[2] + 20 and land[1] > 40)
    # The score and size float above the cube in black, in the middle of the sky.
    dark = sum(1 for row in rows[height // 8:height // 2] for x in range(width // 4, width * 3 // 4)
               if max(row[3 * x:3 * x + 3]) < 40)
    check(build + ": score text drawn (%d black pixels above the cube)" % dark, dark > 30)


def play(browser, base, build, native_start, native_quit):
    browser.console.clear()
    browser.open(base + build + ".html")
    browser.wait_for("window.Module && Module.frameTimes && Module.frameTimes.length > 10", 120)
    start = stderr_text(browser)
    check(build + ": start-up lines as the native game's", start == native_start,
          "\n--- page\n%s--- native\n%s" % (start, native_start))
    panel = browser.evaluate("document.getElementById('log').textContent")
    console = "".join(t + "\n" for _, t in browser.console)
    check(build + ": the panel holds what the console shows", panel == console)
    landed, position = False, None
    deadline = time.monotonic() + 90
    while time.monotonic() < deadline and not landed:
        position, velocity = readout(browser)
        landed = position is not None and position[1] < 1000 and abs(velocity[1]) < 50
    check(build + ": read-out printed and the cube landed (%s)" % position, landed)
    check_picture(browser, build)
    before = position
    browser.hold("Up", 4)
    after, _ = readout(browser)
    moved = before and after and ((after[0] - before[0]) ** 2 + (after[2] - before[2]) ** 2) ** 0.5
    check(build + ": Up rolls the cube (%s -> %s)" % (before, after), bool(moved and moved > 20))

    mark = len(browser.console)
    browser.key("Escape", "rawKeyDown")
    ended = browser.wait_for("window.gameEnded === true", 30)
    browser.key("Escape", "keyUp")
    quit_text = stderr_text(browser, mark)
    quit_text = quit_text[quit_text.find("Quitting\n"):]
    check(build + ": Escape ends the game with the native shut-down lines", ended and quit_text == native_quit,
          "\n--- page\n%s--- native\n%s" % (quit_text, native_quit))
    notice = browser.evaluate("document.getElementById('notice').textContent")
    check(build + ": the page says the game has ended and how to start again",
          "ended" in notice and "Reload" in notice)


def main():
    site, native = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    builds = sys.argv[3:] or BUILDS
    images = tempfile.mkdtemp(prefix="cubegame-web-images-")
    subprocess.run([os.path.join(native, "makeimages"), images], check=True, stdout=subprocess.DEVNULL)
    server, base = chromium.serve(site)
    for build in builds:
        native_start, native_quit = native_lines(os.path.join(native, build), images)
        browser = chromium.Browser()
        try:
            play(browser, base, build, native_start, native_quit)
        except (chromium.Timeout, RuntimeError) as e:
            check(build + ": page driven to the end", False, str(e))
        finally:
            browser.close()

    browser = chromium.Browser(extra_flags=["--disable-webgl"])
    try:
        browser.open(base + builds[0] + ".html")
        notice = browser.wait_for("document.getElementById('notice').textContent", 30)
        check("without WebGL the page says so", "no WebGL" in notice, notice)
    finally:
        browser.close()
    server.shutdown()
    return summary()


if __name__ == "__main__":
    sys.exit(main())
