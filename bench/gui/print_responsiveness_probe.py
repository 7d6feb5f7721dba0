"""Asks the accessibility bus for the file field's text, over and over, from another process while
print_responsiveness_bench prints, and gives the time of each answer by the bench's phases.

Run by measure-print-responsiveness under run-screen-reader-test's private display and buses.
Usage: print_responsiveness_probe.py BENCH
"""

import os
import random
import statistics
import subprocess
import sys
import threading
import time

import pyatspi

# The screen-reader tests' waits, which pump the bus's events (their runner gives this one too).
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests",
                                "a11y"))
from a11y_session import wait_for  # noqa: E402

BENCH = sys.argv[1]
NAME = "print_responsiveness_bench"
# Seconds between one answer and the next question: close, as Orca's are, and at random, so that
# the questions do not fall in step with the application's pumps.
PROBE_GAP = (0.0, 0.02)


def run_delay(pid):
    """Seconds the process's main thread has waited for a processor (the scheduler's count)."""
    with open(f"/proc/{pid}/task/{pid}/schedstat") as stat:
        return int(stat.read().split()[1]) / 1e9


def figures(answers):
    """The answers' times as the bench gives its own."""
    times = sorted(answers)
    took, queued = times[-1]
    own = max(took - queued for took, queued in times)
    return (f"median {statistics.median(t for t, _ in times) * 1000:5.2f} ms, max "
            f"{took * 1000:6.2f} ms ({queued * 1000:.2f} ms of it waiting for a processor), at "
            f"most {own * 1000:.2f} ms without those waits, {len(times)} samples")


def main():
    # A frozen window must show as a long answer, not as the library's own time-out.
    pyatspi.setTimeout(60000, 60000)
    bench = subprocess.Popen([BENCH, "--wait-for-go"], stdin=subprocess.PIPE,
                             stdout=subprocess.PIPE, text=True,
                             env=dict(os.environ,
                                      QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb"))
    lines = []
    ready = threading.Event()

    def read():
        for line in bench.stdout:
            lines.append(line.rstrip("\n"))
            if line.startswith("ready"):
                ready.set()
    reader = threading.Thread(target=read)
    reader.start()
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        application = wait_for("the bench on the bus", lambda: next(
            (a for a in desktop if a is not None and a.name == NAME), None))
        field = wait_for("the file field", lambda: pyatspi.findDescendant(
            application, lambda x: x is not None and x.getRoleName() == "text"
            and x.name == "ファイル", breadth_first=True))
        text = field.queryText()
        if not ready.wait(20):
            raise AssertionError("the bench did not get ready")
        bench.stdin.write("go\n")
        bench.stdin.flush()
        answers = []  # (time asked, seconds to the answer, of them the bench's waits for a CPU)
        while bench.poll() is None:
            asked = time.monotonic()
            try:
                delay = run_delay(bench.pid)
                text.getText(0, -1)
                queued = run_delay(bench.pid) - delay
            except Exception:  # the window went away at the end
                break
            answers.append((asked, time.monotonic() - asked, queued))
            time.sleep(random.uniform(*PROBE_GAP))
        bench.wait(60)
    finally:
        if bench.poll() is None:
            bench.kill()
            bench.wait()
        reader.join()

    for line in lines:
        if not line.startswith(("phase ", "ready")):
            print(line)
    for line in lines:
        if line.startswith("phase "):
            _, name, begin, end = line.split()
            within = [(took, queued) for asked, took, queued in answers
                      if float(begin) <= asked and asked + took <= float(end)]
            print(f"{name:8} accessibility bus:        "
                  f"{figures(within) if within else 'no samples'}")
    return bench.returncode


if __name__ == "__main__":
    sys.exit(main())
