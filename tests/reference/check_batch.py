"""Runs a few thousand generated passes through `moravik-calc --batch`: every result text and
fault kind must equal the reference's.

    python3 check_batch.py PATH/TO/moravik-calc [--cases N] [--seed S] [--tunables T]

The cases: racers' inputs typed as people type them, every track entry, inputs at and beside
each fault (two at once, whose order decides the kind), and jets past every Holley range edge.
"""

import argparse
import json
import os
import random
import subprocess
import sys

from check_raceday import disagreements, report
from moravik_reference import TRACK_ENTRIES, calculate

NOZZLE_ITEMS = ["1", "2", "3", "4", "5", "6", "8", "10", "12", "16"]

# Texts at and beside the faults, by field.
NEAR_FAULTS = {
    "njt": ["", "0", "-.030", "1e150", "1.3e154", "1e153", "1E200", "1e400", "-1e-400", "1e-320"],
    "flp": ["", "0", "0.5", "-0.5", "0.51", "-0.51", "-43", "32767.49", "32767.5", "-32768.5",
            "-32768.51", "1e5", "&H7FFF", "&H8000", "&O77777", "&O100000"],
    "nbp": ["", "0", "0.5", "0.51", "-900", "-0.5", "32767.5", "-32768.5", "&HFFFF"],
    "jtn": ["0", "-0.5", "-1", "-1.5", "32767", "32768", "-32768"],
    "draghp": ["", "0", "-0", "-1", "-40.64508", "-40.645079999999986", "1e-300", "1e300",
               "1e308", "999999999999999.9", "1e15"],
    "vweight": ["", "0", "-0", "-1", "1e-300", "1e-310", "1e300", "1e308", "3e-324"],
}


def decimal(rng, low, high, decimals):
    return ("%.*f" % (decimals, rng.uniform(low, high))).lstrip("0") or "0"


def racer_inputs(rng):
    if rng.random() < 0.3:
        # All 17 digits, as pasted from another calculation: the last digits of
        # a result then often lie close to where 15-digit rounding turns.
        return {**racer_inputs(rng), "njt": repr(rng.uniform(0.008, 0.16)),
                "draghp": repr(rng.uniform(60, 2500)), "vweight": repr(rng.uniform(1200, 5200))}
    return {
        "njt": decimal(rng, 0.008, 0.16, rng.choice([3, 3, 3, 4])),
        "flp": str(rng.randint(4, 120)),
        "nbp": str(rng.randint(500, 1400)),
        "jtn": rng.choice(NOZZLE_ITEMS),
        "draghp": rng.choice([str(rng.randint(60, 2500)), decimal(rng, 60, 2500, 1)]),
        "vweight": str(rng.randint(1200, 5200)),
        "altitudeDD": rng.choice(TRACK_ENTRIES + [""]),
    }


def typed_like_a_person(rng, text):
    """The same number, or one close to it, written as people type it."""
    whole = text.lstrip("-").isdigit()
    choice = rng.randrange(12)
    if choice == 0 and whole:
        text = rng.choice(["&H%X", "&H%x", "&O%o"]) % int(text)
    elif choice == 1:
        mantissa, shift = text.replace(".", ""), rng.choice([0, 0, 0, -2, 3])
        text = "%s.%sE%+d" % (mantissa[:1], mantissa[1:], len(text.split(".")[0]) - 1 + shift)
    elif choice == 2:
        text = rng.choice(["+", "0", "00"]) + text
    elif choice == 3:
        text += rng.choice(["psi", " lbs", "hp", '"', ",5", ".5.5", "e", "E+", "\r\n", " x2"])
    elif choice == 4 and len(text) > 1:
        cut = rng.randint(1, len(text) - 1)
        text = text[:cut] + rng.choice([",", "\r", "_", "'"]) + text[cut:]
    for _ in range(rng.choice([0, 0, 1, 3])):
        cut = rng.randint(0, len(text))
        text = text[:cut] + rng.choice([" ", "\t", "\n", "  \t"]) + text[cut:]
    return text


def generated_cases(seed, count):
    rng = random.Random(seed)
    # Worked examples and edges, then one nozzle whose standard jet size steps through
    # every thousandth from .033 to .139, past every Holley range edge.
    cases = [{}, {"flp": "4 3"}, {"flp": "43psi"}, {"njt": "0,030"}, {"njt": "3E-2"},
             {"njt": "", "draghp": "999999999999999.9"}, {"njt": "", "draghp": "1e-3"},
             # Psi ties to even, exponent 0.333333 against a third, ET and loss by their own
             # ratios, two faults at once (the first step's decides), -0, a rounded fuel jet.
             {"njt": "1", "flp": "42.5", "nbp": "9 00psi"}, {"njt": "1", "flp": "43.5"},
             {"draghp": "1", "vweight": "8"}, {"draghp": "849", "vweight": "3000"},
             {"njt": "0", "draghp": "781.6489914118488"}, {"flp": "", "nbp": "99999"},
             {"nbp": "-900", "jtn": "-1"}, {"draghp": "-210", "vweight": ""}, {"draghp": "0"},
             {"njt": "", "jtn": "-1"}, {"njt": ".0295", "jtn": "4"}, {"draghp": "1E300", "vweight": "1E-300"}]
    cases += [{"njt": "%.4f" % (0.060 + step * 0.0005)} for step in range(380)]
    while len(cases) < count:
        case = racer_inputs(rng)
        kind = rng.random()
        if kind < 0.25:  # one field at a fault's edge, or two: the first fault decides the kind
            for field in rng.sample(list(NEAR_FAULTS), rng.choice([1, 1, 2])):
                case[field] = rng.choice(NEAR_FAULTS[field])
        elif kind < 0.65:
            for field in rng.sample(list(NEAR_FAULTS), rng.randint(1, 3)):
                case[field] = typed_like_a_person(rng, case[field])
        cases.append(case)
    return cases


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("calc")
    parser.add_argument("--cases", type=int, default=4000)
    parser.add_argument("--seed", type=int, default=1105)
    parser.add_argument("--tunables", help="also run with GLIBC_TUNABLES=TUNABLES (for example "
                        "glibc.cpu.hwcaps=-FMA,-AVX2) and require the same bytes")
    args = parser.parse_args()

    cases = generated_cases(args.seed, args.cases)
    outcomes = [calculate(case) for case in cases]
    # Status 1 when some pass ended in an arithmetic fault.
    status = 1 if any(isinstance(outcome, str) for outcome in outcomes) else 0
    lines = "".join(json.dumps(case) + "\n" for case in cases)
    run = subprocess.run([args.calc, "--batch"], input=lines.encode(), capture_output=True,
                         timeout=120, check=False)
    answers = run.stdout.decode().splitlines()
    if args.tunables:
        tuned = subprocess.run([args.calc, "--batch"], input=lines.encode(), capture_output=True,
                               timeout=120, check=False,
                               env=dict(os.environ, GLIBC_TUNABLES=args.tunables))
        moved = [(case, plain, other) for case, plain, other
                 in zip(cases, answers, tuned.stdout.decode().splitlines()) if plain != other]
        for case, plain, other in moved[:10]:
            print("%s\n  plain %s\n  tuned %s" % (json.dumps(case), plain, other))
        if tuned.stdout != run.stdout or tuned.returncode != run.returncode:
            sys.exit("%d of %d passes change with GLIBC_TUNABLES=%s"
                     % (len(moved), len(cases), args.tunables))
    if run.returncode != status or len(answers) != len(cases):
        sys.exit("moravik-calc --batch exited with %d (expected %d) and gave %d lines for %d: %s"
                 % (run.returncode, status, len(answers), len(cases), run.stderr.decode()[:500]))

    answers = [json.loads(answer) for answer in answers]
    report([(json.dumps(case), disagreements(expected, got.get("fault") or got.get("fields")))
            for case, expected, got in zip(cases, outcomes, answers)], "%d passes" % len(cases))


if __name__ == "__main__":
    main()
