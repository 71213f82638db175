"""Runs a few thousand generated race-day commands through `moravik-calc ... --json`
and requires every number to agree with raceday_reference.py, every text to be
the same, and every refusal (exit status 2) to be the reference's.

    python3 check_raceday.py PATH/TO/moravik-calc [--cases N] [--seed S]

The cases are fixed by the seed: racers' weather from -40 to 50 °C and 500 to
1100 hPa in every unit and input form (station pressure or altimeter setting
with elevation, humidity or dew point or dry air, bare numbers under both unit
systems), each standard's reference day, dew point equal to the temperature,
0 % and 100 %, and the rows of LIMITS: each documented range exactly at its
bound, accepted, and just past it, refused.

Agreement: moravik-calc writes 15 significant digits, so a number may differ
from the reference by the rounding of that text (at most 5e-15 relative) plus
the few ulps by which the two order the same arithmetic differently. A number
passes within REL_TOLERANCE = 1e-14 of the larger of its magnitude and the
scale its key is formed at (SCALES): a density altitude is a difference of
terms of 44330.8 m, a dew point in °C one of kelvins. Over 12,000 commands the
largest difference was 5.5e-15, and 1.1e-14 for a vapour pressure (KEY_TOLERANCE).
A constant whose last digit moves a result by 1e-12 relative is 30 times the
largest bound.
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
# The vapour pressure of a dew point typed in F or K: the reference turns it into
# °C directly, the library through kelvins, a few ulps of 230 K apart, and Wobus's
# p^8 takes p's rounding eightfold; measured up to 1.1e-14 over 12,000 commands.
KEY_TOLERANCE = {"vapour_pressure_hpa": 3e-14, "water_grains_per_lb": 3e-14}
SCALES = {"dew_point_c": 273.15, "temperature_c": 273.15, "temperature_f": 459.67, "density_altitude_m": 44330.8,
          "density_altitude_ft": 44330.8 / 0.3048, "density_altitude_nws_ft": 145366}

# Each documented range on its line: (command, option, a value at the bound,
# accepted, and one just past it and the relative 1e-12 the manual page allows
# around it, refused); None where a bound has only one side here.
AIR = ["air", "--temperature", "20C", "--pressure", "1000hPa"]
JET = ["jet-for-hp", "--target-hp", "100"]
BOUNDS = [
    (["air", "--pressure", "1000hPa"], "--temperature", "-40C", "-40.00001C"),
    (["air", "--pressure", "1000hPa"], "--temperature", "140F", "140.00001F"),
    (["air", "--temperature", "20C"], "--pressure", "500hPa", "499.9999999hPa"),
    (["air", "--temperature", "20C"], "--pressure", "1100hPa", "1100.000001hPa"),
    (AIR, "--humidity", "0%", "-1e-300%"),
    (AIR, "--humidity", "100%", "100.0000001%"),
    (AIR, "--dew-point", "-60C", "-60.00001C"),
    (AIR, "--dew-point", "-76F", "-76.00001F"),
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
    (["bottle"], "--temperature", "-30C", "-30.00001C"),
    (["bottle"], "--temperature", "-22F", None),
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


def temperature_text(rng, celsius, system):
    """The same temperature as people type it: C, F, K, °F, bare in the unit system, or signed °C."""
    fahrenheit = celsius * 1.8 + 32
    bare = "%.1f" % (fahrenheit if system == "imperial" else celsius)
    return rng.choice(["%.1fC" % celsius, "%.1fF" % fahrenheit, "%.2fK" % (celsius + 273.15),
                       "%.1f°F" % fahrenheit, bare, bare, "%+.2f°C" % celsius])


PRESSURE_FORMS = [("hPa", 1, 1), ("mbar", 1, 2), ("kPa", 0.1, 3), ("bar", 0.001, 5),
                  ("inHg", 1 / 33.86389, 2), ("psi", 1 / 68.94757, 3)]


def pressure_text(rng, hpa, system):
    if rng.random() < 0.2:
        return ("%.2f" % (hpa / 33.86389)) if system == "imperial" else "%.1f" % hpa
    unit, per_hpa, decimals = rng.choice(PRESSURE_FORMS)
    return "%.*f%s%s" % (decimals, hpa * per_hpa, rng.choice(["", " "]), unit)


def weather(rng, system):
    """Options of `air`: temperature, pressure in one of its forms, moisture in one of its."""
    celsius = rng.uniform(-40, 50)
    temperature = temperature_text(rng, celsius, system)
    items = {"temperature": temperature}
    if rng.random() < 0.7:
        items["pressure"] = pressure_text(rng, rng.uniform(500, 1100), system)
    else:
        items["altimeter"] = pressure_text(rng, rng.uniform(940, 1060), system)
        metres = rng.uniform(-100, 3500)
        items["elevation"] = rng.choice(["%.0fm" % metres, "%.0fft" % (metres / 0.3048),
                                         "%.0f" % (metres / 0.3048 if system == "imperial"
                                                   else metres)])
    moisture = rng.randrange(6)
    if moisture == 1:
        items["humidity"] = rng.choice(["0%", "100%", "0", "100"])
    elif moisture in (2, 3):
        items["humidity"] = rng.choice(["%.0f%%", "%.1f%%", "%.0f"]) % rng.uniform(1, 100)
    elif moisture == 4:
        items["dew-point"] = temperature  # saturated
    elif moisture == 5:
        items["dew-point"] = temperature_text(rng, rng.uniform(-60, celsius), system)
    return items


REFERENCE_DAYS = [
    ("sae-j1349", {"temperature": "25C", "pressure": "99kPa"}),
    ("sae-j1349-2004", {"temperature": "25C", "pressure": "990hPa"}),
    ("sae-j1349", {"temperature": "77F", "pressure": "99kPa", "dew-point": "77F"}),
    ("sae-j607", {"temperature": "60F", "pressure": "29.92inHg"}),
    ("sae-j607", {"temperature": "60", "pressure": "29.92", "humidity": "50%"}),
    ("din-70020", {"temperature": "20C", "pressure": "1013hPa"}),
    ("din-70020", {"temperature": "20C", "pressure": "1013mbar", "humidity": "100%"}),
]
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
        items["observed-hp"] = rng.choice(["%.1fhp", "%.1fkW", "%.1fPS", "%.1f"]) % rng.uniform(
            50, 1500)
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
             "mph": rng.choice(["%.2f", "%.2fmph", "%.1fkm/h", "%.2fm/s"]),
             "then": weather_argument(rng, system), "now": weather_argument(rng, system)}
    speed = rng.uniform(60, 220)
    items["mph"] %= speed * {"%.2f": 1 if system == "imperial" else 1.609344, "%.2fmph": 1,
                             "%.1fkm/h": 1.609344, "%.2fm/s": 0.44704}[items["mph"]]
    if rng.random() < 0.8:
        items["standard"] = rng.choice(STANDARDS)
    return with_options("predict", items, system)


def weight_text(rng, system):
    lb = rng.uniform(800, 6000)
    return rng.choice(["%.0flb" % lb, "%.1fkg" % (lb * 0.45359237),
                       "%.0f" % (lb if system == "imperial" else lb * 0.45359237)])


def speed_text(rng, system, low, high):
    mph = rng.uniform(low, high)
    return rng.choice(["%.2fmph" % mph, "%.1fkm/h" % (mph * 1.609344), "%.2fm/s" % (mph * 0.44704),
                       "%.2f" % (mph if system == "imperial" else mph * 1.609344)])


def solve_hp_case(rng, system):
    items = {"weight": weight_text(rng, system)}
    if rng.random() < 0.5:
        items["et"] = rng.choice(["%.3f", "%.2fs"]) % rng.uniform(6, 20)
    else:
        items["mph"] = speed_text(rng, system, 60, 220)
    return with_options("solve-hp", items, system)


def convert_case(rng, system):
    eighth = rng.random() < 0.5
    side = "eighth" if eighth else "quarter"
    items = {side + "-et": "%.3f" % rng.uniform(4, 12) if eighth else "%.3f" % rng.uniform(6, 20)}
    if rng.random() < 0.7:
        items[side + "-mph"] = speed_text(rng, system, 50, 220)
    if rng.random() < 0.2:
        items["et-factor"] = number(rng, 1.50, 1.62, 3)
    if rng.random() < 0.2:
        items["mph-factor"] = number(rng, 1.20, 1.30, 3)
    return with_options("convert", items, system)


def jet_case(rng, system):
    hp = rng.uniform(5, 800)
    items = {"target-hp": rng.choice(["%.1fhp" % hp, "%.1fkW" % (hp * 0.7457),
                                      "%.1fPS" % (hp * 1.0139),
                                      "%.1f" % (hp if system == "imperial" else hp * 0.7457)])}
    if rng.random() < 0.5:
        psi = rng.uniform(5, 90)
        items["fuel-pressure"] = rng.choice(["%.0fpsi" % psi, "%.2fbar" % (psi / 14.5038),
                                             "%.0fkPa" % (psi * 6.894757),
                                             "%.0f" % psi if system == "imperial"
                                             else "%.2f" % (psi / 14.5038)])
    if rng.random() < 0.5:
        items["bottle-pressure"] = rng.choice(["%.0fpsi", "%.0f"]) % rng.uniform(500, 1300)
        if system == "metric" and items["bottle-pressure"][-1].isdigit():
            items["bottle-pressure"] += "psi"
    if rng.random() < 0.6:
        items["nozzles"] = str(rng.choice([1, 2, 4, 6, 8, 12, 16]))
    return with_options("jet-for-hp", items, system)


def bottle_case(rng, system):
    celsius = rng.uniform(-30, 36.42)
    if rng.random() < 0.5:
        items = {"temperature": temperature_text(rng, celsius, system)}
    else:
        psig = rng.uniform(180, 1030)
        items = {"pressure": rng.choice(["%.1fpsi" % psig, "%.1f psig" % psig,
                                         "%.1fpsia" % (psig + 14.7), "%.2fbar" % (psig / 14.5038),
                                         "%.0fkPa" % (psig * 6.894757),
                                         "%.1f" % psig if system == "imperial"
                                         else "%.2f" % (psig / 14.5038)])}
    if rng.random() < 0.3:
        items["outside-pressure"] = pressure_text(rng, rng.uniform(800, 1050), system)
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
    for standard, day in REFERENCE_DAYS:
        cases.append(with_options("air", {**day, "standard": standard}, "imperial"))
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


def check(calc, argv):
    try:
        expected = run(argv[:-1])
    except Refused as refusal:
        expected = refusal
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
    parser.add_argument("--cases", type=int, default=2500)
    parser.add_argument("--seed", type=int, default=2512)
    args = parser.parse_args()

    failures = []
    for command, accepted in LIMITS:
        if refused_by_reference(command + ["--json"]) == accepted:
            failures.append("%s: the reference %s it" % (" ".join(command),
                                                         "refuses" if accepted else "accepts"))
    cases = generated_cases(args.seed, args.cases)
    with ThreadPoolExecutor(max_workers=2 * (os.cpu_count() or 1)) as pool:
        results = list(pool.map(lambda argv: check(args.calc, argv), cases))
    for argv, problems in zip(cases, results):
        if problems:
            failures.append("%s\n  %s" % (" ".join(argv), "\n  ".join(problems)))
    for failure in failures[:20]:
        print(failure)
    refused = sum(1 for argv in cases if refused_by_reference(argv))
    print("%d of %d commands (%d refused) differ from the reference"
          % (len(failures), len(cases), refused))
    sys.exit(1 if failures else 0)


def refused_by_reference(argv):
    try:
        run(argv[:-1])
        return False
    except Refused:
        return True


if __name__ == "__main__":
    main()
