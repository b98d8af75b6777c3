"""What the live panel costs: the time from a press in the page to the new picture shown (200
presses of the radio's power button in Debian's headless Chromium, as the page itself times them),
the bench's CPU while nothing happens (with no page, and with a page open), its answers to the
page beside a hundred clients that drip their requests a byte every 0.9 s, and its memory over
10 000 presses.

    /usr/bin/python3 tools/live-measure.py     (after sh tools/test.sh or a native build)
"""

import json
import socket
import os
import re
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
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


def timed_get(host, port, path):
    """The milliseconds from the connect to the whole answer of one GET, the connection closed after it."""
    start = time.monotonic()
    with socket.create_connection((host, port), timeout=10) as connection:
        connection.sendall(("GET %s HTTP/1.1\r\nHost: %s:%d\r\nConnection: close\r\n\r\n" %
                            (path, host, port)).encode())
        while connection.recv(65536):
            pass
    return 1000 * (time.monotonic() - start)


def slow_clients(url, count=100, asked=400):
    """The page's / and /state, timed beside COUNT clients that send a request a byte every 0.9 s,
    and when each of those was closed after its first byte."""
    host, port = re.match(r"http://([0-9.]+):([0-9]+)/", url).groups()
    port = int(port)
    request = ("GET /state HTTP/1.1\r\nHost: %s:%d\r\n\r\n" % (host, port)).encode()
    drippers = [socket.create_connection((host, port), timeout=10) for _ in range(count)]
    closed = [None] * count
    started = time.monotonic()

    def drip():
        for sent in range(len(request)):
            for i, connection in enumerate(drippers):
                if closed[i] is None:
                    try:
                        connection.sendall(request[sent:sent + 1])
                    except OSError:
                        closed[i] = time.monotonic() - started
            deadline = time.monotonic() + 0.9
            while time.monotonic() < deadline and None in closed:
                for i, connection in enumerate(drippers):
                    if closed[i] is None:
                        connection.setblocking(False)
                        try:
                            if connection.recv(4096) == b"":
                                closed[i] = time.monotonic() - started
                        except BlockingIOError:
                            pass
                        except OSError:
                            closed[i] = time.monotonic() - started
                time.sleep(0.01)
            if None not in closed:
                return

    dripping = threading.Thread(target=drip)
    dripping.start()
    time.sleep(0.3)
    times = [timed_get(host, port, "/" if i % 2 == 0 else "/state") for i in range(asked)]
    dripping.join()
    for connection in drippers:
        connection.close()
    times.sort()
    print("/ and /state beside %d clients dripping a byte every 0.9 s, %d answers: median %.2f ms, "
          "95th percentile %.2f ms, longest %.2f ms" %
          (count, len(times), statistics.median(times), times[int(0.95 * len(times)) - 1], times[-1]))
    ends = [end for end in closed if end is not None]
    print("the dripping clients closed: %d of %d, %.2f to %.2f s after their first byte" %
          (len(ends), count, min(ends), max(ends)))


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
        slow_clients(url)

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
