"""The web app's speed and size in headless Chromium (figures for docs/benchmarks.md).

    /usr/bin/python3 bench/web_bench.py [build/wasm/moravik-web] [build/default/bin/bench_calculate]

  - a Calculate pass in the module inside Chromium: many passes in one call
    (calculateRepeatedly), so the time per pass leaves out the call, in wall
    time and in the page thread's processor time; and the cost of one
    calculate() call from JavaScript, texts and object included; against
    bench_calculate's native pass on the same initial texts (processor time);
  - the whole app's transfer size, each file gzip -9 compressed;
  - first render from the service worker's cache with the CPU slowed 4x
    (Emulation.setCPUThrottlingRate): first contentful paint, and the mark
    start_engine.js sets once the 31 results are shown;
  - typing a digit into the nitrous jet: the input handler, all 31 results
    and the layout they need, timed from the keystroke's event;
  - a season of 100,000 runs (a 4.9 MB CSV): the import's wall time, then the
    Runs page opened again until its table and chart are shown (the mark
    start_engine.js sets), idle and with the CPU slowed 4x, and the longest
    task on the page's thread throughout (PerformanceObserver's long tasks).
"""

import datetime
import gzip
import json
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "web"))

import browser_checks  # noqa: E402  (the tests' server and browser set-up)


def native_pass(bench_calculate):
    if not pathlib.Path(bench_calculate).is_file():
        return None
    run = subprocess.run([bench_calculate, "--benchmark_filter=BM_CalculateInitialTexts$",
                          "--benchmark_repetitions=5", "--benchmark_format=json"],
                         capture_output=True, text=True, check=True, timeout=300)
    runs = [b for b in json.loads(run.stdout)["benchmarks"] if b.get("run_type") == "iteration"]
    return statistics.median(b["cpu_time"] for b in runs) / 1000  # ns to µs


def thread_seconds(browser):
    """The page's main thread's processor time (DevTools' Performance.getMetrics)."""
    metrics = browser.execute_cdp_cmd("Performance.getMetrics", {})["metrics"]
    return next(m["value"] for m in metrics if m["name"] == "ThreadTime")


def wasm_pass(browser, passes=50_000):
    """Per pass: wall time, and the main thread's processor time, which a busy machine inflates less."""
    browser.execute_cdp_cmd("Performance.enable", {})
    times, processor = [], []
    for _ in range(5):
        before = thread_seconds(browser)
        wall = browser.execute_script("""
            const passes = arguments[0], start = performance.now();
            const clean = engine.calculateRepeatedly(passes);
            return clean === passes ? (performance.now() - start) * 1000 / passes : null;""", passes)
        processor.append((thread_seconds(browser) - before) * 1e6 / passes)
        times.append(wall)
    calls = browser.execute_script("""
        const texts = {njt: ".030", flp: "43", nbp: "900", jtn: "1", draghp: "210", vweight: "2562"}, calls = 20000;
        const start = performance.now();
        for (let i = 0; i < calls; ++i) engine.calculate(texts);
        return (performance.now() - start) * 1000 / calls;""")
    return statistics.median(times), statistics.median(processor), calls


def transfer_size(folder):
    sizes = {f.name: len(gzip.compress(f.read_bytes(), 9)) for f in sorted(folder.iterdir()) if f.is_file()}
    return sum(sizes.values()), sizes


def first_render(browser, url, rounds=5):
    browser.get(url)
    browser_checks.wait_ready(browser)
    browser.execute_async_script("navigator.serviceWorker.ready.then(() => arguments[0]())")
    browser_checks.WebDriverWait(browser, 30).until(
        lambda b: b.execute_script("return navigator.serviceWorker.controller !== null"))
    browser.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 4})
    paints, ready = [], []
    for _ in range(rounds):
        browser.get("about:blank")
        browser.get(url)
        browser_checks.wait_ready(browser)
        paint, mark = browser.execute_script("""
            const paint = performance.getEntriesByName("first-contentful-paint")[0];
            const mark = performance.getEntriesByName("moravik-ready")[0];
            return [paint ? paint.startTime : null, mark.startTime];""")
        paints.append(paint)
        ready.append(mark)
    browser.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})
    return statistics.median(p for p in paints if p is not None), statistics.median(ready)


def typing(browser, url, digits=60):
    browser.get(url)
    browser_checks.wait_ready(browser)
    return browser.execute_script("""
        const field = document.getElementById("njt"), times = [];
        for (let i = 0; i < arguments[0]; ++i) {
            field.value = ".0" + (30 + i % 40);
            const start = performance.now();
            field.dispatchEvent(new InputEvent("input", {bubbles: true, data: String(i % 10)}));
            document.getElementById("lrtAltMPH").getBoundingClientRect();  // the layout the results need
            times.push(performance.now() - start);
        }
        times.sort((a, b) => a - b);
        return [times[Math.floor(times.length / 2)], times[times.length - 1]];""", digits)


# Long tasks (over 50 ms) on the page's thread, from the page's first script on.
LONG_TASKS = """window.longTasks = [];
    new PerformanceObserver((list) => window.longTasks.push(...list.getEntries().map((e) => e.duration)))
        .observe({type: "longtask"});"""


def season_csv(path, runs=100_000):
    start = datetime.datetime(2019, 1, 1)
    with open(path, "w", encoding="utf-8") as file:
        file.write("date_time,vehicle,strip,et_s,speed_mph,temperature_F,station_pressure_inHg\n")
        for i in range(runs):
            when = start + datetime.timedelta(minutes=30 * i)
            file.write("%s,Camaro,Vegas,%.3f,%d,%d,29.9\n"
                       % (when.strftime("%Y-%m-%dT%H:%M"), 11.2 + (i * 37 % 500) / 1000, 118 + i % 7, 60 + i % 30))
    return path.stat().st_size


def open_runs_page(browser, url):
    """Milliseconds from navigation to the table shown, and the longest task on the page's thread."""
    browser.get("about:blank")
    browser.get(url + "runs.html")
    browser_checks.WebDriverWait(browser, 120).until(
        lambda b: b.execute_script("return document.documentElement.dataset.log === 'loaded'"))
    return browser.execute_script("""return [performance.getEntriesByName("moravik-ready")[0].startTime,
        Math.max(0, ...window.longTasks)]""")


def season(browser, url, folder, rounds=3):
    size = season_csv(folder / "season.csv")
    browser.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": LONG_TASKS})
    open_runs_page(browser, url)
    started = datetime.datetime.now()
    browser.find_element(browser_checks.By.ID, "csv-file").send_keys(str(folder / "season.csv"))
    browser_checks.WebDriverWait(browser, 1800, poll_frequency=1).until(
        lambda b: "imported" in b.execute_script("return document.getElementById('csv-status').textContent")
        or b.execute_script("return document.getElementById('csv-fault').textContent"))
    seconds = (datetime.datetime.now() - started).total_seconds()
    status, longest = browser.execute_script("""return [document.getElementById('csv-status').textContent
        + document.getElementById('csv-fault').textContent, Math.max(0, ...window.longTasks)]""")
    print("100,000 runs, %.2f MB CSV: import %.1f s (%s); longest page task during it %.0f ms"
          % (size / 1e6, seconds, status[:60], longest))
    for rate in [1, 4]:
        browser.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": rate})
        opened = [open_runs_page(browser, url) for _ in range(rounds)]
        print("Runs page with 100,000 runs, CPU %dx slower: shown in %s ms (median %.0f); longest page task %.0f ms"
              % (rate, ", ".join("%.0f" % shown for shown, _ in opened),
                 statistics.median(shown for shown, _ in opened), max(task for _, task in opened)))
    browser.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": 1})


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build/wasm/moravik-web")
    bench_calculate = sys.argv[2] if len(sys.argv) > 2 else str(ROOT / "build/default/bin/bench_calculate")
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    total, sizes = transfer_size(folder)
    print("transfer size, gzip -9: %.1f KB in all (%s)" % (
        total / 1000, ", ".join("%s %.1f" % item for item in ((n, s / 1000) for n, s in sizes.items()))))
    native = native_pass(bench_calculate)
    server = browser_checks.Server(folder)
    with tempfile.TemporaryDirectory() as profile:
        browser = browser_checks.open_browser(profile)
        try:
            browser.get(server.url)
            browser_checks.wait_ready(browser)
            per_pass, processor_per_pass, per_call = wasm_pass(browser)
            print("Calculate pass in wasm: %.2f µs wall, %.2f µs of the page thread's processor time; "
                  "one calculate() call from JS %.2f µs wall" % (per_pass, processor_per_pass, per_call))
            if native:
                print("native pass %.2f µs processor time: wasm %.2fx (processor time), %.2fx (wall)"
                      % (native, processor_per_pass / native, per_pass / native))
            else:
                print("build bench_calculate for the native figure")
            median, worst = typing(browser, server.url)
            print("typing a digit to all 31 results laid out: median %.2f ms, worst %.2f ms" % (median, worst))
            paint, ready = first_render(browser, server.url)
            print("first render from cache, CPU 4x slower: first contentful paint %.0f ms, results shown %.0f ms"
                  % (paint, ready))
            season(browser, server.url, pathlib.Path(profile))
        finally:
            browser.quit()
            server.stop()
            print("load average %.2f %.2f %.2f" % os.getloadavg())


if __name__ == "__main__":
    main()
