"""Runs LIMITS and generated race-day commands through `moravik-calc ... --json`: every number
must agree with raceday_reference.py, every text be the same, every refusal the reference's.

    python3 check_raceday.py PATH/TO/moravik-calc [--cases N] [--seed S]

A number passes within REL_TOLERANCE of the larger of its magnitude and its key's SCALES: the
15-digit text rounds by 5e-15 and the two order the arithmetic a few ulps apart (5.5e-15 at most
over 12,000 commands); a constant's last digit moves a result by 1e-12.
"""

import argparse
import json
import math
import os
import random
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

from raceday_reference import Refused, run

REL_TOLERANCE = 1e-14
# A dew point in F or K reaches °C by other routes, and Wobus's p^8 takes the ulps eightfold (1.1e-14).
KEY_TOLERANCE = {"vapour_pressure_hpa": 3e-14, "water_grains_per_lb": 3e-14}
SCALES = {"dew_point_c": 273.15, "temperature_c": 273.15, "temperature_f": 459.67, "density_altitude_m": 44330.8,
          "density_altitude_ft": 44330.8 / 0.3048, "density_altitude_nws_ft": 145366}

# Each documented range: (command, option, its bound, accepted, and a value past the manual
# page's relative 1e-12 around it, refused); None where a bound has one side here.
AIR = ["air", "--temperature", "20C", "--pressure", "1000hPa"]
JET = ["jet-for-hp", "--target-hp", "100"]
BOUNDS = [
    (["air", "--pressure", "1000hPa"], "--temperature", "-40C", "-40.00001C"),
    (["air", "--pressure", "1000hPa"], "--temperature", "140F", "140.00001F"),
    (["air", "--temperature", "20C"], "--pressure", "500hPa", "499.9999999hPa"),
    (["air", "--temperature", "20C"], "--pressure", "1100hPa", "1100.000001hPa"),
    (AIR, "--humidity", "0%", "-1e-300%"),
    (AIR, "--humidity", "100%", "100.0000001%"),
    (AIR, "--dew-point", "-76F", "-60.00001C"),
    (AIR, "--dew-point", "20C", "20.0000001C"),
    # Jets: 70 hp × (jet in mm)² per nozzle, so these targets need exactly .001 and 32.767 in,
    # and .0004 (rounded to .000) and 32.768 in.
    (["jet-for-hp"], "--target-hp", "0.0451612", "0.0072258"),
    (["jet-for-hp"], "--target-hp", "48488509.6228", "48491469.2620"),
    (JET, "--fuel-pressure", "1psi", "0.5psi"),
    (JET, "--bottle-pressure", "32767psi", "32767.5psi"),
    (JET, "--nozzles", "1", "0"),
    (["jet-for-hp", "--target-hp", "2000"], "--nozzles", "32767", None),
    (JET, "--nozzles", None, "32768"),
    # The bottle: -30 °C up to the curve's critical point, 309.57 K; by pressure, 1320.6 kPa
    # (the curve at -30 °C) up to its critical pressure, 7251 kPa absolute.
    (["bottle"], "--temperature", "-22F", "-30.00001C"),
    (["bottle"], "--temperature", "309.57K", "309.5700001K"),
    (["bottle", "--outside-pressure", "0hPa"], "--pressure", None, "7251kPa"),
    (["bottle"], "--pressure", "1051.6686psia", "1051.6687psia"),
    (["bottle"], "--pressure", "191.5302psia", "191.5301psia"),
    (["bottle", "--temperature", "20C"], "--outside-pressure", "500hPa", "1100.000001hPa"),
    (["bottle", "--temperature", "20C"], "--nitrous-jet", None, "0"),
]
LIMITS = [(command + [option, value], accepted) for command, option, at, past in BOUNDS
          for value, accepted in [(at, True), (past, False)] if value is not None]


def number(rng, low, high, decimals):
    return "%.*f" % (decimals, rng.uniform(low, high))


# How people type each quantity: (format, scale, offset) from the generator's unit; bare imperial, metric.
IN_HG, BAR_PSI, KPA_PSI = 1 / 33.86389, 1 / 14.5038, 6.894757
FORMS = {
    "temperature": ([("%.1fC", 1, 0), ("%.1fF", 1.8, 32), ("%.2fK", 1, 273.15),
                     ("%.1f°F", 1.8, 32), ("%+.2f°C", 1, 0)], ("%.1f", 1.8, 32), ("%.1f", 1, 0)),
    "pressure": ([("%.1fhPa", 1, 0), ("%.1f mbar", 1, 0), ("%.3fkPa", 0.1, 0),
                  ("%.5f bar", 0.001, 0), ("%.2finHg", IN_HG, 0), ("%.3f psi", 1 / 68.94757, 0)],
                 ("%.2f", IN_HG, 0), ("%.1f", 1, 0)),
    "length": ([("%.0fm", 1, 0), ("%.0fft", 1 / 0.3048, 0)], ("%.0f", 1 / 0.3048, 0),
               ("%.0f", 1, 0)),
    "mass": ([("%.0flb", 1, 0), ("%.1fkg", 0.45359237, 0)], ("%.0f", 1, 0),
             ("%.0f", 0.45359237, 0)),
    "speed": ([("%.2fmph", 1, 0), ("%.1fkm/h", 1.609344, 0), ("%.2fm/s", 0.44704, 0)],
              ("%.2f", 1, 0), ("%.2f", 1.609344, 0)),
    "power": ([("%.1fhp", 1, 0), ("%.1fkW", 0.7457, 0), ("%.1fPS", 1.0139, 0)], ("%.1f", 1, 0),
              ("%.1f", 0.7457, 0)),
    "line": ([("%.0fpsi", 1, 0), ("%.2fbar", BAR_PSI, 0), ("%.0fkPa", KPA_PSI, 0)],
             ("%.0f", 1, 0), ("%.2f", BAR_PSI, 0)),
    # Hundredths of a psi, where an exact half psi, rounded to whole psi after the reference's
    # sum and difference with the outside pressure, may go either way.
    "bottle": ([("%.2fpsi", 1, 0), ("%.2f psig", 1, 0), ("%.2fpsia", 1, 14.7),
                ("%.2fbar", BAR_PSI, 0), ("%.0fkPa", KPA_PSI, 0)], ("%.2f", 1, 0),
               ("%.2f", BAR_PSI, 0)),
}


def typed(rng, kind, value, system):
    """value (°C, hPa, m, lb, mph, hp or psi) in one of its typed forms, or bare."""
    forms, imperial, metric = FORMS[kind]
    form, scale, offset = rng.choice(forms + [imperial if system == "imperial" else metric])
    return form % (value * scale + offset)


def weather(rng, system):
    """Options of `air`: temperature, pressure in one of its forms, moisture in one of its."""
    celsius = rng.uniform(-40, 50)
    temperature = typed(rng, "temperature", celsius, system)
    items = {"temperature": temperature}
    if rng.random() < 0.7:
        items["pressure"] = typed(rng, "pressure", rng.uniform(500, 1100), system)
    else:
        items["altimeter"] = typed(rng, "pressure", rng.uniform(940, 1060), system)
        items["elevation"] = typed(rng, "length", rng.uniform(-100, 3500), system)
    moisture = rng.randrange(6)
    if moisture == 1:
        items["humidity"] = rng.choice(["0%", "100%", "0", "100"])
    elif moisture in (2, 3):
        items["humidity"] = rng.choice(["%.0f%%", "%.1f%%", "%.0f"]) % rng.uniform(1, 100)
    elif moisture == 4:
        items["dew-point"] = temperature  # saturated
    elif moisture == 5:
        items["dew-point"] = typed(rng, "temperature", rng.uniform(-60, celsius), system)
    return items


STANDARDS = ["sae-j1349", "sae-j1349-2004", "sae-j607", "din-70020"]


def with_options(command, items, system):
    argv = [command]
    for key, value in items.items():
        argv += ["--" + key, value]
    if system != "imperial" or len(argv) % 3 == 0:
        argv += ["--units", system]
    return argv + ["--json"]


def air_case(rng, system):
    items = weather(rng, system)
    if rng.random() < 0.8:
        items["standard"] = rng.choice(STANDARDS)
    if rng.random() < 0.3:
        items["observed-hp"] = typed(rng, "power", rng.uniform(50, 1500), system)
    return with_options("air", items, system)


def weather_argument(rng, system):
    """A WEATHER text of predict: items with units, keywords where needed or wanted."""
    items = weather(rng, system)
    keyword = {"temperature": "temp", "pressure": "baro", "altimeter": "alt", "elevation": "elev",
               "humidity": "rh", "dew-point": "dew"}
    words = []
    for key, value in items.items():
        bare = value[-1].isdigit()
        if bare or key in ("altimeter", "dew-point") or rng.random() < 0.3:
            words.append(keyword[key])
        words.append(value.replace(" ", ""))
    return " ".join(words)


def predict_case(rng, system):
    items = {"et": rng.choice(["%.3f", "%.2fs"]) % rng.uniform(6, 20),
             "mph": typed(rng, "speed", rng.uniform(60, 220), system),
             "then": weather_argument(rng, system), "now": weather_argument(rng, system)}
    if rng.random() < 0.8:
        items["standard"] = rng.choice(STANDARDS)
    return with_options("predict", items, system)


def solve_hp_case(rng, system):
    items = {"weight": typed(rng, "mass", rng.uniform(800, 6000), system)}
    if rng.random() < 0.5:
        items["et"] = rng.choice(["%.3f", "%.2fs"]) % rng.uniform(6, 20)
    else:
        items["mph"] = typed(rng, "speed", rng.uniform(60, 220), system)
    return with_options("solve-hp", items, system)


def convert_case(rng, system):
    eighth = rng.random() < 0.5
    side = "eighth" if eighth else "quarter"
    items = {side + "-et": "%.3f" % rng.uniform(4, 12) if eighth else "%.3f" % rng.uniform(6, 20)}
    if rng.random() < 0.7:
        items[side + "-mph"] = typed(rng, "speed", rng.uniform(50, 220), system)
    if rng.random() < 0.2:
        items["et-factor"] = number(rng, 1.50, 1.62, 3)
    if rng.random() < 0.2:
        items["mph-factor"] = number(rng, 1.20, 1.30, 3)
    return with_options("convert", items, system)


def jet_case(rng, system):
    items = {"target-hp": typed(rng, "power", rng.uniform(5, 800), system)}
    if rng.random() < 0.5:
        items["fuel-pressure"] = typed(rng, "line", rng.uniform(5, 90), system)
    if rng.random() < 0.5:
        bare = system == "imperial" and rng.random() < 0.5  # a bare metric one is in bar
        items["bottle-pressure"] = ("%.0f" if bare else "%.0fpsi") % rng.uniform(500, 1300)
    if rng.random() < 0.6:
        items["nozzles"] = str(rng.choice([1, 2, 4, 6, 8, 12, 16]))
    return with_options("jet-for-hp", items, system)


def bottle_case(rng, system):
    celsius = rng.uniform(-30, 36.42)
    if rng.random() < 0.5:
        items = {"temperature": typed(rng, "temperature", celsius, system)}
    else:
        items = {"pressure": typed(rng, "bottle", rng.uniform(180, 1030), system)}
    if rng.random() < 0.3:
        items["outside-pressure"] = typed(rng, "pressure", rng.uniform(800, 1050), system)
    if rng.random() < 0.5:
        items["nitrous-jet"] = ".%03d" % rng.randrange(10, 120)
    if rng.random() < 0.3:
        items["fuel-pressure"] = "%.0fpsi" % rng.uniform(5, 90)
    if rng.random() < 0.4:
        items["tune-pressure"] = rng.choice(["%.0fpsi", "%.0f psia"]) % rng.uniform(600, 1100)
    return with_options("bottle", items, system)


def generated_cases(seed, count):
    rng = random.Random(seed)
    cases = [command + ["--json"] for command, _ in LIMITS]
    makers = [air_case] * 4 + [predict_case] * 2 + [solve_hp_case, convert_case, jet_case,
                                                       bottle_case]
    while len(cases) < count:
        cases.append(rng.choice(makers)(rng, rng.choice(["imperial", "metric"])))
    return cases


def disagreements(expected, got, key=""):
    """Where the answer differs from the reference beyond the rounding of its text."""
    if isinstance(expected, dict) and isinstance(got, dict):
        if list(expected) != list(got):
            return ["keys %s, expected %s" % (list(got), list(expected))]
        return [d for k in expected for d in disagreements(expected[k], got[k], k)]
    if isinstance(expected, float) and isinstance(got, (int, float)) and not isinstance(got, bool):
        scale = max(abs(expected), SCALES.get(key, 0))
        tolerance = KEY_TOLERANCE.get(key, REL_TOLERANCE)
        if math.isfinite(expected) and abs(got - expected) <= tolerance * scale:
            return []
    elif expected == got and type(expected) is type(got):
        return []
    return ["%s: %r, expected %r" % (key, got, expected)]


def reference(argv):
    """The reference's answer to a command (less its --json), or its refusal."""
    try:
        return run(argv[:-1])
    except Refused as refusal:
        return refusal


def check(calc, argv):
    expected = reference(argv)
    answer = subprocess.run([calc] + argv, capture_output=True, text=True, timeout=60,
                            check=False)
    if isinstance(expected, Refused):
        if answer.returncode == 2 and not answer.stdout:
            return []
        return ["refused by the reference (%s), but exit %d: %s"
                % (expected, answer.returncode, answer.stdout.strip()[:300])]
    if answer.returncode != 0:
        return ["exit %d: %s" % (answer.returncode, answer.stderr.strip()[:300])]
    return disagreements(expected, json.loads(answer.stdout))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("calc")
    parser.add_argument("--cases", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=2512)
    args = parser.parse_args()

    limits = [(" ".join(command), ["the reference %s it" % ("refuses" if accepted else "accepts")])
              for command, accepted in LIMITS
              if isinstance(reference(command + ["--json"]), Refused) == accepted]
    cases = generated_cases(args.seed, args.cases)
    with ThreadPoolExecutor(max_workers=2 * (os.cpu_count() or 1)) as pool:
        results = list(pool.map(lambda argv: check(args.calc, argv), cases))
    refused = sum(isinstance(reference(argv), Refused) for argv in cases)
    report(limits + [(" ".join(argv), problems) for argv, problems in zip(cases, results)],
           "%d commands (%d refused)" % (len(cases), refused))


def report(results, checked):
    """Prints the first (what, problems) that have problems and their count; exits 1 if any."""
    failures = ["%s\n  %s" % (what, "\n  ".join(problems)) for what, problems in results if problems]
    for failure in failures[:20]:
        print(failure)
    print("%d of %s differ from the reference" % (len(failures), checked))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
