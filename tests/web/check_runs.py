"""The Runs page in headless Chromium, against the native moravik-calc log.
What it checks, and why: CONTRIBUTING.md (The web app's tests)."""

import os
import pathlib
import re
import signal
import subprocess
import tempfile
import types

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

from browser_checks import (check, layout_fits, minus_sign_keypads, only_own_origin, open_browser, page_state,
                            phone_screenshot, press, run_axe, run_calc, run_checks, set_viewport, tab_to, text_of,
                            wait_for, wait_ready)

FIXTURE = pathlib.Path(__file__).resolve().parents[1] / "runlog" / "data" / "log_v1_import.csv"
HEADER = "date_time,vehicle,strip,et_s,speed_mph,temperature_F,station_pressure_inHg,notes\n"

# Formula cells, an ET of 99 s, times outside a run's years, a Latin-1 name; lines ending in a CR alone.
BAD_CSV = (pathlib.Path(__file__).resolve().parent / "data" / "bad_runs.csv").read_bytes().replace(b"\n", b"\r")

# Vehicle, nitrous jet, runs, method, interval, units: predicted as `moravik-calc log predict` does.
PREDICTIONS = [("Camaro", "", "1", "best", "90", "imperial"), ("Nova SS", ".062", "5", "scaling", "50", "metric")]

# Four runs that agree and a pedalled one, in one air (the run-log tests' case).
PEDALLED_CSV = HEADER + "".join("2024-06-01T1%d:00:00,Pedal,,%s,120,60,29.92,\n" % (hour, et)
                                for hour, et in enumerate(["11.00", "11.02", "10.98", "11.01", "11.70"]))

# A season of runs one hour apart, ETs from 11.0 to 11.9 s.
SEASON_CSV = HEADER + "".join(
    "2024-%02d-%02dT%02d:00:00,Season,,11.%d,118,70,29.9,\n" % (1 + i // 240, 11 + i // 24 % 10, i % 24, i * 7 % 10)
    for i in range(1000))


def native_log(c, csv_text, name):
    """`log import` of the text: the log's export in each unit system, and the import's messages."""
    source = c.folder / (name + ".csv")
    source.write_bytes(csv_text if isinstance(csv_text, bytes) else csv_text.encode("utf-8"))
    log = ["log", "--database", str(c.folder / (name + ".sqlite"))]
    imported = run_calc(c.calc, *log, "import", str(source))
    exports = {units: subprocess.run([c.calc, *log, "export", "--units", units], capture_output=True, timeout=60,
                                     check=True).stdout for units in ["imperial", "metric"]}
    return exports, imported.stderr.splitlines()


def native_prediction(c, name, *options):
    """`moravik-calc log predict` on the log `name`: its figures as the page lists them, and its report."""
    report = run_calc(c.calc, "log", "--database", str(c.folder / (name + ".sqlite")), "predict", *options).stdout
    return [[label[:-1], text] for label, text in re.findall(r"^ {2}(\S[^:]*:) +(.*)$", report, re.M)
            if label != "Vehicle:"], report


ALL_ROWS = """
    const done = arguments[0], rows = [], byId = (id) => document.getElementById(id);
    const turn = async (id) => {
        const before = byId("page-status").textContent;
        byId(id).click();
        while (byId("page-status").textContent === before) await new Promise((resolve) => setTimeout(resolve, 5));
    };
    (async () => {
        if (!byId("page-first").disabled) await turn("page-first");
        for (;;) {
            rows.push(...[...document.querySelectorAll("#run-table-box tbody tr")]
                .map((row) => [...row.cells].slice(0, -1).map((cell) => cell.textContent)));
            if (byId("page-newer").disabled) return done(rows);
            await turn("page-newer");
        }
    })();"""


def all_rows(browser):
    """Every run's cells, turning the table's pages from the oldest."""
    return browser.execute_async_script(ALL_ROWS)


def open_runs(browser, url):
    wait_ready(browser, url + "runs.html", "log", "loaded")


def close_other_tabs(browser):
    for tab in browser.window_handles[1:]:
        browser.switch_to.window(tab)
        browser.close()
    browser.switch_to.window(browser.window_handles[0])


def fresh_runs(browser, url):
    """The Runs page alone, on an empty log and backup count, as a new profile opens it."""
    close_other_tabs(browser)
    browser.get("about:blank")
    browser.execute_cdp_cmd("Storage.clearDataForOrigin", {"origin": url.rstrip("/"),
                                                           "storageTypes": "indexeddb,local_storage"})
    open_runs(browser, url)


def says(browser, element_id, wanted, what):
    return wait_for(browser, lambda: wanted in text_of(browser, element_id),
                    "%s: %s says %r" % (what, element_id, text_of(browser, element_id)))


def add_vehicle(browser, name):
    browser.find_element(By.ID, "vehicle-name").send_keys(name, Keys.ENTER)
    says(browser, "run-vehicle", name, "the vehicle was not added")


def choose_units(browser, units):
    browser.find_element(By.CSS_SELECTOR, "input[name=units][value=%s]" % units).click()


def import_file(browser, path, expected_status):
    browser.find_element(By.ID, "csv-file").send_keys(str(path))
    return wait_for(browser, lambda: expected_status in text_of(browser, "csv-status") + text_of(browser, "csv-fault"),
                    "import of %s: %r, %r" % (path.name, text_of(browser, "csv-status"), text_of(browser, "csv-fault")))


def export_file(c, units):
    choose_units(c.browser, units)
    target = c.downloads / "runs.csv"
    if target.exists():
        target.unlink()
    c.browser.find_element(By.ID, "csv-export").click()
    wait_for(c.browser, lambda: target.exists() and not list(c.downloads.glob("*.crdownload")),
             "export: no runs.csv downloaded")
    return target.read_bytes() if target.exists() else b""


def predict_on_page(browser, vehicle, fields, method=None):
    """Chooses the vehicle, types each (field, text) and predicts."""
    Select(browser.find_element(By.ID, "vehicle-filter")).select_by_visible_text(vehicle)
    for field, text in fields:
        browser.find_element(By.ID, field).clear()
        browser.find_element(By.ID, field).send_keys(text)
    if method:
        Select(browser.find_element(By.ID, "predict-method")).select_by_value(method)
    browser.find_element(By.CSS_SELECTOR, "#predict-form button").click()


def shows_prediction(browser, expected, what):
    def lines():
        return browser.execute_script("""return [...document.querySelectorAll("#predict-report dl > div")]
            .map((pair) => [pair.firstChild.textContent, pair.lastChild.textContent])""")
    wait_for(browser, lambda: lines() == expected != [],
             "%s: the page shows %s, moravik-calc %s" % (what, lines(), expected))


def round_trip(c):
    exports, _ = native_log(c, FIXTURE.read_text(encoding="utf-8"), "fixture")
    (c.folder / "desktop-export.csv").write_bytes(exports["imperial"])
    import_file(c.browser, c.folder / "desktop-export.csv", "runs imported")
    for units, expected in exports.items():
        check(export_file(c, units) == expected, "round trip: the %s export differs from log export" % units)
    for case in PREDICTIONS:
        vehicle, jet, runs, method, interval, units = case
        expected, _ = native_prediction(c, "fixture", "--vehicle", vehicle, "--now", "86F 29.10inHg 40%", "--runs",
                                        runs, "--method", method, "--interval", interval, "--units", units,
                                        *(["--nitrous-jet", jet] if jet else []))
        choose_units(c.browser, units)
        predict_on_page(c.browser, vehicle, [("predict-jet", jet), ("predict-recent", runs),
                                             ("predict-interval", interval)], method)
        shows_prediction(c.browser, expected, "prediction %s" % (case,))
    # The margin is read as moravik-calc reads --margin.
    predict_on_page(c.browser, "Camaro", [("predict-jet", ""), ("predict-margin", "2")])
    says(c.browser, "predict-fault", '"2" is not a margin; give seconds from 0 to 1, such as 0.02', "margin 2")


def take_back(c):
    """The pedalled run is left out as log predict leaves it out; ticked, it counts as --include."""
    native_log(c, PEDALLED_CSV, "pedalled")
    import_file(c.browser, c.folder / "pedalled.csv", "runs imported")

    def native(*include):
        lines, report = native_prediction(c, "pedalled", "--vehicle", "Pedal", "--now", "60F 29.92inHg", *include)
        return lines, re.findall(r"^  run (\d+) .*\n.*left out: far from the other runs", report, re.M)

    left_out, far = native()
    check(len(far) == 1, "take back: log predict leaves out %s, not the one pedalled run" % far)
    predict_on_page(c.browser, "Pedal", [("predict-now", "60F 29.92inHg")])
    shows_prediction(c.browser, left_out, "take back")
    ticks = c.browser.find_elements(By.CSS_SELECTOR, ".take-back input[type=checkbox]")
    if check(len(ticks) == 1 and "11.700 s" in ticks[0].find_element(By.XPATH, "..").text,
             "take back: the page offers %d runs, not the pedalled one" % len(ticks)):
        ticks[0].click()
        shows_prediction(c.browser, native("--include", far[0] if far else "0")[0], "take back, ticked")


def bad_input(c):
    """The bad CSV's rows left out and its export as moravik-calc's; UTF-16 and 50 MB refused."""
    browser, folder = c.browser, c.folder
    exports, messages = native_log(c, BAD_CSV, "bad")
    # The desktop's messages without its file name: "line 3: ET must ... (left out)".
    left_out = [message.split(", ", 1)[1] for message in messages]
    import_file(browser, folder / "bad.csv", "imported")
    shown = browser.execute_script("return [...document.querySelectorAll('#csv-report li')].map((e) => e.textContent)")
    # The two imports read the clock a moment apart.
    clock = re.compile(r"by this machine's clock \([^)]*\)")
    check([clock.sub("", line) for line in shown] == [clock.sub("", line) for line in left_out] and len(shown) == 7,
          "bad CSV: the page lists %s, moravik-calc %s" % (shown, left_out))
    check(export_file(c, "imperial") == exports["imperial"],
          "bad CSV: the export differs from moravik-calc log export")

    _, messages = native_log(c, "date_time,vehicle\n2024-05-01T10:00:00Z,V\n".encode("utf-16"), "utf16")
    import_file(browser, folder / "utf16.csv", "utf16.csv, ")
    reason = messages[0].split(", ", 1)[1].split(";")[0] if messages else "no message"
    check(reason in text_of(browser, "csv-fault"), "UTF-16: %r, not moravik-calc's %r" % (text_of(browser, "csv-fault"), reason))

    # 50 MB of plausible rows: refused before reading, and the page still answers.
    huge = folder / "huge.csv"
    with huge.open("w", encoding="utf-8") as file:
        row = "2024-05-01T10:00:00Z,Vega,Bandimere,11.5,118,70,29.9,\n"
        file.write(HEADER + row * (50 * 1024 * 1024 // len(row)))
    rows_before = len(browser.find_elements(By.CSS_SELECTOR, "#run-table-box tbody tr"))
    import_file(browser, huge, "Nothing was imported")
    check("50.0 MB" in text_of(browser, "csv-fault") and browser.execute_script("return 1 + 1") == 2 and
          len(browser.find_elements(By.CSS_SELECTOR, "#run-table-box tbody tr")) == rows_before,
          "50 MB CSV: %r, or the page changed its runs" % text_of(browser, "csv-fault"))


CHART = """
    const svg = document.querySelector("#et-chart svg");
    if (!svg) return null;
    const box = (e) => e.getBoundingClientRect();
    const labels = [...svg.querySelectorAll("text")].map(box);
    const plot = [...svg.querySelectorAll("polyline, polygon")].map(box);
    const overlap = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    return {labels: labels.length, width: box(svg).width,
            px: parseFloat(getComputedStyle(svg.querySelector("text")).fontSize) * box(svg).width / svg.viewBox.baseVal.width,
            overlaps: labels.flatMap((l, i) => [...labels.slice(i + 1), ...plot].filter((o) => overlap(l, o))).length,
            points: svg.querySelector("polyline").points.numberOfItems};"""


def chart_reads(browser, what):
    """The ET chart's two labels: 12 px or more, clear of each other and the plot; points 8 px apart."""
    chart = browser.execute_script(CHART)
    check(chart and chart["labels"] == 2 and chart["px"] >= 12 and chart["overlaps"] == 0 and
          chart["points"] * 8 <= chart["width"], "%s: the ET chart does not read: %s" % (what, chart))


UNITS_SHOWN = """return ["temperature", "station_pressure", "speed"]
    .map((key) => document.querySelector('[data-unit-of="' + key + '"]').textContent)"""


def keyboard_racer(c):
    """By keyboard alone a vehicle and two runs, a bad run refused, a prediction and a deletion."""
    browser = c.browser
    minus_sign_keypads(browser, "#run-temperature, #run-dew-point", "Runs")
    for units, expected in [("metric", ["°C", "hPa", "km/h"]), ("imperial", ["°F", "inHg", "mph"])]:
        choose_units(browser, units)
        wait_for(browser, lambda: browser.execute_script(UNITS_SHOWN) == expected,
                 "%s units beside the fields: %s" % (units, browser.execute_script(UNITS_SHOWN)))
    browser.find_element(By.TAG_NAME, "body").click()
    if tab_to(browser, "vehicle-name"):
        press(browser, "Camaro", Keys.ENTER)
    says(browser, "run-vehicle", "Camaro", "the vehicle was not added")
    Select(browser.find_element(By.ID, "vehicle-filter")).select_by_visible_text("Camaro")
    # The date and time pickers take the keys of Chromium's English month/day/year and 12-hour clock.
    for when, keys, et, mph in [("2025-05-01 10:00", ["05012025", "1000AM"], "11.92", "112.4"),
                                ("2025-05-02 22:00", ["05022025", "1000PM"], "11.81", "113.0")]:
        for field, typed in zip(["run-date", "run-time", "run-et"], keys + [[Keys.CONTROL, "a", Keys.BACKSPACE]]):
            if not tab_to(browser, field):
                return
            press(browser, *typed)
        press(browser, et, Keys.TAB, mph, Keys.ENTER)
        says(browser, "run-status", "Saved the run of %s." % when, when + " not confirmed")
    rows = browser.find_elements(By.CSS_SELECTOR, "#run-table-box tbody tr")
    check(len(rows) == 2 and "11.920 s" in rows[0].text and "112.40 mph" in rows[0].text,
          "the table shows %s" % [row.text for row in rows])
    chart_reads(browser, "two runs")
    check(text_of(browser, "storage-status").startswith("The browser") and
          not browser.find_element(By.ID, "backup-offer").is_displayed(),
          "storage kept? %r; a backup offered after 2 runs" % text_of(browser, "storage-status"))
    # The core refuses an ET of 99 s with the plausible range, and a run later than tomorrow.
    for date, et, fault in [("2025-05-03", "99", "ET must lie within 2 to 60 s."),
                            ("2099-12-31", "11.9", "Date: the date 2099-12-31T22:00")]:
        browser.execute_script("document.getElementById('run-date').value = arguments[0]", date)
        browser.find_element(By.ID, "run-et").clear()
        browser.find_element(By.ID, "run-et").send_keys(et, Keys.ENTER)
        wait_for(browser, lambda: text_of(browser, "run-fault").startswith(fault),
                 "%s, ET %s gives %r" % (date, et, text_of(browser, "run-fault")))
    check(browser.find_element(By.ID, "run-date").get_attribute("aria-invalid") == "true", "the date is not marked")
    run_axe(browser, c.axe, "Runs with a message")
    if tab_to(browser, "predict-now", 80):
        press(browser, Keys.ENTER)
        says(browser, "predict-report", "Predicted ET", "no prediction (%r)" % text_of(browser, "predict-fault"))
    browser.find_element(By.CSS_SELECTOR, "#run-table-box button[data-run]").send_keys(Keys.ENTER)
    wait_for(browser, lambda: len(browser.find_elements(By.CSS_SELECTOR, "#run-table-box tbody tr")) == 1,
             "Delete leaves the run")
    for width, height in [(1280, 800), (360, 740)]:
        set_viewport(browser, width, height)
        # On a phone every figure of a run is in view, not in a table scrolled sideways.
        layout_fits(browser, width, "%d px Runs" % width, inside="#run-table-box td" if width < 600 else None,
                    targets="main input:not([type=radio]), main select, main button, nav a")
        run_axe(browser, c.axe, "%d px Runs" % width)
    only_own_origin(browser, "Runs")


# Fills the run form's date and time and ET, submits it, and waits for the run to be confirmed.
SUBMIT_RUN = """
    const submitRun = async (when, et) => {
        const field = (id) => document.getElementById(id);
        [field("run-date").value, field("run-time").value, field("run-et").value] = [...when.split("T"), et];
        field("run-speed").value = "118";
        field("run-form").requestSubmit();
        while (field("run-status").textContent !== "Saved the run of " + when.replace("T", " ") + ".") {
            if (field("run-fault").textContent) throw new Error(field("run-fault").textContent);
            await new Promise((resolve) => setTimeout(resolve, 1));
        }
    };"""

SAVE_MANY = SUBMIT_RUN + """
    window.typedRuns = Array.from({length: 400}, (_, i) => ["2025-06-" + String(1 + Math.floor(i / 24)).padStart(2, "0")
        + "T" + String(i % 24).padStart(2, "0") + ":00", (10 + i / 1000).toFixed(3)]);
    window.confirmedRuns = [];
    (async () => {
        for (const [when, et] of window.typedRuns) await submitRun(when, et).then(() => window.confirmedRuns.push(when));
    })();"""


def durable(c):
    """Saves runs until 25 are confirmed, kills Chromium, and reads the log in a new one on the same profile."""
    browser = c.browser
    add_vehicle(browser, "Durable")
    browser.execute_script(SAVE_MANY)
    wait_for(browser, lambda: len(browser.execute_script("return window.confirmedRuns")) >= 25,
             "durable: fewer than 25 runs confirmed")
    confirmed, typed = browser.execute_script("return [window.confirmedRuns, window.typedRuns]")
    children = subprocess.run(["ps", "-o", "pid=,comm=", "--ppid", str(browser.service.process.pid)],
                              capture_output=True, text=True, check=True).stdout.split("\n")
    os.kill([int(line.split()[0]) for line in children if "chrom" in line][0], signal.SIGKILL)
    browser.service.process.kill()
    browser.service.process.wait()

    browser = open_browser(c.profile)
    try:
        open_runs(browser, c.url)
        kept = {row[0].replace(" ", "T"): row for row in all_rows(browser)}
        missing = [when for when in confirmed if when not in kept]
        check(missing == [], "durable: confirmed runs lost after SIGKILL: %s" % missing)
        typed = dict(typed)
        broken = [row for when, row in kept.items() if row[1] != "Durable" or row[5] != typed.get(when, "?") + " s"]
        check(broken == [], "durable: runs not as typed: %s" % broken[:3])
    finally:
        browser.quit()


def two_tabs(c):
    """Two tabs on one log each save a run at once, then one imports: every save and the import keep."""
    browser = c.browser
    add_vehicle(browser, "Twin")
    tabs = [browser.current_window_handle]
    browser.switch_to.new_window("tab")
    open_runs(browser, c.url)
    tabs.append(browser.current_window_handle)
    days = ["2025-07-01T10:00", "2025-07-02T10:00"]
    for tab, when in zip(tabs, days):
        browser.switch_to.window(tab)
        browser.execute_script(SUBMIT_RUN + "submitRun(arguments[0], '11.5');", when)
    for tab, when in zip(tabs, days):
        browser.switch_to.window(tab)
        says(browser, "run-status", "Saved the run of %s." % when.replace("T", " "), "two tabs: %s not saved" % when)
    import_file(browser, FIXTURE, "imported")
    open_runs(browser, c.url)
    shown = [row[0] for row in all_rows(browser)]
    check(all(when.replace("T", " ") in shown for when in days) and len(shown) > 2,
          "two tabs: the log keeps %s" % shown[:5])
    old_store(browser, c.url)


# The log rewritten as the first version kept it (no indexes) and held open, as an old tab would.
OLD_STORE = """
    const done = arguments[0];
    const answer = (r) => new Promise((resolve, reject) => {
        r.onsuccess = () => resolve(r.result); r.onerror = () => reject(r.error); });
    (async () => {
        const current = await answer(indexedDB.open("moravik-run-log"));
        const reading = current.transaction(["vehicles", "runs"]);
        const records = await Promise.all(["vehicles", "runs"].map((n) => answer(reading.objectStore(n).getAll())));
        current.close();
        await answer(indexedDB.deleteDatabase("moravik-run-log"));
        const old = indexedDB.open("moravik-run-log", 1);
        old.onupgradeneeded = () => ["vehicles", "runs"].forEach((name, i) => {
            const store = old.result.createObjectStore(name, {keyPath: "id"});
            records[i].forEach((record) => store.add(record));
        });
        window.oldLog = await answer(old);
        return records[1].length;
    })().then(done, (error) => done(String(error)));"""


def old_store(browser, url):
    """An older store: the page says it waits for the old tab, then upgrades it keeping every run.
    A newer store: let go, then refused with the reason, the page never ready."""
    close_other_tabs(browser)
    old_tab = browser.current_window_handle
    browser.get(url + "index.html")
    runs = browser.execute_async_script(OLD_STORE)
    browser.switch_to.new_window("tab")
    browser.get(url + "runs.html")
    says(browser, "engine-state", "Close Moravik's other tabs", "old store: blocked")
    check(not page_state(browser), "old store: the page is ready while its store is blocked")
    browser.switch_to.window(old_tab)
    browser.execute_script("window.oldLog.close()")
    browser.switch_to.window(browser.window_handles[-1])
    open_runs(browser, url)
    check(isinstance(runs, int) and runs > 2 and len(all_rows(browser)) == runs,
          "old store: %s runs before the upgrade, %d after" % (runs, len(all_rows(browser))))
    browser.switch_to.window(old_tab)
    browser.execute_async_script("""const newer = indexedDB.open("moravik-run-log", 99);
        newer.onsuccess = () => { newer.result.close(); arguments[0](); };""")
    browser.switch_to.window(browser.window_handles[-1])
    says(browser, "engine-state", "A newer Moravik", "old store: a newer version is not let go")
    browser.refresh()
    says(browser, "engine-state", "a newer version of Moravik keeps", "newer store: opened, or no reason")
    check(not page_state(browser), "newer store: the page is marked ready")


def season(c):
    """1,000 runs: the import reports its progress, the pages hold every run in order, deleting asks."""
    browser, folder = c.browser, c.folder
    browser.execute_script("""window.said = [];
        new MutationObserver(() => window.said.push(document.getElementById("csv-status").textContent))
            .observe(document.getElementById("csv-status"), {childList: true});""")
    (folder / "season.csv").write_text(SEASON_CSV, encoding="utf-8")
    browser.find_element(By.ID, "csv-file").send_keys(str(folder / "season.csv"))
    WebDriverWait(browser, 120).until(lambda b: "imported" in text_of(b, "csv-status") + text_of(b, "csv-fault"))
    said = browser.execute_script("return window.said")
    check(any(re.search(r"Saving: [1-9]00 runs of 1,000", line) for line in said) and
          said[-1] == "1000 runs imported from season.csv; new vehicles: Season.", "season: no progress: %s" % said)
    if check(browser.find_element(By.ID, "backup-offer").is_displayed(), "season: no backup offered after 1,000 new runs"):
        browser.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "deny"})
        browser.find_element(By.ID, "backup-export").click()
        wait_for(browser, lambda: not browser.find_element(By.ID, "backup-offer").is_displayed(),
                 "season: the backup offer stays after the export")
    check(text_of(browser, "page-status") == "Runs 951–1,000 of 1,000, oldest first",
          "season: opens on %r, not the newest runs" % text_of(browser, "page-status"))
    chart_reads(browser, "season")
    rows = all_rows(browser)
    typed = [line.split(",")[0][:16].replace("T", " ") for line in SEASON_CSV.splitlines()[1:]]
    check([row[0] for row in rows] == typed, "season: the pages hold %d runs, not the 1,000 in order" % len(rows))
    if c.screenshot:
        phone_screenshot(browser, c.screenshot, lambda: browser.execute_script(
            "document.getElementById('runs-title').scrollIntoView()"))
    Select(browser.find_element(By.ID, "vehicle-filter")).select_by_visible_text("Season")
    wait_for(browser, lambda: browser.find_element(By.ID, "delete-vehicle").is_displayed(), "season: no Delete vehicle")
    boxes = browser.find_elements(By.CSS_SELECTOR, "#run-table-box input[data-chosen]")[:2]
    for box in boxes:
        box.click()
    for button, answer, left in [("delete-vehicle", "dismiss", " of 1,000,"), ("delete-chosen", "accept", " of 998,"),
                                 ("delete-vehicle", "accept", "No runs yet.")]:
        browser.find_element(By.ID, button).click()
        if not wait_for(browser, lambda: browser.switch_to.alert.text, "season: %s asks nothing" % button):
            return
        alert = browser.switch_to.alert
        check("cannot be undone" in alert.text, "season: %s asks %r" % (button, alert.text))
        getattr(alert, answer)()
        wait_for(browser, lambda: left in text_of(browser, "page-status") + text_of(browser, "run-table-box"),
                 "season: after %s %s: %r" % (button, answer, text_of(browser, "page-status")))
    check(len(boxes) == 2 and "Season" not in text_of(browser, "vehicle-filter"),
          "season: the vehicle is still there, or %d runs to choose" % len(boxes))


def checks(args, axe, server, browser, profile):
    with tempfile.TemporaryDirectory() as temporary:
        c = types.SimpleNamespace(browser=browser, url=server.url, calc=args.calc, folder=pathlib.Path(temporary),
                                  downloads=pathlib.Path(temporary) / "downloads", axe=axe, profile=profile,
                                  screenshot=args.screenshot)
        c.downloads.mkdir()
        browser.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(c.downloads)})
        for steps in [round_trip, bad_input, take_back, keyboard_racer, season, two_tabs, durable]:
            fresh_runs(browser, server.url)
            steps(c)
            if steps in (round_trip, bad_input, take_back):
                run_axe(browser, axe, "Runs after the %s check" % steps.__name__)


if __name__ == "__main__":
    # One time zone with a daylight-saving rule for Chromium, the module and moravik-calc.
    os.environ["TZ"] = "America/Denver"
    run_checks(__doc__, "runs.html", checks)
