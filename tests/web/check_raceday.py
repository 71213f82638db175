"""Race Day's web views in headless Chromium, against the native moravik-calc.
What it checks, and why: CONTRIBUTING.md (The web app's tests)."""

import collections
import importlib.util
import json
import pathlib
import random
import sys

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

from browser_checks import (check, golden_sections, layout_fits, minus_sign_keypads, only_own_origin, page_state,
                            phone_screenshot, press, reload_offline, run_axe, run_calc, run_checks, set_viewport,
                            tab_to, text_of, type_into, wait_for, wait_ready)

VIEWS = ["air", "predict", "solve-hp", "convert", "jet-for-hp", "bottle", "jet-chart"]
SEED = 20261207
CASES = 240
REFERENCE = pathlib.Path(__file__).resolve().parents[1] / "reference"

# Steps a racer types key by key (view None: the last one); each then reads as its golden section.
STEPS = [
    ("air typed", "air", "imperial", [("air-temperature", "91.5"), ("air-pressure", "28.75"),
                                      ("air-humidity", "63"), ("air-observed", "412")]),
    ("air metric", None, "metric", [("air-temperature", "33"), ("air-pressure", "973.5"), ("air-observed", "300")]),
    # A run carried to today's air.
    ("predict metric", "predict", "metric", [("predict-mph", "175.2"), ("predict-now", "12C 1002hPa 35%")]),
    # The heater's set point: the pressure wanted takes the temperature's place.
    ("bottle set point", "bottle", "imperial", [("bottle-pressure", "950")]),
]

# A view as the racer reads it: units, report headings and "label: figure" lines or chart rows, message.
VIEW_TEXT = """
    const view = document.getElementById(arguments[0]), fault = view.querySelector(".fault").textContent;
    return ["units: " + [...view.querySelectorAll(".unit")].map((e) => e.textContent).filter((t) => t).join(" "),
            ...[...view.querySelectorAll(".report :is(h3, dl > div, tr)")].map((e) => e.tagName === "H3" ? e.textContent
                : e.tagName === "TR" ? [...e.cells].map((c) => c.textContent).join(",")
                : e.querySelector("dt").textContent + ": " + e.querySelector("dd").textContent),
            ...(fault ? ["! " + fault] : [])];"""
GOLDEN = golden_sections(pathlib.Path(__file__).resolve().parent / "golden" / "raceday.txt")


def generated_cases(count):
    """The reference check's generated commands, some with their first text mistyped."""
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
    """racedayAnswer against `moravik-calc COMMAND --json`: exit status, output and message."""
    cases = generated_cases(CASES)
    answers = browser.execute_script(
        "return arguments[0].map(([command, request]) => engine.racedayAnswer(command, request))",
        [[args[0], request_of(args)] for args in cases])
    differences, statuses = 0, collections.Counter()
    for args, answer in zip(cases, answers):
        run = run_calc(calc, *args, "--json")
        statuses[run.returncode] += 1
        desktop = (run.returncode, run.stdout, message_of(run.stderr) if run.returncode == 2 else "")
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


def reads_as(browser, view, name, expected=None):
    """Whether the view reads as the golden section `name`, or as `expected` lines."""
    expected = GOLDEN.get(name, []) if expected is None else expected
    state = lambda: browser.execute_script(VIEW_TEXT, view)  # noqa: E731
    return wait_for(browser, lambda: state() == expected, "%s: the page reads\n  %s\nnot\n  %s"
                    % (name, "\n  ".join(state()), "\n  ".join(expected)))


# A bad request to each of the module's functions and the keys its refusal names (none: the whole
# request): refused as {error, fields} in no front end's words, never thrown.
DAY = {"date_time": "2025-05-01T10:00", "et": "11.9", "speed": "112", "temperature": "86",
       "station_pressure": "29.10", "humidity": "40"}
AIR = "86F 29.10inHg 40%"
REFUSALS = [
    ("calculateTyped", [{"vweight": "3,200"}], ["vweight"]),
    ("calculateTyped", [{"njt": 0.045}], ["njt"]),
    ("calculateTyped", [None], []),
    ("racedayAnswer", ["air", {"temperature": "abc"}], ["temperature"]),
    ("racedayAnswer", ["air", {"temperature": 86}], []),
    ("racedayAnswer", ["air", {"temperature": "86", "pressure": "29.1", "altimeter": "30"}], ["pressure", "altimeter"]),
    ("racedayAnswer", ["predict", {"mph": "110"}], ["et"]),
    ("racedayAnswer", ["jet-chart", {"from": ".06", "to": ".02", "step": ".005"}], ["to"]),
    ("racedayAnswer", ["jet-chart", {"from": ".02", "to": "1:2", "step": ".005"}], ["to"]),
    ("racedayAnswer", ["jet-chart", {"from": ".02", "to": ".06"}], ["step"]),
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
    ("predict", [[], {"vehicle": 1, "now": AIR, "runs": "5", "method": "average"}, "imperial"], ["method"]),
    ("predict", [[], {"vehicle": 1, "now": AIR, "runs": "5", "method": "best", "standard": "sae"}, "imperial"], ["standard"]),
]


def module_refusals(browser):
    answers = browser.execute_script("""return arguments[0].map(([name, request]) => {
        try { return engine[name](...request); } catch (thrown) { return {thrown: String(thrown)}; } })""",
                                     [[name, request] for name, request, _ in REFUSALS])
    for (name, request, fields), answer in zip(REFUSALS, answers):
        check(answer.get("fields") == fields and answer.get("error") and "--" not in answer["error"],
              "%s%s: %s, not refused naming %s" % (name, json.dumps(request), answer, fields))


def chart_remarks(browser, calc):
    """The jet chart's remarks are moravik-calc's notes on standard error, each beside its field."""
    for chart, inputs in [(".02:.03:.01", {"nozzles": "4x"}), ("0:0.05:0.025", {"nozzles": "-1"})]:
        run = run_calc(calc, "--jet-chart=" + chart, "--csv", *("--%s=%s" % item for item in inputs.items()))
        said = [line.removeprefix("note: ").removeprefix("moravik-calc: ") for line in run.stderr.splitlines()]
        request = dict(zip(["from", "to", "step"], chart.split(":")), **inputs)
        answer = browser.execute_script("return engine.racedayAnswer('jet-chart', arguments[0])", request)
        shown = [" ".join(["--" + field for field in remark["fields"]] + [remark["note"]]) for remark in answer["remarks"]]
        check(shown == said and said and not any("--" in remark["note"] for remark in answer["remarks"]),
              "jet chart %s %s: remarks %s, not %s in no option's name" % (chart, inputs, answer["remarks"], said))


def fields_of(browser, view):
    """The view's command line as its fields give it."""
    return browser.execute_script("""
        const form = document.querySelector("#" + arguments[0] + " form");
        return [form.dataset.command, [...form.querySelectorAll("[data-option]")]
            .filter((f) => f.value !== "").map((f) => [f.dataset.option, f.value])];""", view)


def in_page_words(browser, view, problem):
    """moravik-calc's message with the refused fields' labels in place of their options."""
    labels = browser.execute_script("""return Object.fromEntries([...document.querySelectorAll(
        "#" + arguments[0] + " [data-option]")].map((field) => [field.dataset.option,
        document.querySelector(`label[for="${field.id}"]`).textContent.split(" (")[0]]))""", view)
    named, colon, reason = problem.partition(": ")
    options = named.split(" and ")
    if not colon or not all(option in labels for option in options):
        return problem
    return " and ".join(labels[option] for option in options) + ": " + reason


def says_as_calc(browser, calc, view):
    """The view says moravik-calc's message in its labels' words, and shows no figures."""
    command, given = fields_of(browser, view)
    run = run_calc(calc, command, *("%s=%s" % tuple(pair) for pair in given))
    problem = in_page_words(browser, view, message_of(run.stderr))
    units = browser.execute_script(VIEW_TEXT, view)[0]
    return reads_as(browser, view, view + " refused", [units] + (["! " + problem] if problem else []))


def open_view(browser, url, view):
    # A new document each time: a fragment alone would keep the last view's texts.
    browser.get("about:blank")
    wait_ready(browser, url + "raceday.html#" + view)


def layout_fits_view(browser, width, what):
    shown = ".view:not([hidden]) "
    layout_fits(browser, width, what, inside=shown + ".report dd, " + shown + "input",
                targets=", ".join(shown + e for e in ["input", "select", "button"]) + ", nav a")


def views_fit(browser, url, width, height, axe):
    """Each view opens as its golden section (at 360 px), fits and passes axe-core, dark if wide."""
    size, dark = "%dx%d" % (width, height), width > 600
    set_viewport(browser, width, height, dark=dark)
    for view in VIEWS:
        open_view(browser, url, view)
        if not dark:
            reads_as(browser, view, view)
        layout_fits_view(browser, width, "%s %s" % (size, view))
        run_axe(browser, axe, "%s %s %s" % (size, view, "dark" if dark else "light"))
    set_viewport(browser, 360, 740)


def take_steps(browser, url, steps=STEPS):
    for name, view, units, typed in steps:
        if view:
            open_view(browser, url, view)
        shown = view or shown
        browser.find_element(By.CSS_SELECTOR, 'input[name="units"][value="%s"]' % units).click()
        for field, text in typed:
            type_into(browser, field, text)
        reads_as(browser, shown, name)
        layout_fits_view(browser, 360, "360x740 " + name)


def bad_input(browser, url, calc):
    """Letters, 1e308 and empty fields: moravik-calc's message, each typed one marked at its field."""
    for view, field, text, kept in [("air", "air-temperature", "abc", "86"), ("air", "air-humidity", "1e308", "40"),
                                    ("air", "air-temperature", "", "86"), ("solve-hp", "solve-et", "", None)]:
        if browser.current_url != url + "raceday.html#" + view:
            open_view(browser, url, view)
        type_into(browser, field, text)
        if says_as_calc(browser, calc, view) and text:
            marked = browser.find_element(By.ID, field).get_attribute("aria-invalid")
            check(marked == "true", "%s %r is not marked at its field" % (field, text))
        check(text_of(browser, view + "-fault") != "", "no message for %s %r" % (field, text))
        if kept:
            type_into(browser, field, kept)


def keyboard_only(browser, url):
    wait_ready(browser, url + "raceday.html")
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


def offline(browser, server, url):
    """Race Day calculates, and the Runs page opens its log, from the service worker's cache alone."""
    open_view(browser, url, "air")
    if not reload_offline(browser, server, "Race Day"):
        return
    take_steps(browser, url, STEPS[:1])
    browser.get(url + "runs.html")
    if wait_for(browser, lambda: page_state(browser, "log") == "loaded",
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
    chart_remarks(browser, args.calc)
    for width, height in [(360, 740), (1280, 800)]:
        views_fit(browser, server.url, width, height, axe)
    take_steps(browser, server.url)
    bad_input(browser, server.url, args.calc)
    run_axe(browser, axe, "with messages shown")
    keyboard_only(browser, server.url)
    only_own_origin(browser, "Race Day")
    if args.screenshot:
        def show_air():
            open_view(browser, server.url, "air")
            browser.execute_script("document.getElementById('air-report').scrollIntoView()")
        phone_screenshot(browser, args.screenshot, show_air)
    offline(browser, server, server.url)


if __name__ == "__main__":
    run_checks(__doc__, "raceday.html", checks)
