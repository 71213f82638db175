"""The web calculator in headless Chromium, as a racer uses it, against the native moravik-calc.
What it checks, and why: CONTRIBUTING.md (The web app's tests)."""

import json
import pathlib
import re
import shutil
import sys
import tempfile

from selenium.webdriver.common.by import By
from selenium.webdriver.support.ui import Select

from browser_checks import (Server, check, layout_fits, live_regions, only_own_origin, phone_screenshot,
                            reload_offline, run_axe, run_calc, run_checks, set_viewport, text_of, type_into, wait_for,
                            wait_ready)

GOLDEN = pathlib.Path(__file__).resolve().parent / "golden"
sys.path.insert(0, str(GOLDEN.parents[1] / "reference"))
from check_batch import generated_cases  # noqa: E402
from moravik_reference import INITIAL_TEXTS  # noqa: E402

OPTIONS = {"njt": "--nitrous-jet", "flp": "--fuel-pressure", "nbp": "--bottle-pressure",
           "jtn": "--nozzles", "draghp": "--hp", "vweight": "--weight", "altitudeDD": "--track"}

# report_denver.txt's inputs (tests/cli/golden), typed over the page's initial texts.
DENVER = {"njt": ".118", "flp": "43", "nbp": "900", "jtn": "2", "draghp": "350", "vweight": "3200",
          "altitudeDD": "Denver, CO  5800"}

# Bad input after DENVER; the expected answer is moravik-calc's.
BAD = [{"vweight": "abc"}, {"njt": "1e308"}, {"draghp": ""}]

FAULT_MESSAGE = "%s.\nThe calculation stopped; the results stay blank until the inputs calculate."

# Texts not read as typed: the note or refusal beside the field, and the text meant (None: refused).
READINGS = [
    ("njt", "0,045", ".045"),  # a decimal-comma keypad's jet
    ("vweight", "3,200", None),  # thousands or a decimal: refused
    ("altitudeDD", "DIVISION 5  ", "DIVISION 5  "),  # a heading: the altitude values stay 0
]

# The results as the racer reads them: headings, formulas, and each label with its figure and unit.
RESULTS_TEXT = """
    return [...document.querySelectorAll("#results :is(h2, h3, dt)")].map((e) => e.tagName !== "DT" ? e.textContent
        : (e.textContent + ":" + [...e.nextElementSibling.children].map((c) => " " + c.textContent).join("")).trimEnd())
        .join("\\n") + "\\n";"""


def desktop_run(calc, texts, *options):
    command = ["--json", *options]
    for name, text in texts.items():
        if name != "altitudeDD" or text:
            command += [OPTIONS[name], text]
    return run_calc(calc, *command)


def desktop_answer(calc, texts, comma="--decimal-comma"):
    """moravik-calc's answer, a comma read as the page reads it unless `comma` is None."""
    return json.loads(desktop_run(calc, texts, "--quiet", *([comma] if comma else [])).stdout)


def shown(browser):
    """The result figures by the engine's field names, which name their boxes."""
    return browser.execute_script("""return Object.fromEntries([...document.querySelectorAll(
        "#results dd > span:first-child")].map((e) => [e.id, e.textContent]))""")


def type_or_choose(browser, name, text):
    if name == "altitudeDD":
        Select(browser.find_element(By.ID, name)).select_by_value(text)
    else:
        type_into(browser, name, text)


def types_denver(browser, what):
    """Types DENVER key by key: the page must read as the golden text."""
    for name, text in DENVER.items():
        type_or_choose(browser, name, text)
    golden = (GOLDEN / "calculator_denver.txt").read_text(encoding="utf-8")
    if not wait_for(browser, lambda: browser.execute_script(RESULTS_TEXT) == golden, what + ": not the golden results"):
        print(browser.execute_script(RESULTS_TEXT))


def readings(browser, calc, axe):
    for name, typed, meant in READINGS:
        what = "%s %r" % (name, typed)
        type_or_choose(browser, name, typed)
        run = desktop_run(calc, {**INITIAL_TEXTS, name: typed}, "--decimal-comma")
        said = run.stderr.splitlines()[0].split(" ", 2)[2] if run.stderr else "no note"
        wait_for(browser, lambda: text_of(browser, name + "-reading") == said,
                 "%s: beside the field %r, not moravik-calc's %r" % (what, text_of(browser, name + "-reading"), said))
        if meant is None:
            check(run.returncode == 2 and "write " in said, "%s: moravik-calc reads it: %s" % (what, said))
            wait_for(browser, lambda: said in text_of(browser, "fault") and set(shown(browser).values()) == {""},
                     "%s: refused, yet the fault says %r or results stay" % (what, text_of(browser, "fault")))
        else:
            expected = desktop_answer(calc, {**INITIAL_TEXTS, name: meant}, comma=None)["fields"]
            wait_for(browser, lambda: shown(browser) == expected,
                     "%s: not the figures of %r" % (what, meant))
        layout_fits(browser, 360, what, targets="main input, main select, main button")
        type_or_choose(browser, name, INITIAL_TEXTS[name])
        wait_for(browser, lambda: text_of(browser, name + "-reading") == "", "%s: the note stays" % what)
    run_axe(browser, axe, "after the readings")


def bad_input(browser, calc, axe):
    texts = {**INITIAL_TEXTS, **DENVER}
    for bad in BAD:
        ((name, text),) = bad.items()
        answer = desktop_answer(calc, {**texts, name: text})
        type_or_choose(browser, name, text)
        if check("fault" in answer, "moravik-calc gives no fault for %s" % json.dumps(bad)):
            message = FAULT_MESSAGE % answer["fault"].capitalize()
            wait_for(browser, lambda: text_of(browser, "fault") == message,
                     "%s: not the message %r but %r" % (json.dumps(bad), message, text_of(browser, "fault")))
            check(set(shown(browser).values()) == {""},
                  "%s: old results stay under a fault" % json.dumps(bad))
            browser.find_element(By.ID, "cal").click()
            check(text_of(browser, "fault") == message, "%s: Calculate loses the message" % json.dumps(bad))
            if bad is BAD[0]:
                run_axe(browser, axe, "with a fault shown")
        type_or_choose(browser, name, texts[name])
        wait_for(browser, lambda: text_of(browser, "fault") == "", "the fault stays after %s" % json.dumps(bad))


def new_builds(browser, folder):
    """A first visit, then a second build on another origin: it waits for Reload."""
    with tempfile.TemporaryDirectory() as temporary:
        app = pathlib.Path(temporary) / "app"
        shutil.copytree(folder, app)
        server = Server(app)
        try:
            set_viewport(browser, 360, 740)
            wait_ready(browser, server.url)
            wait_for(browser, lambda: browser.execute_script("return navigator.serviceWorker.controller !== null"),
                     "no service worker controls the page")
            fetched = {name: server.requests["/" + name] for name in ["moravik_engine.js", "moravik_engine.wasm"]}
            check(set(fetched.values()) == {1}, "a first visit fetches the module again: %s" % fetched)
            browser.execute_async_script("""
                caches.open("another-app").then((c) => c.put("kept", new Response("x"))).then(arguments[0]);""")
            worker = (app / "sw.js").read_text(encoding="utf-8")
            first = re.search(r'cachePrefix \+ "(\w+)"', worker).group(1)
            (app / "sw.js").write_text(worker.replace(first, "second"), encoding="utf-8")
            index = (app / "index.html").read_text(encoding="utf-8")
            (app / "index.html").write_text(index.replace("<title>", "<title>Second "), encoding="utf-8")
            browser.refresh()
            wait_ready(browser)
            if wait_for(browser, lambda: browser.find_elements(By.CSS_SELECTOR, "#new-build button"),
                        "a second build offers no Reload"):
                check(browser.title.startswith("Moravik"), "the second build took over unasked")
                layout_fits(browser, 360, "the Reload offer", targets="#new-build button")
                browser.find_element(By.CSS_SELECTOR, "#new-build button").click()
                wait_for(browser, lambda: browser.title.startswith("Second"), "Reload does not bring the second build")
                wait_ready(browser)
                kept = browser.execute_async_script("caches.keys().then(arguments[0])")
                check(sorted(kept) == ["another-app", "moravik-web-second"], "caches after the update: %s" % kept)
        finally:
            server.stop()


PHONE_ICONS = """
    const done = arguments[0], touch = document.querySelector("link[rel=apple-touch-icon]")?.getAttribute("href");
    fetch("manifest.webmanifest").then((answer) => answer.json()).then((manifest) => Promise.all(
        [...manifest.icons.filter((icon) => icon.type === "image/png"),
         {src: touch, sizes: "180x180", purpose: "apple"}]
        .map((icon) => new Promise((resolve) => {
            const image = Object.assign(new Image(), {src: icon.src});
            image.onload = image.onerror = () => resolve([icon.sizes, icon.purpose || "any",
                                                          image.naturalWidth + "x" + image.naturalHeight]);
        })))).then(done, (error) => done(String(error)));"""


def phone_icons(browser):
    """192 and 512 px icons, a maskable one and Apple's touch icon, each as large as it says."""
    icons = browser.execute_async_script(PHONE_ICONS)
    wanted = {("192x192", "any"), ("512x512", "any"), ("512x512", "maskable"), ("180x180", "apple")}
    check(isinstance(icons, list) and all(drawn == sizes for sizes, _, drawn in icons)
          and wanted <= {(sizes, purpose) for sizes, purpose, _ in icons}, "phone icons: %s" % icons)


def same_texts_as_batch(browser, calc):
    """The module's calculate() in the page against `moravik-calc --batch`, byte for byte."""
    cases = generated_cases(1105, 2000)
    native = run_calc(calc, "--batch", input="".join(json.dumps(case) + "\n" for case in cases)).stdout.splitlines()
    page = browser.execute_script("return arguments[0].map((texts) => JSON.stringify(engine.calculate(texts)))",
                                  cases)
    differ = [(case, a, b) for case, a, b in zip(cases, native, page) if a != b]
    for case, a, b in differ[:10]:
        print("%s\n  native %s\n  module %s" % (json.dumps(case), a, b))
    check(len(native) == len(page) == len(cases) and not differ, "%d and %d answers for %d inputs, %d differ"
          % (len(native), len(page), len(cases), len(differ)))


def checks(args, axe, server, browser, _):
    tracks = run_calc(args.calc, "--tracks").stdout.split("\n")[:-1]
    wait_ready(browser, server.url)
    same_texts_as_batch(browser, args.calc)
    for width, height in [(360, 740), (1280, 800)]:
        size = "%dx%d" % (width, height)
        set_viewport(browser, width, height)
        wait_ready(browser, server.url)
        names = [name for name in INITIAL_TEXTS if name != "altitudeDD"]
        inputs = browser.execute_script("return arguments[0].map((n) => document.getElementById(n).value)", names)
        check(inputs == [INITIAL_TEXTS[name] for name in names], "initial texts: %s" % inputs)
        options = browser.execute_script(
            "return [...document.getElementById('altitudeDD').options].slice(1).map((o) => o.value)")
        check(options == tracks, "%s: the strip list differs from moravik-calc --tracks" % size)
        browser.find_element(By.ID, "cal").click()
        top = browser.execute_script("return document.getElementById('results').getBoundingClientRect().top")
        check(-1 <= top < height / 2, "%s: after Calculate the results start at %d px" % (size, top))
        live_regions(browser, size)
        types_denver(browser, size)
        layout_fits(browser, width, size, inside="#results dd, #results dt",
                    targets="main input, main select, main button, nav a")
        run_axe(browser, axe, size + " light")
        if width == 360:
            phone_icons(browser)
            bad_input(browser, args.calc, axe)
            wait_ready(browser, server.url)
            readings(browser, args.calc, axe)
            if args.screenshot:
                phone_screenshot(browser, args.screenshot, lambda: browser.find_element(By.ID, "cal").click())
        else:
            set_viewport(browser, width, height, dark=True)
            run_axe(browser, axe, size + " dark")
        only_own_origin(browser, size)
    if reload_offline(browser, server, "the calculator"):
        types_denver(browser, "offline")
    new_builds(browser, args.folder)


if __name__ == "__main__":
    run_checks(__doc__, "index.html", checks)
