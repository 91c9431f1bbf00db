"""Drives headless Chromium over its DevTools pipe (fds 3 and 4, JSON messages
ending in NUL), with the web folder served on a private localhost port. Every
call has a hard deadline: a renderer stuck in a GL call never answers."""
import base64
import functools
import http.server
import json
import os
import select
import shutil
import struct
import subprocess
import tempfile
import threading
import time
import zlib

FLAGS = ["--headless", "--no-sandbox", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--disable-quic", "--mute-audio",
         "--disable-renderer-backgrounding", "--disable-background-timer-throttling",
         "--disable-backgrounding-occluded-windows", "--enable-unsafe-swiftshader",
         "--remote-debugging-pipe"]

# DOM key codes of the keys the game reads.
KEYS = {"Up": ("ArrowUp", 38), "Down": ("ArrowDown", 40), "Left": ("ArrowLeft", 37),
        "Right": ("ArrowRight", 39), "Escape": ("Escape", 27), "i": ("KeyI", 73), "f": ("KeyF", 70)}


class Timeout(Exception):
    pass


class _Quiet(http.server.SimpleHTTPRequestHandler):
    """A plain static server that counts the bytes of what it sends."""
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".webmanifest": "application/manifest+json"})

    def log_message(self, *args):
        pass

    def copyfile(self, source, outputfile):
        body = source.read()
        self.server.sent[self.path] = self.server.sent.get(self.path, 0) + len(body)
        outputfile.write(body)


def serve(folder):
    """Serves `folder` on 127.0.0.1; returns (server, base URL). server.sent
    maps each path to the bytes of the bodies sent for it."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(_Quiet, directory=folder))
    server.sent = {}
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


class Browser:
    def __init__(self, width=900, height=900, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="cubegame-chromium-")
        to_child, self._write = os.pipe()
        self._read, from_child = os.pipe()

        def fds():
            # Copies first: either pipe end may already sit on 3 or 4.
            high_in, high_out = os.dup(to_child), os.dup(from_child)
            os.dup2(high_in, 3)
            os.dup2(high_out, 4)

        self.proc = subprocess.Popen(
            [shutil.which("chromium") or "chromium", *FLAGS, *extra_flags, "--user-data-dir=" + self.profile,
             "--window-size=%d,%d" % (width, height), "about:blank"],
            preexec_fn=fds, close_fds=False, stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_child)
        os.close(from_child)
        self._buffer = b""
        self._next = 0
        self.session = None
        self.console = []  # (type, text) in order

    # ------------------------------------------------------------ protocol
    def _message(self, deadline):
        while b"\0" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([self._read], [], [], left)[0]:
                raise Timeout("no answer from Chromium in time")
            chunk = os.read(self._read, 1 << 20)
            if not chunk:
                raise Timeout("Chromium closed its pipe")
            self._buffer += chunk
        raw, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(raw)

    def _note(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            p = message["params"]
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in p["args"])
            self.console.append((p["type"], text))

    def call(self, method, timeout=20, session=True, **params):
        self._next += 1
        ident = self._next
        message = {"id": ident, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._write, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._message(deadline)
            if answer.get("id") == ident:
                if "error" in answer:
                    raise RuntimeError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            self._note(answer)

    def pump(self, seconds):
        """Collects events for `seconds`."""
        deadline = time.monotonic() + seconds
        try:
            while True:
                self._note(self._message(deadline))
        except Timeout:
            pass

    # ------------------------------------------------------------ pages
    def open(self, url, timeout=30, before=None):
        """Opens `url` in a new tab; `before(browser)`, if given, sets the tab up first."""
        target = self.call("Target.createTarget", session=False, url="about:blank")["targetId"]
        self.session = self.call("Target.attachToTarget", session=False, targetId=target, flatten=True)["sessionId"]
        self.call("Runtime.enable")
        self.call("Page.enable")
        if before:
            before(self)
        self.call("Page.navigate", url=url, timeout=timeout)

    def device(self, width, height, touch):
        """The tab as a screen of that size, a phone's (touch) or a desktop's."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1, mobile=touch)
        self.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=5 if touch else 1)

    def touch(self, kind, points):
        """A touch event with fingers at `points` [(x, y)], numbered in order."""
        self.call("Input.dispatchTouchEvent", type=kind,
                  touchPoints=[{"x": x, "y": y, "id": i} for i, (x, y) in enumerate(points)])

    def evaluate(self, expression, timeout=20):
        result = self.call("Runtime.evaluate", timeout=timeout, expression=expression, returnByValue=True)
        return result.get("result", {}).get("value")

    def wait_for(self, expression, timeout):
        """Polls `expression` until it is truthy; its value, or Timeout."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(expression, timeout=max(1, deadline - time.monotonic()))
            if value:
                return value
            self.pump(0.2)
        raise Timeout("waited %d s for %s" % (timeout, expression))

    def key(self, name, kind):
        code, number = KEYS[name]
        self.call("Input.dispatchKeyEvent", type=kind, key=code.replace("Key", ""),
                  code=code, windowsVirtualKeyCode=number, nativeVirtualKeyCode=number)

    def hold(self, name, seconds):
        self.key(name, "rawKeyDown")
        self.pump(seconds)
        self.key(name, "keyUp")

    def screenshot(self, x, y, width, height, timeout=30):
        """RGB rows, top first, of a page rectangle in CSS pixels."""
        data = self.call("Page.captureScreenshot", timeout=timeout, format="png",
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})["data"]
        return decode_png(base64.b64decode(data))

    def close(self):
        try:
            self.call("Browser.close", session=False, timeout=5)
        except Exception:
            pass
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        for fd in (self._read, self._write):
            os.close(fd)
        shutil.rmtree(self.profile, ignore_errors=True)


def decode_png(data):
    """(width, height, rows of RGB bytes) of an 8-bit RGB or RGBA PNG, as
    Chromium's screenshots are; anything else is refused, not misread. The
    standard library suffices, so every python3 runs it, pyenv's included."""
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", data[16:29])
    assert depth == 8 and colour in (2, 6) and interlace == 0, "unexpected PNG format"
    channels = 3 if colour == 2 else 4
    chunks, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        if kind == b"IDAT":
            chunks += data[at + 8:at + 8 + length]
        at += 12 + length
    raw = zlib.decompress(chunks)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for r in range(height):
        kind = raw[r * (stride + 1)]
        line = bytearray(raw[r * (stride + 1) + 1:(r + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(bytes(line) if channels == 3 else bytes(v for i, v in enumerate(line) if i % 4 != 3))
        previous = line
    return width, height, rows
