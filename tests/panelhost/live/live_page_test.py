"""The live panel's page in a real browser (Debian's headless Chromium through its driver).

The bench serves the release's example window, the radio above the autopilot's panel, with songs
in the Sound folder. The tests press the gauges' buttons in the page as a person would and look at
what the page shows: the picture, the tooltip, the songs and clicks it plays, the key events, the
trace's text; and at what the bench answers to requests that do not fit.

    live_page_test.py --bench PANELHOST --gauges DIR --panel PANEL.CFG --songs DEMO_SONGS --work DIR
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.error
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

ARGS = None

# Where the window shows the gauges (the example panel file), and the controls in the window's
# units: the radio at (10, 10) at its own size, the autopilot's panel at (10, 170) at its own.
RADIO = (10, 10)
AUTOPILOT = (10, 170)
POWER = (RADIO[0] + 443, RADIO[1] + 23)
MODE_FM = (RADIO[0] + 442, RADIO[1] + 82)
PRESET_4 = (RADIO[0] + 264, RADIO[1] + 123)
VOLUME_DOWN = (RADIO[0] + 25, RADIO[1] + 101)
VOLUME_UP = (RADIO[0] + 25, RADIO[1] + 67)
STATION_DISPLAY = (RADIO[0] + 136, RADIO[1] + 58, 202, 43)
KNOB = (RADIO[0] + 52, RADIO[1] + 53, 64, 62)
MASTER = (AUTOPILOT[0] + 116, AUTOPILOT[1] + 70)
ENGAGE = (AUTOPILOT[0] + 182, AUTOPILOT[1] + 70)
INHIBIT = (AUTOPILOT[0] + 248, AUTOPILOT[1] + 70)

# The switches' decision table: the switch clicked, variable 103, variables 106 and 108, and the
# engage and inhibit levers as they stand after the click (None: either).
DECISION_ROWS = [
    ("master", 1, (1, 0), 1, 0),
    ("master", 0, (1, 0), 1, 0),
    ("master", 0, (0, 0), 0, 0),
    ("master", 0, (0, 0), 1, 1),
    ("engage", 0, (0, 0), 1, 0),
    ("engage", 1, (1, 0), 1, 0),
    ("engage", 1, (0, 0), 1, 0),
    ("engage", 1, (0, 0), 1, 1),
    ("inhibit", 0, (0, 0), 0, 1),
    ("inhibit", 1, (0, 1), 0, 1),
    ("inhibit", 1, (0, 0), 1, 0),
    ("inhibit", 1, (0, 0), 0, 0),
]


# Trace lines of a script run before the panel is served: a pilot's folder named with accents and
# a song in CJK characters, which the page shows as they are, and a name in another code page
# (its byte not UTF-8), which it shows with U+FFFD in that byte's place.
ECHOED = [
    ("echo C:\\Users\\Zoë\\Flüge\\東京の歌.mp3".encode("utf-8"), "echo C:\\Users\\Zoë\\Flüge\\東京の歌.mp3"),
    (b"echo Zo\xeb.wav", "echo Zo\ufffd.wav"),
]


class Bench:
    """The bench serving the example window, and what it writes; a script's lines run first."""

    def __init__(self, work, script=None):
        self.work = work
        self.trace_path = os.path.join(work, "trace.txt")
        self.trace = open(self.trace_path, "w")
        self.errors = open(os.path.join(work, "errors.txt"), "w+")
        command = [ARGS.bench, "--cwd", work, "--serve", "0", "--panel", ARGS.panel, "--gauges", ARGS.gauges]
        if script is not None:
            script_path = os.path.join(work, "first.script")
            with open(script_path, "wb") as file:
                file.write(b"".join(line + b"\n" for line in script))
            command += ["--script", script_path]
        self.process = subprocess.Popen(command, stdout=self.trace, stderr=self.errors, stdin=subprocess.DEVNULL)
        deadline = time.time() + 20
        self.url = None
        while time.time() < deadline and self.url is None:
            self.errors.seek(0)
            found = re.search(r"the live panel is at (http://[0-9.:]+/)", self.errors.read())
            if found:
                self.url = found.group(1)
            elif self.process.poll() is not None:
                raise RuntimeError("the bench ended at once: " + open(self.errors.name).read())
            else:
                time.sleep(0.05)
        if self.url is None:
            raise RuntimeError("the bench never said where it serves")

    def request(self, method, path, body=None):
        """The bench's answer: status, the body as text."""
        request = urllib.request.Request(self.url.rstrip("/") + path, data=body, method=method)
        try:
            with urllib.request.urlopen(request, timeout=10) as answer:
                return answer.status, answer.read()
        except urllib.error.HTTPError as error:
            return error.code, error.read()

    def state(self, trace_from=0):
        status, body = self.request("GET", "/state?trace=%d" % trace_from)
        assert status == 200, body
        return json.loads(body)

    def all_trace(self):
        lines, first = [], 0
        while True:
            state = self.state(first)
            lines += state["trace"]
            if state["trace_next"] == first or not state["trace"]:
                return lines
            first = state["trace_next"]

    def wait_frames(self, count):
        first = self.state(1 << 40)["frames"]
        deadline = time.time() + 5
        while self.state(1 << 40)["frames"] < first + count:
            if time.time() > deadline:
                raise AssertionError("the panel ran no frames")
            time.sleep(0.02)

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            return self.process.wait(timeout=20)
        finally:
            self.trace.close()
            self.errors.close()


class Browser:
    """Debian's Chromium, headless, driven by its driver."""

    def __init__(self, url, work):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        self.profile = tempfile.mkdtemp(dir=work, prefix="profile-")
        for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                         "--autoplay-policy=no-user-gesture-required", "--disable-background-networking",
                         "--disable-component-update", "--disable-sync", "--no-first-run", "--mute-audio",
                         "--disable-renderer-backgrounding", "--disable-background-timer-throttling",
                         "--disable-backgrounding-occluded-windows",
                         "--window-size=1400,900", "--user-data-dir=" + self.profile]:
            options.add_argument(argument)
        self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        self.driver.get(url)
        self.wait_for(lambda: self.script("return live.shownPicture >= 0 && live.width > 0"), "the first picture")
        self.panel = self.driver.find_element(By.ID, "panel")

    def script(self, text, *args):
        return self.driver.execute_script(text, *args)

    def wait_for(self, condition, what, seconds=10):
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.03)
        raise AssertionError("the page never showed " + what)

    def offset(self, point):
        """The point of the window as an offset from the picture's centre, in the page's pixels."""
        zoom = self.script("return live.zoom")
        width, height = self.panel.size["width"], self.panel.size["height"]
        return point[0] * zoom + zoom / 2 - width / 2, point[1] * zoom + zoom / 2 - height / 2

    def click(self, point):
        x, y = self.offset(point)
        ActionChains(self.driver).move_to_element_with_offset(self.panel, x, y).click().perform()

    def hold(self, point, seconds):
        x, y = self.offset(point)
        actions = ActionChains(self.driver)
        actions.move_to_element_with_offset(self.panel, x, y).click_and_hold().pause(seconds).release().perform()

    def hover(self, point):
        x, y = self.offset(point)
        ActionChains(self.driver).move_to_element_with_offset(self.panel, x, y).perform()

    def region(self, box):
        """The shown picture's pixels in the box of the window, as a list of numbers."""
        return self.script("""
            const [x, y, w, h] = arguments[0];
            const panel = document.getElementById('panel');
            return Array.from(panel.getContext('2d').getImageData(x, y, w, h).data);""", list(box))

    def settled(self, bench):
        """Waits until the page has the bench's newest state and shows its picture."""
        version = bench.state(1 << 40)["version"]
        self.wait_for(lambda: self.script("return live.version") >= version, "the bench's state")
        self.wait_for(lambda: self.script("return live.shownPicture === live.picture"), "the newest picture")

    def set_variable(self, number, value):
        row = self.wait_for(lambda: self.driver.find_elements(By.CSS_SELECTOR, 'tr[data-id="%d"]' % number),
                            "variable %d" % number)[0]
        field = row.find_element(By.TAG_NAME, "input")
        # typed as a person types: the field's value, and the input event the page listens to
        self.script("arguments[0].value = arguments[1];"
                    "arguments[0].dispatchEvent(new Event('input', {bubbles: true}))", field, str(value))
        row.find_element(By.TAG_NAME, "button").click()

    def quit(self):
        self.driver.quit()
        shutil.rmtree(self.profile, ignore_errors=True)

    def press_and_keep(self, point):
        """The button pressed at the point and left down: no release follows."""
        x, y = self.offset(point)
        ActionChains(self.driver).move_to_element_with_offset(self.panel, x, y).click_and_hold().perform()

    def kill(self):
        """The browser ends as a crash ends it: every process of it killed by its id, the page given
        no chance to say anything; then its driver is ended by its own id."""
        driver = self.driver.service.process.pid
        for pid in descendants(driver):
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        process = self.driver.service.process
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait(timeout=10)
        shutil.rmtree(self.profile, ignore_errors=True)


def descendants(pid):
    """The ids of a process's children, theirs, and so on, from /proc."""
    parents = {}
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % name) as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        parents.setdefault(int(fields[1]), []).append(int(name))
    found, waiting = [], [pid]
    while waiting:
        for child in parents.get(waiting.pop(), []):
            found.append(child)
            waiting.append(child)
    return found


def gauge_session(work, script=None):
    """A bench serving the example window in a folder of its own with the demo's songs."""
    os.makedirs(os.path.join(work, "Sound"), exist_ok=True)
    subprocess.run([ARGS.songs, os.path.join(work, "Sound")], check=True, stdout=subprocess.DEVNULL)
    return Bench(work, script)


class LiveRadio(unittest.TestCase):
    """The radio pressed in the page."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(dir=ARGS.work, prefix="radio-")
        cls.bench = gauge_session(cls.work, [written for written, _ in ECHOED])
        cls.browser = Browser(cls.bench.url, cls.work)

    @classmethod
    def tearDownClass(cls):
        cls.browser.quit()
        cls.bench.stop()

    def test_0_the_trace_shows_its_lines_as_the_text_they_are(self):
        trace = self.browser.driver.find_element(By.ID, "trace")
        echoed = lambda: [line for line in trace.text.splitlines() if line.startswith("echo ")]
        self.browser.wait_for(lambda: len(echoed()) >= len(ECHOED), "the script's echo lines in the trace")
        self.assertEqual(echoed(), [read for _, read in ECHOED])
        self.assertEqual([line for line in self.bench.all_trace() if line.startswith("echo ")],
                         [read for _, read in ECHOED])

    def test_1_power_lights_the_display(self):
        off = self.browser.region(STATION_DISPLAY)
        self.browser.click(POWER)
        self.browser.wait_for(lambda: self.browser.region(STATION_DISPLAY) != off, "the display lit")
        self.assertIn("dsound play", self.bench.all_trace())

    def test_2_fm_preset_4_plays_song_4(self):
        self.browser.click(MODE_FM)
        self.browser.click(PRESET_4)
        playing = lambda: [song for song in self.bench.state(1 << 40)["songs"] if song["running"]]
        song = self.browser.wait_for(playing, "a song playing in the bench")[0]
        self.assertEqual(song["file"], ".\\Sound\\song4.wav")
        self.browser.wait_for(lambda: self.browser.script(
            "const audio = document.getElementById('song');"
            "return !audio.paused && audio.src.endsWith(arguments[0]) && audio.currentTime > 0", song["url"]),
            "the audio element playing " + song["url"])
        status, body = self.bench.request("GET", song["url"])
        self.assertEqual(status, 200)
        with open(os.path.join(self.work, "Sound", "song4.wav"), "rb") as file:
            self.assertEqual(body, file.read(), "the page plays the very file the graph renders")

    def test_3_holding_volume_down_turns_the_knob_and_the_music_volume_follows(self):
        self.browser.settled(self.bench)
        knob = self.browser.region(KNOB)
        seen = len(self.bench.all_trace())
        self.browser.hold(VOLUME_DOWN, 0.6)
        self.browser.settled(self.bench)
        self.assertNotEqual(self.browser.region(KNOB), knob, "the knob's needle moved")
        volumes = [int(line.split()[2]) for line in self.bench.all_trace()[seen:] if line.startswith("dshow volume")]
        self.assertGreaterEqual(len(volumes), 3, "the held button repeats")
        self.assertEqual(volumes, [-2150 - 150 * step for step in range(len(volumes))],
                         "each repeat a step of 1.5 dB down")
        song = [s for s in self.bench.state(1 << 40)["songs"] if s["running"]][0]
        self.assertEqual(song["volume"], volumes[-1])
        page_gain = self.browser.script("return document.getElementById('song').volume")
        self.assertAlmostEqual(page_gain, 10 ** (volumes[-1] / 2000), places=3)

    def test_4_the_tooltip_is_the_modules(self):
        self.browser.hover(POWER)
        self.browser.wait_for(lambda: self.browser.driver.find_element(By.ID, "tooltip").text == "Power On/Off (on)",
                              "the power button's tooltip")
        self.browser.hover(PRESET_4)
        self.browser.wait_for(lambda: self.browser.driver.find_element(By.ID, "tooltip").text == "FM Radio Preset 4",
                              "preset 4's tooltip")
        self.assertEqual(self.browser.panel.value_of_css_property("cursor"), "pointer")

    def test_5_every_click_of_the_gauge_sounds_once_in_the_page(self):
        self.browser.settled(self.bench)
        plays = self.bench.all_trace().count("dsound play")
        self.assertEqual(plays, 3, "power, FM and preset 4 click; the volume button does not")
        self.browser.wait_for(lambda: self.browser.script("return live.clickPlays") == plays, "three clicks played")
        self.browser.driver.save_screenshot(os.path.join(ARGS.work, "live-radio.png"))


class LiveAutopilot(unittest.TestCase):
    """The switches' decision table pressed in the page, against the same steps as a script."""

    def test_the_decision_table_through_the_page_equals_the_script_run(self):
        work = tempfile.mkdtemp(dir=ARGS.work, prefix="autopilot-")
        bench = gauge_session(work)
        browser = Browser(bench.url, work)
        script = []
        try:
            engage = inhibit = 0

            def set_variable(number, value):
                browser.set_variable(number, value)
                browser.wait_for(lambda: bench.state(1 << 40)["variables"].get(str(number)) == value,
                                 "variable %d set" % number)
                script.append("var %d %d" % (number, value))

            def frame():
                bench.wait_frames(2)
                script.append("frame")

            def click(point):
                browser.click(point)
                script.append("click %d %d" % point)

            for switch, master, (mode_106, mode_108), engage_after, inhibit_after in DECISION_ROWS:
                # the levers moved where the row needs them while the master is off: no events
                set_variable(103, 0)
                frame()
                want_engage = 1 - engage_after if switch == "engage" else engage_after
                want_inhibit = 1 - inhibit_after if switch == "inhibit" else inhibit_after
                if engage != want_engage:
                    click(ENGAGE)
                    engage = want_engage
                if inhibit != want_inhibit:
                    click(INHIBIT)
                    inhibit = want_inhibit
                frame()
                for number, value in ((103, master), (106, mode_106), (108, mode_108)):
                    set_variable(number, value)
                frame()
                click({"master": MASTER, "engage": ENGAGE, "inhibit": INHIBIT}[switch])
                if switch == "engage":
                    engage = engage_after
                if switch == "inhibit":
                    inhibit = inhibit_after
                frame()
            bench.wait_frames(2)
            page_keys = browser.script("return live.keys")
        finally:
            browser.quit()
            bench.stop()
        run = subprocess.run([ARGS.bench, "--cwd", work, "--panel", ARGS.panel, "--gauges", ARGS.gauges],
                             input="\n".join(script) + "\n", capture_output=True, text=True, check=True)
        script_keys = [line[4:] for line in run.stdout.splitlines() if line.startswith("key ")]
        self.assertGreater(len(script_keys), 12)
        self.assertEqual(page_keys, script_keys)


class LiveHold(unittest.TestCase):
    """A button held in the page: renewed while the page lives, let go when it dies mid-hold."""

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(dir=ARGS.work, prefix="hold-")
        cls.bench = gauge_session(cls.work)

    @classmethod
    def tearDownClass(cls):
        cls.bench.stop()

    def volumes(self, lines):
        return [int(line.split()[2]) for line in lines if line.startswith("dshow volume")]

    def test_1_a_hold_longer_than_the_let_go_stays_down_while_the_page_renews_it(self):
        browser = Browser(self.bench.url, self.work)
        try:
            browser.click(POWER)
            browser.click(MODE_FM)
            browser.settled(self.bench)
            seen = len(self.bench.all_trace())
            browser.press_and_keep(VOLUME_UP)
            browser.wait_for(lambda: self.bench.state(1 << 40)["pressed"], "the bench holding the button")
            pressed_at = time.time()
            # Past the bench's two seconds without a renewal: the page's renewals keep it down.
            time.sleep(3.0)
            self.assertTrue(self.bench.state(1 << 40)["pressed"],
                            "held %.1f s in a live page, the button was let go" % (time.time() - pressed_at))
            ActionChains(browser.driver).release().perform()
            browser.wait_for(lambda: not self.bench.state(1 << 40)["pressed"], "the release in the bench")
            self.assertGreater(len(self.volumes(self.bench.all_trace()[seen:])), 0, "the held button repeated")
        finally:
            browser.quit()

    def test_2_a_browser_that_dies_mid_hold_leaves_no_button_repeating(self):
        browser = Browser(self.bench.url, self.work)
        browser.settled(self.bench)
        seen = len(self.bench.all_trace())
        try:
            browser.press_and_keep(VOLUME_DOWN)
            browser.wait_for(lambda: self.bench.state(1 << 40)["pressed"], "the bench holding the button")
        finally:
            browser.kill()
        killed_at = time.time()
        deadline = killed_at + 3
        while self.bench.state(1 << 40)["pressed"]:
            self.assertLess(time.time(), deadline, "the button still held 3 s after the browser died")
            time.sleep(0.05)
        let_go_after = time.time() - killed_at
        repeats = self.volumes(self.bench.all_trace()[seen:])
        # The volume had room to go lower: the repeats stopped because the button was let go.
        self.assertGreater(len(repeats), 3, "the held button repeated")
        self.assertGreater(repeats[-1], -10000, "the volume reached silence before the let-go")
        self.bench.wait_frames(10)
        self.assertEqual(self.volumes(self.bench.all_trace()[seen:]), repeats,
                         "the button repeats after it was let go")
        print("\nlet go %.2f s after the browser died, after %d repeats" % (let_go_after, len(repeats) - 1),
              file=sys.stderr)


class LiveRequests(unittest.TestCase):
    """Requests that do not fit, a browser that goes away, and the end of the panel."""

    def test_requests_that_do_not_fit_get_one_line_and_change_nothing(self):
        work = tempfile.mkdtemp(dir=ARGS.work, prefix="requests-")
        bench = gauge_session(work)
        try:
            bench.wait_frames(2)
            refusals = [
                ("GET", "/../../etc/passwd", None, 404),
                ("GET", "/song/..%2F..%2Fetc%2Fpasswd", None, 404),
                ("GET", "/Sound/song4.wav", None, 404),
                ("POST", "/press?x=5000&y=1", b"", 400),
                ("POST", "/press?x=one&y=1", b"", 400),
                ("POST", "/press?x=453&y=33", b"x" * 5000, 413),
                ("GET", "/press?x=453&y=33", None, 405),
            ]
            for method, path, body, status in refusals:
                before = bench.state(1 << 40)
                code, text = bench.request(method, path, body)
                self.assertEqual(code, status, path)
                lines = text.decode("utf-8").split("\n")
                self.assertEqual(len(lines), 2, "one line of reason: %r" % text)
                self.assertEqual(lines[1], "")
                self.assertTrue(lines[0], path)
                after = bench.state(1 << 40)
                self.assertEqual([after["picture"], after["sounds"], after["pressed"]],
                                 [before["picture"], before["sounds"], before["pressed"]], path)
        finally:
            self.assertEqual(bench.stop(), 0)

    def test_a_browser_that_goes_away_leaves_the_panel_running_and_sigterm_ends_it_cleanly(self):
        work = tempfile.mkdtemp(dir=ARGS.work, prefix="ending-")
        bench = gauge_session(work)
        browser = Browser(bench.url, work)
        browser.click(POWER)
        browser.wait_for(lambda: "dsound play" in bench.all_trace(), "the click in the bench")
        browser.quit()
        bench.wait_frames(5)
        self.assertIsNone(bench.process.poll(), "the panel runs on without its page")
        self.assertEqual(bench.stop(), 0, "SIGTERM ends the panel with status 0")
        with open(bench.trace_path) as trace:
            lines = trace.read().splitlines()
        # The kill ran: the radio closed the mixer's line and the CD, and stopped its music player.
        self.assertEqual(lines[-3:], ["mci-command 0x808 0x0 -> 0", "mci-command 0x804 0x0 -> 0", "dshow stop"])
        leftovers = [name for name in os.listdir(work) if name.startswith("Res")]
        self.assertEqual(leftovers, [], "no temporary file is left")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--bench", required=True)
    parser.add_argument("--gauges", required=True)
    parser.add_argument("--panel", required=True)
    parser.add_argument("--songs", required=True)
    parser.add_argument("--work", required=True)
    ARGS, rest = parser.parse_known_args()
    shutil.rmtree(ARGS.work, ignore_errors=True)
    os.makedirs(ARGS.work)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
