"""What the live panel costs: the time from a press in the page to the new picture shown (200
presses of the radio's power button in Debian's headless Chromium, as the page itself times them),
the bench's CPU while nothing happens (with no page, and with a page open), and its memory over
10 000 presses.

    /usr/bin/python3 tools/live-measure.py     (after sh tools/test.sh or a native build)
"""

import json
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
import urllib.request

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "build", "native", "out")
sys.path.insert(0, os.path.join(ROOT, "tests", "panelhost", "live"))


def start_bench(work):
    errors = open(os.path.join(work, "errors.txt"), "w+")
    process = subprocess.Popen([os.path.join(OUT, "panelhost"), "--cwd", work, "--serve", "0", "--panel",
                                os.path.join(ROOT, "tools", "release", "panel.cfg"), "--gauges", OUT],
                               stdout=subprocess.DEVNULL, stderr=errors, stdin=subprocess.DEVNULL)
    for _ in range(200):
        errors.seek(0)
        found = re.search(r"(http://[0-9.:]+/)", errors.read())
        if found:
            return process, found.group(1)
        time.sleep(0.05)
    raise RuntimeError("the bench did not start")


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return -1


def idle_share(pid, seconds):
    first = cpu_seconds(pid)
    time.sleep(seconds)
    return (cpu_seconds(pid) - first) / seconds


def post(url, path):
    request = urllib.request.Request(url.rstrip("/") + path, data=b"", method="POST")
    with urllib.request.urlopen(request, timeout=10) as answer:
        answer.read()


def main():
    import live_page_test as page

    work = tempfile.mkdtemp(prefix="live-measure-")
    os.makedirs(os.path.join(work, "Sound"))
    subprocess.run([os.path.join(OUT, "demo_songs"), os.path.join(work, "Sound")], check=True,
                   stdout=subprocess.DEVNULL)
    process, url = start_bench(work)
    try:
        time.sleep(1)
        print("idle, no page: %.1f %% of one core over 30 s" % (100 * idle_share(process.pid, 30)))

        browser = page.Browser(url, work)
        time.sleep(1)
        print("idle, the page open: %.1f %% of one core over 30 s" % (100 * idle_share(process.pid, 30)))
        presses = 200
        # The page times each press itself; the driver looks once a press, long after it, so that
        # its own scripts keep off the page's thread meanwhile.
        for press in range(presses):
            browser.click(page.POWER)
            time.sleep(0.4)
            if browser.script("return live.latencies.length") != press + 1:
                raise RuntimeError("press %d showed no new picture" % (press + 1))
        latencies = browser.script("return live.latencies")
        browser.quit()
        latencies.sort()
        print("press to new picture, %d presses: median %.1f ms, 95th percentile %.1f ms, longest %.1f ms" %
              (len(latencies), statistics.median(latencies), latencies[int(0.95 * len(latencies)) - 1], latencies[-1]))

        marks = {}
        for count in range(10001):
            if count in (0, 1000, 5000, 10000):
                marks[count] = resident_kb(process.pid)
            if count < 10000:
                post(url, "/press?x=453&y=33")
                post(url, "/release")
        print("resident memory over 10 000 presses: " +
              ", ".join("%d: %.1f MB" % (count, kb / 1024) for count, kb in marks.items()))
    finally:
        process.send_signal(signal.SIGTERM)
        print("the bench ended with status %d" % process.wait(timeout=20))
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
