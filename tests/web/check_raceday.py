"""Race Day's web views in headless Chromium, against the native moravik-calc.

    /usr/bin/python3 check_raceday.py WEB_FOLDER MORAVIK_CALC AXE_MIN_JS [--screenshot PNG]

What it checks, and why, is in CONTRIBUTING.md (The web app's tests).
"""

import collections
import importlib.util
import json
import pathlib
import random
import re
import subprocess
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser_checks import (check, layout_fits, minus_sign_keypads, only_own_origin, phone_screenshot, press,
                            reload_offline, run_axe, run_checks, set_viewport, tab_to, text_of, type_into,
                            wait_for, wait_ready)

VIEWS = ["air", "predict", "solve-hp", "convert", "jet-for-hp", "bottle", "jet-chart"]
SEED = 20261207
CASES = 240
REFERENCE = pathlib.Path(__file__).resolve().parents[1] / "reference"

# The Race Day window's display texts of the units moravik-calc writes in
# ASCII, as the window's own tests read them: "°C" in the temperature's unit
# box, " kg/m³" after the air density (tests/raceday_window).
WINDOW_UNITS = {"F": "°F", "C": "°C", "kg/m3": "kg/m³"}


def native(calc, args):
    run = subprocess.run([calc, *args], capture_output=True, timeout=60, check=False, text=True)
    return {"status": run.returncode, "out": run.stdout, "err": run.stderr}


def generated_cases(count):
    """The reference check's generated commands (every command, weather form and
    documented limit), some with their first text made one a racer mistypes."""
    sys.path.insert(0, str(REFERENCE))  # for the reference check's own imports
    reference = importlib.util.spec_from_file_location("reference_cases", REFERENCE / "check_raceday.py")
    module = importlib.util.module_from_spec(reference)
    reference.loader.exec_module(module)
    rng = random.Random(SEED)
    cases = []
    for args in module.generated_cases(SEED, count):
        args = args[:-1]
        if rng.random() < 0.1:
            args[2] = rng.choice(["abc", "1e308", "", "-0", "12,5", args[2] + "x"])
        cases.append(args)
    return cases


def request_of(args):
    """The request object for racedayAnswer that a command line's options give."""
    return {args[i][2:]: args[i + 1] for i in range(1, len(args), 2)}


def message_of(err):
    """moravik-calc's message after its own name."""
    return err.split("\n")[0].split(": ", 1)[1] if err else ""


def same_as_native(browser, calc):
    """The module's racedayAnswer for each generated command against `moravik-calc
    COMMAND --json`: its exit status, standard output and message."""
    cases = generated_cases(CASES)
    answers = browser.execute_script(
        "return arguments[0].map(([command, request]) => engine.racedayAnswer(command, request))",
        [[args[0], request_of(args)] for args in cases])
    differences, statuses = 0, collections.Counter()
    for args, answer in zip(cases, answers):
        run = native(calc, args + ["--json"])
        statuses[run["status"]] += 1
        desktop = (run["status"], run["out"], message_of(run["err"]) if run["status"] == 2 else "")
        if "error" in answer:
            options = " and ".join("--" + field for field in answer["fields"])
            page = (2, "", options + ": " + answer["error"] if options else answer["error"])
        else:
            page = (1 if json.loads(answer["json"]).keys() == {"fault"} else 0, answer["json"] + "\n", "")
        differences += page != desktop
        if page != desktop and differences <= 5:
            print("  %s\n    page    %r\n    desktop %r" % (args, page, desktop))
    # Mostly calculated, sometimes refused.
    check(differences == 0 and statuses[0] > len(cases) // 2 and statuses[2] > 0,
          "%d of %d generated cases differ from moravik-calc; exit statuses %s" % (differences, len(cases), statuses))


# A bad request to each of the module's functions, and the request's keys its
# refusal names (none: the request as a whole). Every one is refused as
# {error, fields}, a sentence without any front end's option or label, never thrown.
DAY = {"date_time": "2025-05-01T10:00", "et": "11.9", "speed": "112", "temperature": "86",
       "station_pressure": "29.10", "humidity": "40"}
AIR = "86F 29.10inHg 40%"
REFUSALS = [
    ("calculateTyped", [{"vweight": "3,200"}], ["vweight"]),
    ("calculateTyped", [{"njt": 0.045}], ["njt"]),
    ("calculateTyped", [None], []),
    ("racedayAnswer", ["air", {"temperature": "abc"}], ["temperature"]),
    ("racedayAnswer", ["air", {"temperature": 86}], []),
    ("racedayAnswer", [None, {}], []),
    ("unitTexts", ["furlongs"], ["units"]),
    ("runColumns", [None], ["units"]),
    ("readRun", [{**DAY, "date_time": "2099-12-31T22:00"}, "imperial", 1], ["date_time"]),
    ("readRun", [DAY, "imperial", None], ["vehicle"]),
    ("newVehicle", [" ", []], ["name"]),
    ("newVehicle", ["camaro", [{"id": 1, "name": "Camaro"}]], ["name"]),
    ("runTable", [[], [{"id": 1e300, "et_s": 11.9}], "imperial"], ["runs"]),
    ("exportCsv", [[{"id": 1}], [], "imperial"], ["vehicles"]),
    ("importCsv", [5, [], []], ["file"]),
    ("predict", [[], {"now": AIR}, "imperial"], ["vehicle"]),
    ("predict", [[], {"vehicle": 1, "now": "hot"}, "imperial"], ["now"]),
    ("predict", [[], {"vehicle": 1, "now": AIR, "jet": 0.04}, "imperial"], ["jet"]),
    ("predict", [[], {"vehicle": 1, "now": AIR, "runs": "0"}, "imperial"], ["runs"]),
]


def module_refusals(browser):
    answers = browser.execute_script("""return arguments[0].map(([name, request]) => {
        try { return engine[name](...request); } catch (thrown) { return {thrown: String(thrown)}; } })""",
                                     [[name, request] for name, request, _ in REFUSALS])
    for (name, request, fields), answer in zip(REFUSALS, answers):
        check(answer.get("fields") == fields and answer.get("error") and "--" not in answer["error"],
              "%s%s: %s, not refused naming %s" % (name, json.dumps(request), answer, fields))


def page_report(browser, view):
    """The shown view's report as moravik-calc's lines: headings, and figures
    after their labels."""
    return browser.execute_script("""
        const report = document.querySelector("#" + arguments[0] + " .report");
        return [...report.querySelectorAll("h3, dl > div")].map((e) => e.tagName === "H3" ? e.textContent
            : [e.querySelector("dt").textContent, e.querySelector("dd").textContent]);""", view)


def report_lines(out):
    """moravik-calc's report as the page shows it: the units as the window displays them."""
    lines = []
    for line in out.split("\n"):
        row = re.match(r"^  (.+?): +(.*)$", line)
        if row:
            lines.append([row.group(1), re.sub(r"(?<=\d )(F|C|kg/m3)$", lambda unit: WINDOW_UNITS[unit.group(1)],
                                               row.group(2))])
        elif line:
            lines.append(line)
    return lines


def fields_of(browser, view):
    """The view's command line as its fields give it, read from the page."""
    return browser.execute_script("""
        const form = document.querySelector("#" + arguments[0] + " form");
        return [form.dataset.command, [...form.querySelectorAll("[data-option]")]
            .filter((f) => f.value !== "").map((f) => [f.dataset.option, f.value])];""", view)


def native_report(calc, browser, view, units):
    command, given = fields_of(browser, view)
    if command == "--jet-chart":
        parts = dict(given)
        args = ["--jet-chart=%s:%s:%s" % (parts["from"], parts["to"], parts["step"]), "--csv"]
        args += ["%s=%s" % (o, v) for o, v in given if o.startswith("--")]
        return native(calc, args)
    return native(calc, [command, "--units=" + units] + ["%s=%s" % tuple(pair) for pair in given])


def chart_rows(browser):
    return browser.execute_script("""return [...document.querySelectorAll("#jet-chart tr")]
        .map((row) => [...row.cells].map((c) => c.textContent).join(","))""")


def in_page_words(browser, view, problem):
    """moravik-calc's message as the page shows it: the refused fields' labels,
    not their options, before what the module says of them."""
    labels = browser.execute_script("""return Object.fromEntries([...document.querySelectorAll(
        "#" + arguments[0] + " [data-option]")].map((field) => [field.dataset.option,
        document.querySelector(`label[for="${field.id}"]`).textContent.split(" (")[0]]))""", view)
    named, colon, reason = problem.partition(": ")
    options = named.split(" and ")
    if not colon or not all(option in labels for option in options):
        return problem
    return " and ".join(labels[option] for option in options) + ": " + reason


def view_matches(browser, calc, view, units):
    desktop = native_report(calc, browser, view, units)
    if view == "jet-chart":
        expected = desktop["out"].split("\n")[:-1]
        return wait_for(browser, lambda: chart_rows(browser) == expected, "jet chart differs from moravik-calc's")
    expected = report_lines(desktop["out"])
    problem = in_page_words(browser, view, message_of(desktop["err"]))
    fault = view + "-fault"
    return wait_for(browser, lambda: page_report(browser, view) == expected and text_of(browser, fault) == problem,
                    "%s (%s): page %s / %r, moravik-calc %s / %r" % (
                        view, units, page_report(browser, view), text_of(browser, fault), expected, problem))


def open_view(browser, url, view):
    # A new document each time: a fragment alone would keep the last view's texts.
    browser.get("about:blank")
    browser.get(url + "raceday.html#" + view)
    wait_ready(browser)


def layout_fits_view(browser, width, what):
    shown = ".view:not([hidden]) "
    layout_fits(browser, width, what, inside=shown + ".report dd, " + shown + "input",
                targets=", ".join(shown + e for e in ["input", "select", "button"]) + ", nav a")


def views_fit(browser, url, calc, width, height, axe):
    """Each view opens with moravik-calc's report (checked at 360 px), fits, and
    passes axe-core: light at 360 px, dark at 1280."""
    size, dark = "%dx%d" % (width, height), width > 600
    set_viewport(browser, width, height, dark=dark)
    for view in VIEWS:
        open_view(browser, url, view)
        if not dark:
            view_matches(browser, calc, view, "imperial")
        layout_fits_view(browser, width, "%s %s" % (size, view))
        run_axe(browser, axe, "%s %s %s" % (size, view, "dark" if dark else "light"))
    set_viewport(browser, 360, 740)


def racer_flows(browser, url, calc, size="360x740"):
    # Today's weather typed key by key, then the same air in metric.
    open_view(browser, url, "air")
    for field, text in [("air-temperature", "91.5"), ("air-pressure", "28.75"), ("air-humidity", "63"),
                        ("air-observed", "412")]:
        type_into(browser, field, text)
    view_matches(browser, calc, "air", "imperial")
    browser.find_element(By.CSS_SELECTOR, 'input[name="units"][value="metric"]').click()
    check(browser.execute_script("return document.querySelector('#air-temperature + .unit').textContent") == "°C",
          "%s: the temperature's unit does not follow metric" % size)
    for field, text in [("air-temperature", "33"), ("air-pressure", "973.5"), ("air-observed", "300")]:
        type_into(browser, field, text)
    view_matches(browser, calc, "air", "metric")
    layout_fits_view(browser, 360, size + " air metric")
    # A run carried to today's air, and the other views, in metric.
    open_view(browser, url, "predict")
    browser.find_element(By.CSS_SELECTOR, 'input[name="units"][value="metric"]').click()
    type_into(browser, "predict-mph", "175.2")
    type_into(browser, "predict-now", "12C 1002hPa 35%")
    view_matches(browser, calc, "predict", "metric")
    # The heater's set point: the pressure wanted takes the temperature's place.
    open_view(browser, url, "bottle")
    type_into(browser, "bottle-pressure", "950")
    check(browser.find_element(By.ID, "bottle-temperature").get_attribute("value") == "",
          "%s: the pressure wanted leaves the bottle temperature" % size)
    view_matches(browser, calc, "bottle", "imperial")


def bad_input(browser, url, calc):
    open_view(browser, url, "air")
    for field, option, text in [("air-temperature", "--temperature", "abc"),
                                ("air-humidity", "--humidity", "1e308"),
                                ("air-temperature", "--temperature", "")]:
        type_into(browser, field, text)
        if view_matches(browser, calc, "air", "imperial") and text:
            marked = browser.find_element(By.ID, field).get_attribute("aria-invalid")
            check(marked == "true", "%s %r is not marked at its field" % (option, text))
        check(text_of(browser, "air-fault") != "", "no message for %s %r" % (option, text))
        type_into(browser, field, {"air-temperature": "86", "air-humidity": "40"}[field])
    open_view(browser, url, "solve-hp")
    type_into(browser, "solve-et", "")
    view_matches(browser, calc, "solve-hp", "imperial")
    check(text_of(browser, "solve-hp-fault") != "", "no message for an empty slip")


def keyboard_only(browser, url):
    browser.get(url + "raceday.html")
    wait_ready(browser)
    if not tab_to(browser, "Jet for a target", 13):
        return
    press(browser, Keys.ENTER)
    wait_for(browser, lambda: browser.execute_script(
        "return !document.getElementById('jet-for-hp').hidden"), "Enter on a view link does not open it")
    # On through the unit choice to the view's first field, and type there.
    if tab_to(browser, "jet-target", 9):
        press(browser, Keys.END, Keys.BACKSPACE * 3, "200")
        wait_for(browser, lambda: "200.0 hp" in text_of(browser, "jet-for-hp-report"),
                 "typing by keyboard does not update the jet view")


def offline(browser, server, url, calc):
    """Race Day calculates, and the Runs page opens its log, from the service worker's cache alone."""
    open_view(browser, url, "air")
    if not reload_offline(browser, server, "Race Day"):
        return
    type_into(browser, "air-temperature", "72")
    view_matches(browser, calc, "air", "imperial")
    browser.get(url + "runs.html")
    if wait_for(browser, lambda: browser.execute_script("return document.documentElement.dataset.log === 'loaded'"),
                "offline: the Runs page did not start from the cache", 30):
        # Chromium's own HTTP cache may still hold a file the service worker lacks.
        uncached = browser.execute_script("""return performance.getEntriesByType("resource")
            .filter((e) => e.deliveryType !== "cache-storage").map((e) => e.name)""")
        check(uncached == [], "offline: the Runs page loads files the service worker does not keep: %s" % uncached)


def checks(args, axe, server, browser, _):
    open_view(browser, server.url, "air")
    minus_sign_keypads(browser, "input:has(+ [data-quantity=temperature])", "air")
    same_as_native(browser, args.calc)
    module_refusals(browser)
    for width, height in [(360, 740), (1280, 800)]:
        views_fit(browser, server.url, args.calc, width, height, axe)
    racer_flows(browser, server.url, args.calc)
    bad_input(browser, server.url, args.calc)
    run_axe(browser, axe, "with messages shown")
    keyboard_only(browser, server.url)
    only_own_origin(browser, "Race Day")
    if args.screenshot:
        def show_air():
            open_view(browser, server.url, "air")
            browser.execute_script("document.getElementById('air-report').scrollIntoView()")
        phone_screenshot(browser, args.screenshot, show_air)
    offline(browser, server, server.url, args.calc)


if __name__ == "__main__":
    run_checks(__doc__, "raceday.html", checks)
