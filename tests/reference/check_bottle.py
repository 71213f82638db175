"""The bottle's vapour-pressure curve against the equation of state.

    python3 check_bottle.py PATH/TO/moravik-calc [--stride N]

`moravik-calc bottle --temperature T --json` from -30 °C to 309.52 K every 0.5 K (every N-th
step with --stride N) must lie within 0.3 % (measured: 0.252 %, near -30 °C) of the
vapour-pressure equation fitted to the Span-Wagner (2003) equation of state for N2O, as CoolProp
publishes it (its N2O fluid file, "pS" ancillary): p = pr exp((Tr / T) sum(n_i theta^t_i)),
theta = 1 - T / Tr, up to its critical point, 309.52 K, 0.05 K below the curve's.
"""

import argparse
import json
import math
import subprocess

from check_raceday import report

SPAN_WAGNER_TR_K = 309.52
SPAN_WAGNER_PR_KPA = 7245.0
SPAN_WAGNER_N = (-24.198485663914695, 18.980157921169518, -0.9915637584760082,
                 -3.6052256452535647, 52.20126113055801, -340.2395463889685)
SPAN_WAGNER_T = (1.06, 1.105, 1.754, 4.415, 9.887, 12.55)
LIMIT = 0.003


def span_wagner_kpa(kelvin):
    theta = 1 - kelvin / SPAN_WAGNER_TR_K
    return SPAN_WAGNER_PR_KPA * math.exp(SPAN_WAGNER_TR_K / kelvin * sum(
        n * theta ** t for n, t in zip(SPAN_WAGNER_N, SPAN_WAGNER_T)))


def departure(calc, kelvin):
    run = subprocess.run([calc, "bottle", "--temperature", repr(kelvin) + "K", "--json"],
                         capture_output=True, text=True, timeout=60, check=False)
    if run.returncode != 0:
        return ["exit %d %s" % (run.returncode, run.stderr.strip())]
    kpa = json.loads(run.stdout)["pressure_kpa_absolute"]
    off = abs(kpa / span_wagner_kpa(kelvin) - 1)
    return ["%r kPa, %.3f %% from Span-Wagner" % (kpa, 100 * off)] if off > LIMIT else []


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("calc")
    parser.add_argument("--stride", type=int, default=1)
    args = parser.parse_args()
    grid = [243.15 + 0.5 * i for i in range(133)]
    temperatures = sorted(set(grid[::args.stride]) | {grid[-1]}) + [SPAN_WAGNER_TR_K]
    report([("%r K" % kelvin, departure(args.calc, kelvin)) for kelvin in temperatures],
           "%d temperatures" % len(temperatures))


if __name__ == "__main__":
    main()
