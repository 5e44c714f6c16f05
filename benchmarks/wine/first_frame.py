#!/usr/bin/env python3
"""Seconds from starting a Windows program under Wine to its first frame on screen.

usage: first_frame.py WINE_RUN PROGRAM FORM [ARGS...]

Starts PROGRAM through the tree's wine-run with the debugger output on standard error
and reads it as it comes: the time of the line "first frame: FORM" (the framework
writes one per form, the minimal reference program its own) counted from just before
the start. Nothing polls: the line is timed when Wine writes it. The program is then
ended (its whole process group). Prints the seconds; exit status 1 when the line did
not come within TIMEOUT seconds (default 120) or the program ended first.
"""
import os
import signal
import subprocess
import sys
import threading
import time


def main():
    wine_run, program, form = sys.argv[1:4]
    timeout = float(os.environ.get("TIMEOUT", "120"))
    # Wine writes a debugger string as a quoted text on a "warn:seh" line.
    wanted = ('"first frame: ' + form).encode()
    env = dict(os.environ, WINEDEBUG="warn+seh")
    started = time.monotonic()
    child = subprocess.Popen([wine_run, program, *sys.argv[4:]], stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env,
                             start_new_session=True)
    timer = threading.Timer(timeout, lambda: os.killpg(child.pid, signal.SIGKILL))
    timer.start()
    seen = None
    try:
        for line in child.stderr:
            if wanted in line:
                seen = time.monotonic() - started
                break
    finally:
        timer.cancel()
        try:
            os.killpg(child.pid, signal.SIGTERM)
            child.wait(timeout=10)
        except (ProcessLookupError, subprocess.TimeoutExpired):
            try:
                os.killpg(child.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        child.wait()
    if seen is None:
        print(f"no \"first frame: {form}\" from {program}", file=sys.stderr)
        return 1
    print(f"{seen:.3f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
