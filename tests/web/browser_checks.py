"""What the web app's browser tests share: the server, headless Chromium, the
failures, axe-core, the layout checks and going offline."""

import argparse
import collections
import contextlib
import functools
import http.server
import pathlib
import re
import subprocess
import sys
import tempfile
import threading

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

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

    def do_GET(self):
        self.server.requests[self.path.split("?")[0]] += 1
        super().do_GET()

    def log_message(self, *args):
        pass


class Server:
    """The folder on a free loopback port; `requests` counts the GETs of each path."""

    def __init__(self, folder):
        handler = functools.partial(Files, directory=str(folder))
        self.http = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.requests = self.http.requests = collections.Counter()
        self.url = "http://127.0.0.1:%d/" % self.http.server_address[1]
        threading.Thread(target=self.http.serve_forever, daemon=True).start()

    def stop(self):
        self.http.shutdown()
        self.http.server_close()


def run_checks(doc, page, steps):
    """Serves WEB_FOLDER and runs steps(args, axe, server, browser, profile) in one
    Chromium on a new profile; exits with 1 after any failure."""
    parser = argparse.ArgumentParser(description=doc.splitlines()[0])
    for name in ["folder", "calc", "axe", "--screenshot"]:
        parser.add_argument(name)
    args = parser.parse_args()
    for path, what in [(args.calc, "build the default preset first"),
                       (args.axe, "run scripts/setup.sh, which installs axe-core with npm ci in tests/web"),
                       (pathlib.Path(args.folder) / page, "build the wasm preset first")]:
        if not pathlib.Path(path).is_file():
            sys.exit("%s is missing: %s" % (path, what))
    server = Server(args.folder)
    with tempfile.TemporaryDirectory() as profile:
        browser = open_browser(profile)
        try:
            steps(args, pathlib.Path(args.axe).read_text(encoding="utf-8"), server, browser, profile)
        finally:
            with contextlib.suppress(Exception):  # a check may have killed it
                browser.quit()
            server.stop()
    print("%d failures" % len(failures))
    sys.exit(1 if failures else 0)


def run_calc(calc, *args, **options):
    """moravik-calc run with `args`: its exit status and its output as texts."""
    return subprocess.run([calc, *args], capture_output=True, encoding="utf-8", timeout=120, check=False, **options)


def golden_sections(path):
    """A golden text's sections: after each "== NAME" line, its lines up to the next."""
    sections = re.split(r"^== (.*)\n", path.read_text(encoding="utf-8"), flags=re.M)[1:]
    return {name: text.splitlines() for name, text in zip(sections[::2], sections[1::2])}


def open_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in CHROMIUM_ARGUMENTS + ["--user-data-dir=" + profile]:
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    browser.set_script_timeout(60)
    set_viewport(browser, 360, 740)
    return browser


def set_viewport(browser, width, height, scale=1, dark=False):
    browser.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": scale, "mobile": width < 600})
    browser.execute_cdp_cmd("Emulation.setEmulatedMedia", {
        "features": [{"name": "prefers-color-scheme", "value": "dark" if dark else "light"}]})


def page_state(browser, key="ready"):
    """What the page says of itself in <html data-KEY>: "true" once started, the log "loaded"."""
    return browser.execute_script("return document.documentElement.dataset[arguments[0]]", key)


def wait_ready(browser, url=None, key="ready", value="true"):
    """Opens `url` if given, and waits for the page to say it has started."""
    if url:
        browser.get(url)
    WebDriverWait(browser, 30).until(lambda b: page_state(b, key) == value)


def wait_for(browser, condition, what, seconds=10):
    try:
        WebDriverWait(browser, seconds).until(lambda b: condition())
        return True
    except Exception:  # noqa: BLE001 - reported as a failure below
        return check(False, what)


def text_of(browser, element_id):
    return browser.execute_script("return document.getElementById(arguments[0]).textContent", element_id)


def type_into(browser, element_id, text):
    """Replaces the field's text key by key, as a racer does."""
    field = browser.find_element(By.ID, element_id)
    field.click()
    field.send_keys(Keys.CONTROL, "a")
    field.send_keys(Keys.BACKSPACE)
    if text:
        field.send_keys(text)


def press(browser, *keys):
    ActionChains(browser).send_keys(*keys).perform()


def tab_to(browser, wanted, most=60):
    """Presses Tab until the element with the id or text `wanted` has the focus."""
    for _ in range(most):
        active = browser.switch_to.active_element
        if wanted in (active.get_attribute("id"), active.text):
            return True
        press(browser, Keys.TAB)
    return check(False, "Tab does not reach %r" % wanted)


def run_axe(browser, axe, what):
    browser.execute_script(axe)
    violations = browser.execute_async_script("""
        const done = arguments[0];
        axe.run(document, {runOnly: {type: "tag", values: ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa"]},
                           rules: {"landmark-unique": {enabled: true}}})
            .then((r) => done(r.violations.map((v) => v.id + ": " + v.help + " (" +
                                                v.nodes.map((n) => n.target.join(" ")).join(", ") + ")")),
                  (e) => done(["axe failed: " + e]));""")
    check(violations == [], "axe, %s: %s" % (what, violations))


def layout_fits(browser, width, what, targets, inside=None):
    """No sideways scroll (a phone widens to its content, so the device's width),
    `targets` at least 44 px each way, and `inside` within the viewport."""
    widths = browser.execute_script("return [document.documentElement.scrollWidth, window.innerWidth]")
    check(widths[0] <= width and widths[1] == width, "%s: sideways scroll, %d px wide in %d" % (what, *widths))
    if inside:
        outside = browser.execute_script("""
            return [...document.querySelectorAll(arguments[0])].filter((e) => {
                const box = e.getBoundingClientRect();
                return box.left < 0 || box.right > window.innerWidth; }).map((e) => e.textContent || e.id)""", inside)
        check(outside == [], "%s: outside the viewport: %s" % (what, outside))
    small = browser.execute_script("""
        return [...document.querySelectorAll(arguments[0])].filter((e) => e.getClientRects().length)
            .filter((e) => { const b = e.getBoundingClientRect(); return b.height < 44 || b.width < 44; })
            .map((e) => e.id || e.textContent)""", targets)
    check(small == [], "%s: touch targets under 44 px: %s" % (what, small))


def live_regions(browser, what, figures="#results dd"):
    """Empty alert and status regions stay in the accessibility tree, and no live
    region holds the figures, which it would read out on every keystroke."""
    hidden, spoken = browser.execute_script("""
        const live = [...document.querySelectorAll(
            "[aria-live]:not([aria-live=off]), [role=alert], [role=status], [role=log]")];
        return [live.filter((e) => getComputedStyle(e).display === "none").map((e) => e.id),
                [...document.querySelectorAll(arguments[0])].filter((f) => live.some((l) => l.contains(f))).length]""",
                                            figures)
    check(hidden == [], "%s: regions out of the accessibility tree: %s" % (what, hidden))
    check(spoken == 0, "%s: %d figures in a live region" % (what, spoken))


def minus_sign_keypads(browser, selector, what):
    """Fields for figures below zero: not an iPhone's decimal or numeric keypad, which has no minus."""
    modes = browser.execute_script(
        "return [...document.querySelectorAll(arguments[0])].map((e) => e.inputMode)", selector)
    check(len(modes) >= 2 and not set(modes) & {"decimal", "numeric"},
          "%s: a keypad without a minus sign: %s" % (what, modes))


def phone_screenshot(browser, path, show):
    """A phone-sized picture at twice the pixels, of what show() brings into view."""
    set_viewport(browser, 360, 740, scale=2)
    show()
    path = pathlib.Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(browser.get_screenshot_as_png())
    set_viewport(browser, 360, 740)


def only_own_origin(browser, what):
    others = browser.execute_script("""
        return performance.getEntriesByType("resource").map((e) => e.name)
            .filter((u) => new URL(u).origin !== location.origin)""")
    check(others == [], "%s: requests to other sites: %s" % (what, others))
    errors = [entry["message"] for entry in browser.get_log("browser") if entry["level"] == "SEVERE"
              or "Content Security Policy" in entry["message"]]
    check(errors == [], "%s: console errors: %s" % (what, errors))


def reload_offline(browser, server, what):
    """Stops the server once the service worker caches all the page loaded, and reloads: started?"""
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
    browser.refresh()
    return wait_for(browser, lambda: page_state(browser) == "true",
                    "offline: %s did not start from the cache (cached: %s)" % (what, cached), 30)
