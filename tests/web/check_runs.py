"""The Runs page in headless Chromium, against the native moravik-calc log.

    /usr/bin/python3 check_runs.py WEB_FOLDER MORAVIK_CALC AXE_MIN_JS [--screenshot PNG]

What it checks, and why, is in CONTRIBUTING.md (The web app's tests).
One Chromium runs every check, its log cleared between them; only the last
starts a second, on the profile of the one it kills.
"""

import os
import pathlib
import re
import signal
import subprocess
import tempfile

from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

from browser_checks import (check, layout_fits, minus_sign_keypads, only_own_origin, open_browser, phone_screenshot,
                            press, run_axe, run_checks, set_viewport, tab_to, text_of, wait_for)

FIXTURE = pathlib.Path(__file__).resolve().parents[1] / "runlog" / "data" / "log_v1_import.csv"
HEADER = "date_time,vehicle,strip,et_s,speed_mph,temperature_F,station_pressure_inHg,notes\n"

# Formula cells a spreadsheet would run (one guarded already), an ET of 99 s,
# local times of which the last three lie outside the years a run may have,
# and a vehicle's name in Latin-1, which is not UTF-8; lines end in a CR alone.
BAD_CSV = (HEADER + "".join(
    "2024-05-01T1%d:00:00Z,Vega,%s,118,70,29.9,%s\n" % row for row in [
        (0, '=HYPERLINK("http://x"),11.5', "+1+2"), (1, "Bandimere,99", ""), (2, "@SUM(A1),11.7", "'-3"),
        (3, "Bandimere,11.6", "-cmd|' /C calc'!A0")]) + "".join(
    when + ",Vega,,11.5,118,70,29.9,\n" for when in [
        "1950-01-01T00:00:00", "2040-06-01T12:00:00", "2099-12-31T23:59:00", "2024-03-10T02:30:00",
        "2024-11-03T01:30:00", "0224-06-01T12:00:00", "1899-06-01T12:00:00", "9999-06-01T12:00:00"])
).encode() + "2024-05-01T14:00:00Z,Citro\u00ebn,,11.5,118,70,29.9,\n".encode("latin-1")

# Vehicle, nitrous jet, runs, method, interval, units: the page's prediction
# against `moravik-calc log predict` on the same runs.
PREDICTIONS = [("Camaro", "", "1", "best", "90", "imperial"), ("Nova SS", ".062", "5", "scaling", "50", "metric")]

# Four runs that agree and a pedalled one, in one air (the run-log tests' case).
PEDALLED_CSV = HEADER + "".join("2024-06-01T1%d:00:00,Pedal,,%s,120,60,29.92,\n" % (hour, et)
                                for hour, et in enumerate(["11.00", "11.02", "10.98", "11.01", "11.70"]))

# A season of runs one hour apart, ETs from 11.0 to 11.9 s.
SEASON_CSV = HEADER + "".join(
    "2024-%02d-%02dT%02d:00:00,Season,,11.%d,118,70,29.9,\n" % (1 + i // 240, 11 + i // 24 % 10, i % 24, i * 7 % 10)
    for i in range(1000))


def database_of(folder, name):
    return str(folder / (name + ".sqlite"))


def native_log(calc, folder, csv_text, name):
    """A log built by `log import` of the text: its export in each unit system,
    and the import's stderr lines."""
    database = database_of(folder, name)
    source = folder / (name + ".csv")
    source.write_bytes(csv_text if isinstance(csv_text, bytes) else csv_text.encode("utf-8"))
    imported = subprocess.run([calc, "log", "--database", database, "import", str(source)],
                              capture_output=True, text=True, timeout=60, check=False)
    exports = {units: subprocess.run([calc, "log", "--database", database, "export", "--units", units],
                                     capture_output=True, timeout=60, check=True).stdout
               for units in ["imperial", "metric"]}
    return exports, imported.stderr.splitlines()


def native_prediction(calc, folder, name, *options):
    """`moravik-calc log predict` on the log `name`: its figures as the page lists them, and its report."""
    report = subprocess.run([calc, "log", "--database", database_of(folder, name), "predict", *options],
                            capture_output=True, text=True, timeout=60, check=True).stdout
    return [[label[:-1], text] for label, text in re.findall(r"^ {2}(\S[^:]*:) +(.*)$", report, re.M)
            if label != "Vehicle:"], report


ALL_ROWS = """
    const done = arguments[0], rows = [];
    const status = () => document.getElementById("page-status").textContent;
    const turn = async (button) => {
        const before = status();
        button.click();
        while (status() === before) await new Promise((resolve) => setTimeout(resolve, 5));
    };
    (async () => {
        if (!document.getElementById("page-first").disabled) await turn(document.getElementById("page-first"));
        for (;;) {
            rows.push(...[...document.querySelectorAll("#run-table-box tbody tr")]
                .map((row) => [...row.cells].slice(0, -1).map((cell) => cell.textContent)));
            if (document.getElementById("page-newer").disabled) return done(rows);
            await turn(document.getElementById("page-newer"));
        }
    })();"""


def all_rows(browser):
    """Every run's cells, turning the table's pages from the oldest."""
    return browser.execute_async_script(ALL_ROWS)


def open_runs(browser, url):
    browser.get(url + "runs.html")
    WebDriverWait(browser, 30).until(
        lambda b: b.execute_script("return document.documentElement.dataset.log === 'loaded'"))


def fresh_runs(browser, url):
    """The Runs page on an empty log, as a new profile would open it: the
    other tabs closed, the log and the backup count cleared."""
    for tab in browser.window_handles[1:]:
        browser.switch_to.window(tab)
        browser.close()
    browser.switch_to.window(browser.window_handles[0])
    browser.get("about:blank")
    browser.execute_cdp_cmd("Storage.clearDataForOrigin", {"origin": url.rstrip("/"),
                                                           "storageTypes": "indexeddb,local_storage"})
    open_runs(browser, url)


def choose_units(browser, units):
    browser.find_element(By.CSS_SELECTOR, "input[name=units][value=%s]" % units).click()


def import_file(browser, path, expected_status):
    browser.find_element(By.ID, "csv-file").send_keys(str(path))
    return wait_for(browser, lambda: expected_status in text_of(browser, "csv-status") + text_of(browser, "csv-fault"),
                    "import of %s: %r, %r" % (path.name, text_of(browser, "csv-status"), text_of(browser, "csv-fault")))


def export_file(browser, downloads, units):
    choose_units(browser, units)
    target = downloads / "runs.csv"
    if target.exists():
        target.unlink()
    browser.find_element(By.ID, "csv-export").click()
    wait_for(browser, lambda: target.exists() and not list(downloads.glob("*.crdownload")),
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


def predicted_lines(browser):
    return browser.execute_script("""return [...document.querySelectorAll("#predict-report dl > div")]
        .map((pair) => [pair.firstChild.textContent, pair.lastChild.textContent])""")


def shows_prediction(browser, expected, what):
    wait_for(browser, lambda: predicted_lines(browser) == expected != [],
             "%s: the page shows %s, moravik-calc %s" % (what, predicted_lines(browser), expected))


def round_trip(browser, url, calc, folder, downloads):
    exports, _ = native_log(calc, folder, FIXTURE.read_text(encoding="utf-8"), "fixture")
    source = folder / "desktop-export.csv"
    source.write_bytes(exports["imperial"])
    import_file(browser, source, "runs imported")
    for units, expected in exports.items():
        check(export_file(browser, downloads, units) == expected,
              "round trip: the %s export differs from moravik-calc log export" % units)
    for case in PREDICTIONS:
        vehicle, jet, runs, method, interval, units = case
        expected, _ = native_prediction(calc, folder, "fixture", "--vehicle", vehicle, "--now", "86F 29.10inHg 40%",
                                        "--runs", runs, "--method", method, "--interval", interval, "--units", units,
                                        *(["--nitrous-jet", jet] if jet else []))
        choose_units(browser, units)
        predict_on_page(browser, vehicle, [("predict-jet", jet), ("predict-recent", runs),
                                           ("predict-interval", interval)], method)
        shows_prediction(browser, expected, "prediction %s" % (case,))


def take_back(browser, url, calc, folder, downloads):
    """The pedalled run is left out as log predict leaves it out; ticked, it counts as --include."""
    native_log(calc, folder, PEDALLED_CSV, "pedalled")
    import_file(browser, folder / "pedalled.csv", "runs imported")

    def native(*include):
        lines, report = native_prediction(calc, folder, "pedalled", "--vehicle", "Pedal", "--now", "60F 29.92inHg",
                                          *include)
        return lines, re.findall(r"^  run (\d+) .*\n.*left out: far from the other runs", report, re.M)

    left_out, far = native()
    check(len(far) == 1, "take back: log predict leaves out %s, not the one pedalled run" % far)
    predict_on_page(browser, "Pedal", [("predict-now", "60F 29.92inHg")])
    shows_prediction(browser, left_out, "take back")
    ticks = browser.find_elements(By.CSS_SELECTOR, ".take-back input[type=checkbox]")
    if check(len(ticks) == 1 and "11.700 s" in ticks[0].find_element(By.XPATH, "..").text,
             "take back: the page offers %d runs, not the pedalled one" % len(ticks)):
        ticks[0].click()
        shows_prediction(browser, native("--include", far[0] if far else "0")[0], "take back, ticked")


def bad_input(browser, url, calc, folder, downloads):
    """The bad CSV's rows left out and its export as `moravik-calc log import`
    and `log export` give them; a UTF-16 file and 50 MB refused."""
    exports, messages = native_log(calc, folder, BAD_CSV.replace(b"\n", b"\r"), "bad")
    # The desktop's messages without its file name: "line 3: ET must ... (left out)".
    left_out = [message.split(", ", 1)[1] for message in messages]
    import_file(browser, folder / "bad.csv", "imported")
    shown = browser.execute_script("return [...document.querySelectorAll('#csv-report li')].map((e) => e.textContent)")
    # The two imports read the clock a moment apart.
    clock = re.compile(r"by this machine's clock \([^)]*\)")
    check([clock.sub("", line) for line in shown] == [clock.sub("", line) for line in left_out] and len(shown) == 7,
          "bad CSV: the page lists %s, moravik-calc %s" % (shown, left_out))
    check(export_file(browser, downloads, "imperial") == exports["imperial"],
          "bad CSV: the export differs from moravik-calc log export")

    _, messages = native_log(calc, folder, "date_time,vehicle\n2024-05-01T10:00:00Z,V\n".encode("utf-16"), "utf16")
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
    """The ET chart's two labels are 12 px or more, clear of each other and of
    the plot, and its points at least 8 px apart, however the ETs alternate."""
    chart = browser.execute_script(CHART)
    check(chart and chart["labels"] == 2 and chart["px"] >= 12 and chart["overlaps"] == 0 and
          chart["points"] * 8 <= chart["width"], "%s: the ET chart does not read: %s" % (what, chart))


def runs_layout(browser, width, axe, what):
    # On a phone every figure of a run is in view, not in a table scrolled sideways.
    layout_fits(browser, width, what, targets="main input:not([type=radio]), main select, main button, nav a",
                inside="#run-table-box td" if width < 600 else None)
    run_axe(browser, axe, what)


def keyboard_racer(browser, axe):
    """At 360x740 adds a vehicle and two runs with the keyboard alone, is
    refused a bad run, predicts and deletes one; then the layout at 1280x800."""
    minus_sign_keypads(browser, "#run-temperature, #run-dew-point", "Runs")
    for units, expected in [("metric", ["°C", "hPa", "km/h"]), ("imperial", ["°F", "inHg", "mph"])]:
        choose_units(browser, units)
        shown = lambda: browser.execute_script(  # noqa: E731
            "return ['temperature', 'station_pressure', 'speed'].map((key) =>"
            " document.querySelector('[data-unit-of=' + key + ']').textContent)")
        wait_for(browser, lambda: shown() == expected, "%s units beside the fields: %s" % (units, shown()))
    browser.find_element(By.TAG_NAME, "body").click()
    if tab_to(browser, "vehicle-name"):
        press(browser, "Camaro", Keys.ENTER)
    wait_for(browser, lambda: "Camaro" in text_of(browser, "run-vehicle"), "the vehicle was not added")
    Select(browser.find_element(By.ID, "vehicle-filter")).select_by_visible_text("Camaro")
    # The date and time pickers take the keys of Chromium's English month/day/year and 12-hour clock.
    for when, keys, et, mph in [("2025-05-01 10:00", ["05012025", "1000AM"], "11.92", "112.4"),
                                ("2025-05-02 22:00", ["05022025", "1000PM"], "11.81", "113.0")]:
        for field, typed in zip(["run-date", "run-time"], keys):
            if not tab_to(browser, field):
                return
            press(browser, typed)
        tab_to(browser, "run-et")
        press(browser, Keys.CONTROL, "a", Keys.BACKSPACE, et, Keys.TAB, mph, Keys.ENTER)
        wait_for(browser, lambda: text_of(browser, "run-status") == "Saved the run of %s." % when,
                 "%s not confirmed: %r %r" % (when, text_of(browser, "run-status"), text_of(browser, "run-fault")))
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
    run_axe(browser, axe, "Runs with a message")
    if tab_to(browser, "predict-now", 80):
        press(browser, Keys.ENTER)
        wait_for(browser, lambda: "Predicted ET" in text_of(browser, "predict-report"),
                 "no prediction: %r" % text_of(browser, "predict-fault"))
    browser.find_element(By.CSS_SELECTOR, "#run-table-box button[data-run]").send_keys(Keys.ENTER)
    wait_for(browser, lambda: len(browser.find_elements(By.CSS_SELECTOR, "#run-table-box tbody tr")) == 1,
             "Delete leaves the run")
    runs_layout(browser, 360, axe, "360x740 Runs")
    set_viewport(browser, 1280, 800)
    runs_layout(browser, 1280, axe, "1280x800 Runs")
    set_viewport(browser, 360, 740)
    only_own_origin(browser, "Runs")


# Fills the run form's date and time, ET and speed, and submits it.
SUBMIT_RUN = """
    const submitRun = (when, et, speed) => {
        const field = (key) => document.querySelector('#run-form [data-column="' + key + '"]');
        [document.getElementById("run-date").value, document.getElementById("run-time").value] = when.split("T");
        field("et").value = et;
        field("speed").value = speed;
        document.getElementById("run-form").requestSubmit();
    };"""

SAVE_MANY = SUBMIT_RUN + """
    window.typedRuns = Array.from({length: 400}, (_, i) => ["2025-06-" + String(1 + Math.floor(i / 24)).padStart(2, "0")
        + "T" + String(i % 24).padStart(2, "0") + ":00", (10 + i / 1000).toFixed(3)]);
    window.confirmedRuns = [];
    (async () => {
        for (const [when, et] of window.typedRuns) {
            submitRun(when, et, "120");
            while (document.getElementById("run-status").textContent !== "Saved the run of " + when.replace("T", " ") + ".") {
                if (document.getElementById("run-fault").textContent) return;
                await new Promise((resolve) => setTimeout(resolve, 1));
            }
            window.confirmedRuns.push(when);
        }
    })();"""


def durable(browser, url, profile):
    """Saves runs until 25 are confirmed, kills Chromium, and reads the log in a new one on the same profile."""
    browser.find_element(By.ID, "vehicle-name").send_keys("Durable", Keys.ENTER)
    wait_for(browser, lambda: "Durable" in text_of(browser, "run-vehicle"), "durable: no vehicle")
    browser.execute_script(SAVE_MANY)
    wait_for(browser, lambda: len(browser.execute_script("return window.confirmedRuns")) >= 25,
             "durable: fewer than 25 runs confirmed")
    confirmed, typed = browser.execute_script("return [window.confirmedRuns, window.typedRuns]")
    children = subprocess.run(["ps", "-o", "pid=,comm=", "--ppid", str(browser.service.process.pid)],
                              capture_output=True, text=True, check=True).stdout.split("\n")
    os.kill([int(line.split()[0]) for line in children if "chrom" in line][0], signal.SIGKILL)
    browser.service.process.kill()
    browser.service.process.wait()

    browser = open_browser(profile)
    try:
        open_runs(browser, url)
        kept = {row[0].replace(" ", "T"): row for row in all_rows(browser)}
        missing = [when for when in confirmed if when not in kept]
        check(missing == [], "durable: confirmed runs lost after SIGKILL: %s" % missing)
        typed = dict(typed)
        broken = [row for when, row in kept.items() if row[1] != "Durable" or row[5] != typed.get(when, "?") + " s"]
        check(broken == [], "durable: runs not as typed: %s" % broken[:3])
        print("durable: %d runs confirmed before SIGKILL, %d kept" % (len(confirmed), len(kept)))
    finally:
        browser.quit()


def two_tabs(browser, url):
    """Two tabs opened on the same log each save a run at once, then one
    imports: every save and the import keep, whatever the other tab's list showed."""
    browser.find_element(By.ID, "vehicle-name").send_keys("Twin", Keys.ENTER)
    wait_for(browser, lambda: "Twin" in text_of(browser, "run-vehicle"), "two tabs: no vehicle")
    tabs = [browser.current_window_handle]
    browser.switch_to.new_window("tab")
    open_runs(browser, url)
    tabs.append(browser.current_window_handle)
    days = ["2025-07-01T10:00", "2025-07-02T10:00"]
    for tab, when in zip(tabs, days):
        browser.switch_to.window(tab)
        browser.execute_script(SUBMIT_RUN + "submitRun(arguments[0], '11.5', '118');", when)
    for tab, when in zip(tabs, days):
        browser.switch_to.window(tab)
        wait_for(browser, lambda: text_of(browser, "run-status") == "Saved the run of %s." % when.replace("T", " "),
                 "two tabs: %s not saved: %r" % (when, text_of(browser, "run-fault")))
    import_file(browser, FIXTURE, "imported")
    open_runs(browser, url)
    shown = [row[0] for row in all_rows(browser)]
    check(all(when.replace("T", " ") in shown for when in days) and len(shown) > 2,
          "two tabs: the log keeps %s" % shown[:5])


# In another tab: the log written again as the first version kept it, the same
# records without the indexes, and left open, as an old page would hold it.
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
    """An older version's store: the page waits, saying why, while an old tab
    holds it; then upgrades it keeping every run. A newer version's store is
    let go, and then refused with the reason, the page never marked ready."""
    state = lambda: text_of(browser, "engine-state")  # noqa: E731
    ready = lambda: browser.execute_script("return document.documentElement.dataset.ready || ''")  # noqa: E731
    for tab in browser.window_handles[1:]:
        browser.switch_to.window(tab)
        browser.close()
    old_tab = browser.window_handles[0]
    browser.switch_to.window(old_tab)
    browser.get(url + "index.html")
    runs = browser.execute_async_script(OLD_STORE)
    browser.switch_to.new_window("tab")
    browser.get(url + "runs.html")
    wait_for(browser, lambda: "Close Moravik's other tabs" in state(), "old store: blocked, yet %r" % state())
    check(ready() == "", "old store: the page is ready while its store is blocked")
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
    wait_for(browser, lambda: "A newer Moravik" in state(), "old store: a newer version is not let go: %r" % state())
    browser.refresh()
    wait_for(browser, lambda: "a newer version of Moravik keeps" in state(),
             "newer store: opened, or no reason: %r" % state())
    check(ready() == "", "newer store: the page is marked ready")


def season(browser, url, folder, screenshot):
    """1,000 runs: the import reports its progress, the pages hold every run
    in order, and deleting asks first."""
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
    if screenshot:
        phone_screenshot(browser, screenshot, lambda: browser.execute_script(
            "document.getElementById('runs-title').scrollIntoView()"))
    Select(browser.find_element(By.ID, "vehicle-filter")).select_by_visible_text("Season")
    wait_for(browser, lambda: browser.find_element(By.ID, "delete-vehicle").is_displayed(), "season: no Delete vehicle")
    boxes = browser.find_elements(By.CSS_SELECTOR, "#run-table-box input[data-chosen]")[:2]
    chosen = [box.get_attribute("aria-label").split(" of ")[1] for box in boxes]
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
    check(len(chosen) == 2 and "Season" not in text_of(browser, "vehicle-filter"),
          "season: the vehicle is still there, or no runs to choose: %s" % chosen)


def checks(args, axe, server, browser, profile):
    with tempfile.TemporaryDirectory() as temporary:
        folder = pathlib.Path(temporary)
        downloads = folder / "downloads"
        downloads.mkdir()
        browser.execute_cdp_cmd("Browser.setDownloadBehavior", {"behavior": "allow", "downloadPath": str(downloads)})
        for steps in [round_trip, bad_input, take_back]:
            fresh_runs(browser, server.url)
            steps(browser, server.url, args.calc, folder, downloads)
            run_axe(browser, axe, "Runs after the %s check" % steps.__name__)
        fresh_runs(browser, server.url)
        keyboard_racer(browser, axe)
        fresh_runs(browser, server.url)
        season(browser, server.url, folder, args.screenshot)
        fresh_runs(browser, server.url)
        two_tabs(browser, server.url)
        old_store(browser, server.url)
        fresh_runs(browser, server.url)
        durable(browser, server.url, profile)

if __name__ == "__main__":
    # One time zone with a daylight-saving rule for Chromium, the module and moravik-calc.
    os.environ["TZ"] = "America/Denver"
    run_checks(__doc__, "runs.html", checks)
