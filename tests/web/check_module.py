"""Runs generated inputs through the WebAssembly module, under Node.js or in
headless Chromium, and through the native `moravik-calc --batch`, and requires
the same bytes.

    python3 check_module.py [--node NODE | --chromium] PATH/TO/moravik_engine.js
                            PATH/TO/moravik-calc [--cases N] [--seed S]

The inputs are the reference test's (tests/reference/check_batch.py). In
Chromium the module is served as browser_checks.py serves the web app, and
loaded into a page of the same origin, as the app loads it.
"""

import argparse
import json
import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "reference"))

from check_batch import generated_cases  # noqa: E402

# Loads the module beside the page it is served with, runs every input's
# texts through it and hands back the answers as JSON texts.
IN_PAGE = """
const [inputs, done] = arguments, script = document.createElement("script");
script.onload = () => createMoravikEngine().then(
    (engine) => done(inputs.map((texts) => JSON.stringify(engine.calculate(texts)))),
    (error) => done(String(error)));
script.onerror = () => done("moravik_engine.js did not load");
script.src = "moravik_engine.js";
document.head.append(script);
"""


def answers_in_chromium(module, inputs):
    from browser_checks import Server, browser_in  # selenium, for the system's Python only

    server = Server(pathlib.Path(module).parent)
    try:
        with browser_in() as browser:
            browser.set_script_timeout(300)
            browser.get(server.url + pathlib.Path(module).name)
            answers = browser.execute_async_script(IN_PAGE, inputs)
    finally:
        server.stop()
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
    # The module takes each --batch line's object as it is.
    if args.chromium:
        web = answers_in_chromium(args.module, cases)
    else:
        web = answers_in_node(args.node, args.module, cases)

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
