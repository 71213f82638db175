"""Runs generated inputs through the WebAssembly module, under Node.js or in
headless Chromium, and through the native `moravik-calc --batch`, and requires
the same bytes.

    python3 check_module.py [--node NODE | --chromium] PATH/TO/moravik_engine.js
                            PATH/TO/moravik-calc [--cases N] [--seed S]

The inputs are the reference test's (tests/reference/check_batch.py). In
Chromium (Debian's chromium and chromium-driver, through python3-selenium) the
module is served from a local HTTP server on a free port, as a page would load it.
"""

import argparse
import functools
import http.server
import json
import pathlib
import subprocess
import sys
import threading

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parents[1] / "tests" / "reference"))

from check_batch import generated_cases  # noqa: E402
from moravik_reference import INITIAL_TEXTS  # noqa: E402


FIELDS = ["njt", "flp", "nbp", "jtn", "draghp", "vweight", "altitudeDD"]

PAGE = b"""<!DOCTYPE html><html><head><meta charset="utf-8"><title>module check</title>
<script src="moravik_engine.js"></script></head><body></body></html>"""

# Runs every input through the module and hands back the answers as JSON texts.
IN_PAGE = """
const [inputs, fields, done] = arguments;
createMoravikEngine().then(
    (engine) => done(inputs.map((texts) =>
        JSON.stringify(engine.calculate(...fields.map((name) => texts[name]))))),
    (error) => done(String(error)));
"""


class ModuleFiles(http.server.SimpleHTTPRequestHandler):
    """The module's folder, and the page at /check.html."""

    def do_GET(self):
        if self.path != "/check.html":
            return super().do_GET()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(PAGE)))
        self.end_headers()
        self.wfile.write(PAGE)
        return None

    def log_message(self, *args):
        pass


def answers_in_chromium(module, inputs):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service

    handler = functools.partial(ModuleFiles, directory=str(pathlib.Path(module).parent))
    ModuleFiles.extensions_map = {**ModuleFiles.extensions_map, ".wasm": "application/wasm"}
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-dev-shm-usage"]:
        options.add_argument(argument)
    browser = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        browser.set_script_timeout(300)
        browser.get("http://127.0.0.1:%d/check.html" % server.server_address[1])
        answers = browser.execute_async_script(IN_PAGE, inputs, FIELDS)
    finally:
        browser.quit()
        server.shutdown()
    if isinstance(answers, str):
        sys.exit("the module failed in Chromium: %s" % answers)
    return "".join(answer + "\n" for answer in answers)


def answers_in_node(node, module, inputs):
    full = "".join(json.dumps(texts) + "\n" for texts in inputs).encode()
    web = subprocess.run([node, str(HERE / "run_module.js"), module], input=full,
                         capture_output=True, timeout=300, check=False)
    if web.returncode != 0:
        sys.exit("the module failed: %s" % web.stderr.decode()[:1000])
    return web.stdout.decode()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--node", default="node", help="the Node.js to run the module with")
    parser.add_argument("--chromium", action="store_true", help="run the module in Chromium")
    parser.add_argument("module")
    parser.add_argument("calc")
    parser.add_argument("--cases", type=int, default=2000)
    parser.add_argument("--seed", type=int, default=1105)
    args = parser.parse_args()
    if not pathlib.Path(args.calc).is_file():
        sys.exit("no native moravik-calc at %s: build the default preset first" % args.calc)

    cases = generated_cases(args.seed, args.cases)
    batch = "".join(json.dumps(case) + "\n" for case in cases).encode()
    native = subprocess.run([args.calc, "--batch"], input=batch, capture_output=True,
                            timeout=120, check=False)
    # The module takes all seven texts; --batch fills a missing one with the initial text.
    inputs = [{**INITIAL_TEXTS, **case} for case in cases]
    if args.chromium:
        web = answers_in_chromium(args.module, inputs)
    else:
        web = answers_in_node(args.node, args.module, inputs)

    native_lines = native.stdout.decode().splitlines()
    web_lines = web.splitlines()
    if len(native_lines) != len(cases) or len(web_lines) != len(cases):
        sys.exit("%d native and %d module answers for %d inputs"
                 % (len(native_lines), len(web_lines), len(cases)))
    differ = [(case, a, b) for case, a, b in zip(cases, native_lines, web_lines) if a != b]
    for case, a, b in differ[:10]:
        print("%s\n  native %s\n  module %s" % (json.dumps(case), a, b))
    print("%d of %d passes differ between the module and moravik-calc --batch"
          % (len(differ), len(cases)))
    sys.exit(1 if differ else 0)


if __name__ == "__main__":
    main()
