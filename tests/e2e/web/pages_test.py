"""Each build's page in headless Chromium, in real time: it prints the native
game's start-up lines (console and panel alike), spins the cube up on Up,
draws sky, land and the score text, and ends on Escape with the native
game's shut-down lines and a note on the page. On the first build: a lost
and restored WebGL context; a phone's touch controls; a stand-in gamepad;
the picture inside the window at four sizes; a browser without WebGL; the
first visit's size, the images the page draws, offline play and the page
opened as a file.
Usage: pages_test.py SITE_FOLDER NATIVE_BUILD_FOLDER [BUILD...]"""
import hashlib
import json
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

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../..")


def presets():
    """The builds, smallest screen first: the checks made on one build play the quickest."""
    out = subprocess.run(["cmake", "-DCUBEGAME_SCREENS=ON", "-P", os.path.join(ROOT, "config/names.cmake")],
                         capture_output=True, text=True, check=True).stdout.split("\n")
    rows = [line.split() for line in out if line.strip()]
    return [name for name, width, height in sorted(rows, key=lambda r: int(r[1]) * int(r[2]))]


BUILDS = presets()
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
    """The cube's and camera's lines of a fresh `i` read-out, by label ("Camera Position" for the camera's):
    `i` is held until one whole block is out."""
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
            block = lines[max(i for i in starts if i < ends[-1]):ends[-1] + 2]
    browser.key("i", "keyUp")
    browser.pump(0.3)  # the frame after the release still saw the key down
    value = {}
    for t in block or []:
        if t.startswith("\t"):
            label = t.split(":")[0].strip()
            value["Camera " + label if label in value else label] = list(map(int, re.findall(r"-?\d+", t)))
    return value


def spins(browser, what, press, release):
    """In the launch flight the cube has no spin and no torque; `press` must give it both, and `release`
    takes the key back. Returns the read-out taken while pressed."""
    before = readout(browser)
    press()
    browser.pump(0.5)
    during = readout(browser)
    release()
    still = before.get("Angular Momentum") == [0, 0, 0] and before.get("Torque") == [0, 0, 0]
    check(what + " spins the cube up (in flight %s, then %s)" % (before.get("Angular Momentum"),
          during.get("Angular Momentum")), still and any(during.get("Angular Momentum", [])))
    return during


def started(browser, timeout=120):
    browser.wait_for("window.Module && Module.frameTimes && Module.frameTimes.length > 10", timeout)


def mean(rows, x0, y0, x1, y1):
    total, n = [0, 0, 0], 0
    for row in rows[y0:y1]:
        for x in range(x0, x1):
            for c in range(3):
                total[c] += row[3 * x + c]
            n += 1
    return [t / n for t in total]


def check_picture(browser, what):
    box = browser.evaluate("(function(){var r=canvas.getBoundingClientRect();return [r.x,r.y,r.width,r.height]})()")
    width, height, rows = browser.screenshot(*box)
    sky = mean(rows, 0, 0, width, height // 8)
    land = mean(rows, 0, height * 7 // 8, width, height)
    check(what + ": sky on top (mean %s)" % [int(v) for v in sky], sky[2] > sky[0] + 40)
    check(what + ": land below (mean %s)" % [int(v) for v in land], land[1] > land[2] + 20 and land[1] > 40)
    # The score and size float above the cube in black, in the middle of the sky.
    dark = sum(1 for row in rows[height // 8:height // 2] for x in range(width // 4, width * 3 // 4)
               if max(row[3 * x:3 * x + 3]) < 40)
    check(what + ": score text drawn (%d black pixels above the cube)" % dark, dark > 30)


def ends(browser, what, native_quit, end):
    """`end()` ends the game with the native game's shut-down lines, and the page says so."""
    mark = len(browser.console)
    end()
    ended = browser.wait_for("window.gameEnded === true", 30)
    quit_text = stderr_text(browser, mark)
    quit_text = quit_text[quit_text.find("Quitting\n"):]
    check(what + " ends the game with the native shut-down lines", ended and quit_text == native_quit,
          "\n--- page\n%s--- native\n%s" % (quit_text, native_quit))
    notice = browser.evaluate("document.getElementById('notice').textContent")
    check(what + ": the page says the game has ended and how to start again", "ended" in notice and "Reload" in notice)


def landed(browser, build):
    deadline = time.monotonic() + 90
    while time.monotonic() < deadline:
        cube = readout(browser)
        if cube.get("Position") and cube["Position"][1] < 1000 and abs(cube["Velocity"][1]) < 50:
            return True
    check(build + ": the cube landed", False)
    return False


def lose_context(browser, build):
    """A lost WebGL context is told, and once restored the game goes on with its picture."""
    browser.evaluate("window.loser = Module.ctx.getExtension('WEBGL_lose_context'); loser.loseContext(); 1")
    notice = browser.wait_for("document.getElementById('notice').className == 'shown' && notice.textContent", 10)
    check(build + ": a lost context is told (%r)" % notice, "graphics" in notice and "Reload" in notice)
    browser.pump(1)
    browser.evaluate("loser.restoreContext(); 1")
    browser.wait_for("Module.frameTimes.length > 0 && !Module.contextRestored", 10)
    frames = browser.evaluate("Module.frameTimes.length")
    browser.pump(2)
    check(build + ": the game goes on after the restore", browser.evaluate("Module.frameTimes.length") != frames)
    check_picture(browser, build + " after a restored context")


def play(browser, base, build, native_start, native_quit, lost_context=False):
    """The keyboard: start-up lines, Up, the picture, Escape."""
    browser.console.clear()
    browser.open(base + build + ".html")
    started(browser)
    start = stderr_text(browser)
    check(build + ": start-up lines as the native game's", start == native_start,
          "\n--- page\n%s--- native\n%s" % (start, native_start))
    panel = browser.evaluate("document.getElementById('log').textContent")
    console = "".join(t + "\n" for _, t in browser.console)
    check(build + ": the panel holds what the console shows", panel == console)
    spins(browser, build + ": Up", lambda: browser.key("Up", "rawKeyDown"), lambda: browser.key("Up", "keyUp"))
    if landed(browser, build):
        check_picture(browser, build)
        if lost_context:
            lose_context(browser, build)
    ends(browser, build + ": Escape", native_quit,
         lambda: (browser.key("Escape", "rawKeyDown"), browser.pump(0.3), browser.key("Escape", "keyUp")))


def centre(browser, selector):
    return browser.evaluate("(function(){var r=document.querySelector('%s').getBoundingClientRect();"
                            "return [r.x+r.width/2,r.y+r.height/2]})()" % selector)


def touch(browser, base, build, native_quit):
    """A phone in landscape: the controls show clear of the middle of the picture, two fingers on the pad
    hold Up and Left at once, a short touch of End does nothing and a second's hold ends the game."""
    browser.open(base + build + ".html", before=lambda b: b.device(844, 390, True))
    started(browser)
    boxes = browser.evaluate("['#canvas','#pad','#end'].map(function(s){var r=document.querySelector(s)"
                             ".getBoundingClientRect();return [r.left,r.top,r.right,r.bottom]})")
    (cl, ct, cr, cb), controls = boxes[0], boxes[1:]
    middle = (cl + (cr - cl) / 4, ct + (cb - ct) / 4, cr - (cr - cl) / 4, cb - (cb - ct) / 4)
    clear = all(r[2] <= middle[0] or r[0] >= middle[2] or r[3] <= middle[1] or r[1] >= middle[3] for r in controls)
    check(build + ": touch controls shown, thumb-sized, clear of the score and banner (%s)" % boxes,
          clear and all(r[2] - r[0] >= 48 for r in controls))
    fingers = [centre(browser, "#pad [data-key=up]"), centre(browser, "#pad [data-key=left]")]
    during = spins(browser, build + ": touching Up", lambda: browser.touch("touchStart", fingers),
                   lambda: browser.touch("touchEnd", []))
    torque = during.get("Torque", [0, 0, 0])
    # Up turns the cube about x; Left, while the cube flies fast, about z. Either alone leaves the other axis
    # a few thousand, from the heading's drift.
    check(build + ": two fingers hold Up and Left at once (torque %s)" % torque,
          abs(torque[0]) > 10 ** 6 and abs(torque[2]) > 10 ** 6)
    end = [centre(browser, "#end")]
    browser.touch("touchStart", end)
    browser.pump(0.3)
    browser.touch("touchEnd", [])
    browser.pump(1.5)
    check(build + ": a short touch of End does not end the game", not browser.evaluate("window.gameEnded"))
    ends(browser, build + ": holding End", native_quit,
         lambda: (browser.touch("touchStart", end), browser.pump(1.5), browser.touch("touchEnd", [])))


# A pad of the standard mapping that the test moves; no real one can be attached here.
STAND_IN_PAD = """
window.standInPad = {id: 'Stand-in pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
  axes: [0, 0, 0, 0], buttons: Array.from({length: 17}, function () { return {pressed: false, touched: false, value: 0}; })};
navigator.getGamepads = function () { return [standInPad, null, null, null]; };
window.addEventListener('load', function () {
  var e = new Event('gamepadconnected'); e.gamepad = standInPad; window.dispatchEvent(e); });
"""


def gamepad(browser, base, build):
    browser.open(base + build + ".html",
                 before=lambda b: b.call("Page.addScriptToEvaluateOnNewDocument", source=STAND_IN_PAD))
    started(browser)
    notice = browser.evaluate("document.getElementById('notice').textContent")
    check(build + ": the page says a pad is connected (%r)" % notice, "Gamepad connected" in notice)
    button = "standInPad.buttons[12].pressed = %s; 1"
    spins(browser, build + ": the pad's d-pad up", lambda: browser.evaluate(button % "true"),
          lambda: browser.evaluate(button % "false"))


def fits(browser, base, build):
    """The whole picture inside the window, its shape kept, on desktops and phones."""
    browser.open(base + build + ".html")
    started(browser)
    shown = browser.evaluate("getComputedStyle(document.getElementById('pad')).display != 'none'")
    check(build + ": no touch controls on a desktop without touch", not shown)
    for width, height, phone in ((1280, 800, False), (1366, 768, False), (844, 390, True), (390, 844, True)):
        browser.device(width, height, phone)
        browser.pump(0.5)
        r = browser.evaluate("(function(){var r=canvas.getBoundingClientRect();"
                             "return [r.left,r.top,r.right,r.bottom,scrollY]})()")
        shape = (r[2] - r[0]) / (r[3] - r[1])
        check("%s at %d x %d: the picture lies inside the window (%s)" % (build, width, height, r),
              r[0] >= 0 and r[1] >= 0 and r[2] <= width and r[3] <= height and r[4] == 0 and
              abs(shape - 4 / 3) < 0.01 and r[2] - r[0] >= width * 0.45)


IMAGE_DIGESTS = """Promise.all(%s.map(function (name) {
  return crypto.subtle.digest('SHA-256', FS.readFile(name)).then(function (d) {
    return name + ' ' + Array.from(new Uint8Array(d), function (b) { return ('0' + b.toString(16)).slice(-2); }).join('');
  });
}))"""


def session(what, run):
    browser = chromium.Browser()
    try:
        run(browser)
    except (chromium.Timeout, RuntimeError) as e:
        check(what + ": page driven to the end", False, str(e))
    finally:
        browser.close()


def first_visit(browser, server, base, build, images):
    """The first visit's bytes, the images the page draws, then a reload with the network gone."""
    browser.open(base + build + ".html")
    started(browser)
    browser.wait_for("navigator.serviceWorker.controller !== null", 30)
    browser.pump(3)
    sent = sum(server.sent.values())
    check("a first visit of %s fetches %d KB (under 500 KB): %s" % (build, sent // 1024, sorted(server.sent)),
          sent < 500 * 1024)
    names = sorted(n for n in os.listdir(images) if n.endswith(".tga"))
    made = browser.call("Runtime.evaluate", expression=IMAGE_DIGESTS % json.dumps(names), awaitPromise=True,
                        returnByValue=True)["result"]["value"]
    wanted = ["%s %s" % (n, hashlib.sha256(open(os.path.join(images, n), "rb").read()).hexdigest()) for n in names]
    check("the page draws makeimages's %d images, byte for byte" % len(names), made == wanted,
          "\n%s\n%s" % (made, wanted))
    server.shutdown()
    server.server_close()
    browser.call("Network.enable")
    browser.call("Network.emulateNetworkConditions", offline=True, latency=0, downloadThroughput=-1,
                 uploadThroughput=-1)
    for page in (build, BUILDS[1]):
        browser.console.clear()
        browser.call("Page.navigate", url=base + page + ".html")
        started(browser, 60)
        check(page + ": plays offline once visited", "Initialising texture..." in stderr_text(browser))


def as_file(browser, site, build):
    browser.open("file://" + os.path.join(site, build + ".html"))
    started(browser, 60)
    check(build + ": plays opened as a file", "Initialising texture..." in stderr_text(browser))


def main():
    site, native = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    builds = sys.argv[3:] or BUILDS
    images = tempfile.mkdtemp(prefix="cubegame-web-images-")
    subprocess.run([os.path.join(native, "makeimages"), images], check=True, stdout=subprocess.DEVNULL)
    server, base = chromium.serve(site)
    quits = {}
    for build in builds:
        native_start, quits[build] = native_lines(os.path.join(native, build), images)
        session(build, lambda b: play(b, base, build, native_start, quits[build], lost_context=build == builds[0]))
    first = builds[0]
    session(first + " by touch", lambda b: touch(b, base, first, quits[first]))
    session(first + " by pad", lambda b: gamepad(b, base, first))
    session(first + " fitted", lambda b: fits(b, base, first))

    browser = chromium.Browser(extra_flags=["--disable-webgl"])
    try:
        browser.open(base + first + ".html")
        notice = browser.wait_for("document.getElementById('notice').textContent", 30)
        check("without WebGL the page says so", "no WebGL" in notice, notice)
    finally:
        browser.close()
    server.shutdown()
    server, base = chromium.serve(site)
    session(first + " offline", lambda b: first_visit(b, server, base, first, images))
    session(first + " as a file", lambda b: as_file(b, site, first))
    return summary()


if __name__ == "__main__":
    sys.exit(main())
