"""The web calculator in headless Chromium, used as a racer would use it.

    /usr/bin/python3 check_page.py WEB_FOLDER MORAVIK_CALC AXE_MIN_JS [--screenshot PNG]

Serves the built folder from a local HTTP server on a free loopback port and
drives Debian's chromium through chromium-driver and python3-selenium:
  - at 360x740 and 1280x800, types inputs key by key and requires the 31 texts
    `moravik-calc --json` gives for the same inputs, with no sideways scroll;
  - letters, 1e308 and an empty field give the main window's fault message and
    leave every result as it was;
  - axe-core finds no WCAG 2.1 AA violation, light and dark;
  - after one visit, with the server stopped, a reload still calculates;
  - no request leaves the page's own origin and the console shows no error.
"""

import argparse
import functools
import http.server
import json
import pathlib
import subprocess
import sys
import tempfile
import threading
import urllib.error
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

OPTIONS = {"njt": "--nitrous-jet", "flp": "--fuel-pressure", "nbp": "--bottle-pressure",
           "jtn": "--nozzles", "draghp": "--hp", "vweight": "--weight", "altitudeDD": "--track"}

# What racers type; a missing field keeps the page's text.
TYPED = [
    {},
    {"njt": ".045", "flp": "45", "nbp": "950", "jtn": "2", "draghp": "350", "vweight": "3200",
     "altitudeDD": "Denver, CO  5800"},
    {"njt": ".062", "jtn": "8", "draghp": "540", "vweight": "3,450", "altitudeDD": "Julesburg, CO  3500"},
    {"flp": "43psi", "nbp": "1100", "draghp": "155.5", "vweight": "2210"},
]

# Bad input after the first TYPED case; the expected answer is moravik-calc's.
BAD = [{"vweight": "abc"}, {"njt": "1e308"}, {"draghp": ""}]

# How the main window words a fault.
FAULT_MESSAGES = {
    "division by zero": "Division by zero.\nThe calculation stopped; every result keeps its previous value.",
    "overflow": "Overflow.\nThe calculation stopped; every result keeps its previous value.",
    "invalid argument": "Invalid argument.\nThe calculation stopped; every result keeps its previous value.",
}

# Where the racer finds each result: heading, formula, label. These are the
# main window's meanings of the moravik-calc --json keys.
PLACES = {
    "TextBox1": ("Fuel jets", "", "Fuel jet"),
    "Textbox2": ("Fuel jets", "", "Standard jet size"),
    "Textbox5": ("Fuel jets", "", "Holley jet #"),
    "TextBox3": ("Horsepower", "", "Calculated nitrous HP"),
    "Textbox4": ("Horsepower", "", "Nitrous HP to wheels"),
    "Totalhp": ("Horsepower", "", "Total HP with nitrous"),
    "TotalHPn": ("Horsepower", "", "HP with N2O to wheels"),
}
for formula, et, etn, mph, mphn, alt, alt_mph in [
        ("Huntington", "huntet", "huntetn", "huntmph", "huntmphn", "huntalt", "HuntaltMPH"),
        ("Fox", "foxet", "foxetn", "foxmph", "foxmphn", "foxalt", "FoxAltMPH"),
        ("Hale", "haleet", "haleetn", "halemph", "halemphn", "halealt", "HaleAltMPH"),
        ("Lucius-RoadTrack (LRT)", "lrtet", "lrtetn", "lrtmph", "lrtmphn", "lrtalt", "lrtAltMPH")]:
    PLACES.update({
        et: ("Quarter mile", formula, "Estimated 1/4 mile time"),
        etn: ("Quarter mile", formula, "1/4 mile time w/Nitrous"),
        mph: ("Quarter mile", formula, "Estimated MPH"),
        mphn: ("Quarter mile", formula, "MPH w/Nitrous"),
        alt: ("Altitude adjusted", formula, "Altitude adjusted time"),
        alt_mph: ("Altitude adjusted", formula, "Altitude adjusted MPH"),
    })

CHROMIUM_ARGUMENTS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                      "--disable-background-networking", "--disable-component-update", "--disable-sync",
                      "--disable-dev-shm-usage"]

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)
    return condition


class Files(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".wasm": "application/wasm", ".webmanifest": "application/manifest+json"}

    # Offline, only the service worker may answer, not the browser's HTTP cache.
    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


class Server:
    def __init__(self, folder):
        handler = functools.partial(Files, directory=str(folder))
        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = "http://127.0.0.1:%d/" % self.http.server_address[1]
        threading.Thread(target=self.http.serve_forever, daemon=True).start()

    def stop(self):
        self.http.shutdown()
        self.http.server_close()


def desktop_answer(calc, texts):
    command = [calc, "--json", "--quiet"]
    for name, text in texts.items():
        if name != "altitudeDD" or text:
            command += [OPTIONS[name], text]
    run = subprocess.run(command, capture_output=True, timeout=60, check=False, text=True)
    return json.loads(run.stdout)


def open_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in CHROMIUM_ARGUMENTS + ["--user-data-dir=" + profile]:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    browser.set_script_timeout(60)
    return browser


def set_viewport(browser, width, height, scale=1, dark=False):
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": scale, "mobile": width < 600})
    browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {
        "features": [{"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})


def wait_ready(browser):
    WebDriverWait(browser, 30).until(
        lambda b: b.execute_script("return document.documentElement.dataset.ready === 'true'"))


def page_results(browser, names):
    """The results by what the page labels them, as moravik-calc's keys."""
    shown = browser.execute_script("""
        return [...document.querySelectorAll("#results dd")].map((value) => {
            const formula = value.closest(".formula");
            const group = formula ? formula.parentElement : value.closest("dl");
            return [group.previousElementSibling.textContent,
                    formula ? formula.querySelector("h3").textContent : "",
                    value.previousElementSibling.textContent,
                    value.firstElementChild.textContent];
        })""")
    by_place = {tuple(row[:3]): row[3] for row in shown}
    check(len(by_place) == len(shown) == len(PLACES), "%d results in %d places, %d expected"
          % (len(shown), len(by_place), len(PLACES)))
    return {name: by_place.get(PLACES[name]) for name in names}


def fault_text(browser):
    return browser.execute_script("return document.getElementById('fault').textContent")


def type_into(browser, name, text):
    field = browser.find_element(By.ID, name)
    if name == "altitudeDD":
        Select(field).select_by_value(text)
        return
    field.click()
    field.send_keys(Keys.CONTROL, "a")
    field.send_keys(Keys.BACKSPACE)
    if text:
        field.send_keys(text)


def wait_for(browser, condition, what):
    try:
        WebDriverWait(browser, 10).until(lambda b: condition())
        return True
    except Exception:  # noqa: BLE001 - reported as a failure below
        return check(False, what)


def racer_types(browser, calc, size, width):
    texts = dict(desktop_answer_defaults)
    for typed in TYPED:
        for name, text in typed.items():
            type_into(browser, name, text)
        texts.update(typed)
        expected = desktop_answer(calc, texts)["fields"]
        if not wait_for(browser, lambda: page_results(browser, list(expected)) == expected and
                        fault_text(browser) == "", "%s: %s" % (size, json.dumps(typed))):
            shown = page_results(browser, list(expected))
            for name in expected:
                if shown[name] != expected[name]:
                    print("  %s: page %r, moravik-calc %r" % (name, shown[name], expected[name]))
    # Every result lies inside the viewport, and nothing scrolls sideways.
    outside = browser.execute_script("""
        return [...document.querySelectorAll("#results dd, #results dt")].filter((e) => {
            const box = e.getBoundingClientRect();
            return box.left < 0 || box.right > window.innerWidth; }).map((e) => e.textContent)""")
    check(outside == [], "%s: results outside the viewport: %s" % (size, outside))
    # A phone widens its layout to fit wider content, so the width is the device's.
    widths = browser.execute_script(
        "return [document.documentElement.scrollWidth, window.innerWidth]")
    check(widths[0] <= width and widths[1] == width,
          "%s: sideways scroll, %d px wide in %d" % (size, *widths))
    return texts


def bad_input(browser, calc, texts, axe):
    for bad in BAD:
        # Typed key by key, the last text that calculated sets the kept results.
        ((name, text),) = bad.items()
        before = page_results(browser, RESULT_NAMES)
        for end in range(len(text) + 1):
            answer = desktop_answer(calc, {**texts, name: text[:end]})
            if "fields" in answer:
                before = answer["fields"]
        type_into(browser, name, text)
        if check("fault" in answer, "moravik-calc gives no fault for %s" % json.dumps(bad)):
            message = FAULT_MESSAGES[answer["fault"]]
            wait_for(browser, lambda: fault_text(browser) == message,
                     "%s: not the message %r but %r" % (json.dumps(bad), message, fault_text(browser)))
            check(page_results(browser, RESULT_NAMES) == before,
                  "%s: results changed under a fault" % json.dumps(bad))
            browser.find_element(By.ID, "cal").click()
            check(fault_text(browser) == message, "%s: Calculate loses the message" % json.dumps(bad))
            run_axe(browser, axe, "with a fault shown")
        type_into(browser, name, texts[name])
        wait_for(browser, lambda: fault_text(browser) == "", "the fault stays after %s" % json.dumps(bad))


def run_axe(browser, axe, what):
    browser.execute_script(axe)
    violations = browser.execute_async_script("""
        const done = arguments[0];
        axe.run(document, {runOnly: {type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"]}})
            .then((r) => done(r.violations.map((v) => v.id + ": " + v.help + " (" +
                                                v.nodes.map((n) => n.target.join(" ")).join(", ") + ")")),
                  (e) => done(["axe failed: " + e]));""")
    check(violations == [], "axe, %s: %s" % (what, violations))


def only_own_origin(browser, what):
    others = browser.execute_script("""
        return performance.getEntriesByType("resource").map((e) => e.name)
            .filter((u) => new URL(u).origin !== location.origin)""")
    check(others == [], "%s: requests to other sites: %s" % (what, others))
    errors = [entry["message"] for entry in browser.get_log("browser") if entry["level"] == "SEVERE"
              or "Content Security Policy" in entry["message"]]
    check(errors == [], "%s: console errors: %s" % (what, errors))


def go_offline(browser, server):
    """Stops the server once everything the page loaded is in the service
    worker's cache; gives the cached paths."""
    cached = browser.execute_async_script("""
        const done = arguments[0];
        navigator.serviceWorker.ready
            .then(() => caches.keys())
            .then((names) => Promise.all(names.map((n) => caches.open(n).then((c) => c.keys()))))
            .then((lists) => done(lists.flat().map((r) => new URL(r.url).pathname)), (e) => done(String(e)));""")
    WebDriverWait(browser, 30).until(
        lambda b: b.execute_script("return navigator.serviceWorker.controller !== null"))
    loaded = browser.execute_script("""
        return [location.pathname, ...performance.getEntriesByType("resource")
            .map((e) => new URL(e.name).pathname)]""")
    check(set(loaded) <= set(cached), "offline: loaded but not cached: %s"
          % sorted(set(loaded) - set(cached)))
    server.stop()
    try:
        urllib.request.urlopen(server.url, timeout=5)
        check(False, "the server still answers after stopping")
    except (urllib.error.URLError, OSError):
        pass
    return cached


def offline_reload(browser, server, calc):
    cached = go_offline(browser, server)
    browser.refresh()
    try:
        wait_ready(browser)
    except Exception:  # noqa: BLE001
        check(False, "offline: the page did not start from the cache (cached: %s)" % cached)
        return
    texts = dict(desktop_answer_defaults)
    typed = {"njt": ".051", "vweight": "2875", "altitudeDD": "Denver, CO  5800"}
    for name, text in typed.items():
        type_into(browser, name, text)
    texts.update(typed)
    expected = desktop_answer(calc, texts)["fields"]
    wait_for(browser, lambda: page_results(browser, list(expected)) == expected,
             "offline: the results differ from moravik-calc's")


def arguments(description, page):
    """WEB_FOLDER MORAVIK_CALC AXE_MIN_JS [--screenshot PNG], each checked to
    be there; gives them and axe-core's script."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("folder")
    parser.add_argument("calc")
    parser.add_argument("axe")
    parser.add_argument("--screenshot")
    args = parser.parse_args()
    for path, what in [(args.calc, "build the default preset first"),
                       (args.axe, "run scripts/setup.sh, which installs axe-core with npm ci in tests/web"),
                       (pathlib.Path(args.folder) / page, "build the wasm preset first")]:
        if not pathlib.Path(path).is_file():
            sys.exit("%s is missing: %s" % (path, what))
    return args, pathlib.Path(args.axe).read_text(encoding="utf-8")


def main():
    global desktop_answer_defaults, RESULT_NAMES
    args, axe = arguments(__doc__.splitlines()[0], "index.html")
    desktop_answer_defaults = {"njt": ".030", "flp": "43", "nbp": "900", "jtn": "1", "draghp": "210",
                               "vweight": "2562", "altitudeDD": ""}
    RESULT_NAMES = list(desktop_answer(args.calc, {})["fields"])
    tracks = subprocess.run([args.calc, "--tracks"], capture_output=True, text=True, check=True,
                            timeout=60).stdout.split("\n")[:-1]

    server = Server(args.folder)
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser(profile)
        try:
            for width, height in [(360, 740), (1280, 800)]:
                size = "%dx%d" % (width, height)
                set_viewport(browser, width, height)
                browser.get(server.url)
                wait_ready(browser)
                inputs = browser.execute_script("""return ["njt", "flp", "nbp", "jtn", "draghp", "vweight"]
                    .map((n) => document.getElementById(n).value)""")
                check(inputs == [".030", "43", "900", "1", "210", "2562"], "initial texts: %s" % inputs)
                options = browser.execute_script(
                    "return [...document.getElementById('altitudeDD').options].slice(1).map((o) => o.value)")
                check(options == tracks, "%s: the strip list differs from moravik-calc --tracks" % size)
                texts = racer_types(browser, args.calc, size, width)
                run_axe(browser, axe, size + " light")
                if width == 360:
                    bad_input(browser, args.calc, texts, axe)
                    browser.get(server.url)
                    wait_ready(browser)
                    if args.screenshot:
                        set_viewport(browser, width, height, scale=2)
                        browser.execute_script("window.scrollTo(0, 0)")
                        pathlib.Path(args.screenshot).write_bytes(browser.get_screenshot_as_png())
                else:
                    set_viewport(browser, width, height, dark=True)
                    run_axe(browser, axe, size + " dark")
                only_own_origin(browser, size)
            offline_reload(browser, server, args.calc)
        finally:
            browser.quit()
            server.stop()
    print("%d failures" % len(failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
