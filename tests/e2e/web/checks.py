# The web tests' checks: each prints ok or FAIL and the run goes on, so one
# run shows every failure; summary() gives the exit status.
FAILURES = []


def check(what, ok, detail=""):
    print(("ok: " if ok else "FAIL: ") + what + ("" if ok else " " + detail), flush=True)
    if not ok:
        FAILURES.append(what)


def summary():
    print("%d failure(s)" % len(FAILURES))
    return 1 if FAILURES else 0
