"""Runs generated inputs through the WebAssembly module under Node.js and
through the native `moravik-calc --batch`, and requires the same bytes.

    python3 check_module.py NODE PATH/TO/moravik_engine.js PATH/TO/moravik-calc [--cases N]

The inputs are the reference test's (tests/reference/check_batch.py).
"""

import argparse
import json
import pathlib
import subprocess
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "reference"))

from check_batch import generated_cases  # noqa: E402
from moravik_reference import INITIAL_TEXTS  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("node")
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
    full = "".join(json.dumps({**INITIAL_TEXTS, **case}) + "\n" for case in cases).encode()
    web = subprocess.run([args.node, str(HERE / "run_module.js"), args.module], input=full,
                         capture_output=True, timeout=300, check=False)
    if web.returncode != 0:
        sys.exit("the module failed: %s" % web.stderr.decode()[:1000])

    native_lines = native.stdout.decode().splitlines()
    web_lines = web.stdout.decode().splitlines()
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
