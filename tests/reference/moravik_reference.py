"""A second, independent derivation of the Calculate pass, for tests only.

Written from the rules of the calculation (number reading, the nitrous
figures, the quarter-mile formulas, the strip factors, the Holley table and the
result texts), not from the C++ engine. Python floats are IEEE doubles and
math.pow and math.sqrt are the platform's, so every step gives the same double
as the engine when both follow the same rules.

    python3 moravik_reference.py njt=.118 jtn=2 draghp=350 vweight=3200
prints the 31 result texts, or the fault, as moravik-calc --json would.
"""

import json
import math
import re
import sys

import mpmath
from mpmath.libmp import to_float

INITIAL_TEXTS = {"njt": ".030", "flp": "43", "nbp": "900", "jtn": "1",
                 "draghp": "210", "vweight": "2562", "altitudeDD": ""}

# Formula: MPH multiplier and exponent, ET multiplier and exponent.
FORMULAS = [("hunt", 225, 0.333333, 6.29, 0.333333),
            ("fox", 230, 0.333333, 6.269, 0.333333),
            ("hale", 234, 0.333333, 5.825, 0.333333),
            ("lrt", 219.87, 0.3138, 6.9446, 0.2841)]

# The external names of the six columns of each formula, in the writing order:
# ET, ET with nitrous, altitude ET, altitude MPH, MPH, MPH with nitrous.
COLUMN_NAMES = {"hunt": ("huntet", "huntetn", "huntalt", "HuntaltMPH", "huntmph", "huntmphn"),
                "fox": ("foxet", "foxetn", "foxalt", "FoxAltMPH", "foxmph", "foxmphn"),
                "hale": ("haleet", "haleetn", "halealt", "HaleAltMPH", "halemph", "halemphn"),
                "lrt": ("lrtet", "lrtetn", "lrtalt", "lrtAltMPH", "lrtmph", "lrtmphn")}

# The strips of divisions 4 to 7.
DIVISIONS = [
    ["Amarillo, TX  3700", "Roswell, NM  3700"],
    ["Denver, CO  5800", "Douglas, WY  4900", "Grand Junction, CO  4800", "Great Bend, KS  1900",
     "Julesburg, CO  3500", "Pueblo, CO  4900"],
    ["Anaconda, MT  5100", "Ashcroft, CAN  1700", "Boise, ID  2700", "Calgary, CAN  3500",
     "Lewistown, MT  4100", "Medic.Hat, CAN  2300", "Saskatoon, CAN  1600"],
    ["Fallon, NV  4000", "Inyokern, CA  2400", "Las Vegas, NV  2100", "Palmdale, CA  2700",
     "Salt Lake, UT  4400", "Tucson, AZ  3000"],
]


def _track_entries():
    """The 59 drop-down entries: both groups list every division, separated by 18 hyphens."""
    entries = []
    for group in ("Comp, S/C, S/G, S/ST", "Stock & Super Stock  "):
        entries.append(group)
        for number, strips in enumerate(DIVISIONS, start=4):
            # Every division heading but the very first ends in two blanks.
            entries.append("DIVISION %d" % number + ("" if len(entries) == 1 else "  "))
            entries += strips + ["-" * 18]
    return entries[:-1]


TRACK_ENTRIES = _track_entries()

# Strip: ET factor, MPH factor.
STRIP_FACTORS = {
    "Amarillo, TX  3700": (0.9549, 1.0479), "Roswell, NM  3700": (0.9549, 1.0479),
    "Denver, CO  5800": (0.9276, 1.0773), "Douglas, WY  4900": (0.9393, 1.0647),
    "Grand Junction, CO  4800": (0.9406, 1.0633), "Great Bend, KS  1900": (0.9783, 1.0227),
    "Julesburg, CO  3500": (0.9575, 1.0451), "Pueblo, CO  4900": (0.9393, 1.0647),
    "Anaconda, MT  5100": (0.9367, 1.0675), "Ashcroft, CAN  1700": (0.9809, 1.0199),
    "Boise, ID  2700": (0.9679, 1.0339), "Calgary, CAN  3500": (0.9575, 1.0451),
    "Lewistown, MT  4100": (0.9497, 1.0535), "Medic.Hat, CAN  2300": (0.9731, 1.0283),
    "Saskatoon, CAN  1600": (0.9822, 1.0185), "Fallon, NV  4000": (0.951, 1.0521),
    "Inyokern, CA  2400": (0.9718, 1.0297), "Las Vegas, NV  2100": (0.9757, 1.0255),
    "Palmdale, CA  2700": (0.9679, 1.0339), "Salt Lake, UT  4400": (0.9458, 1.0577),
    "Tucson, AZ  3000": (0.964, 1.0381),
}

# Holley rows: from (at least), below, number; tested in order, the last match wins.
HOLLEY_ROWS = [(k / 1000, (k + 1) / 1000, k) for k in range(40, 65)] + [
    (0.065, 0.067, 65), (0.067, 0.068, 66), (0.068, 0.069, 67), (0.069, 0.070, 68),
    (0.070, 0.073, 69), (0.073, 0.076, 70), (0.076, 0.079, 71), (0.079, 0.080, 72),
    (0.080, 0.081, 73), (0.081, 0.082, 74), (0.082, 0.084, 75), (0.084, 0.086, 76),
    (0.086, 0.089, 77), (0.089, 0.091, 78), (0.091, 0.093, 79), (0.093, 0.0933, 80),
    (0.093, 0.0936, 81), (0.093, 0.094, 82), (0.094, 0.099, 83), (0.099, 0.100, 84),
    (0.100, 0.101, 85), (0.101, 0.103, 86), (0.103, 0.1042, 87), (0.104, 0.1044, 88),
    (0.104, 0.1046, 89), (0.104, 0.1048, 90), (0.104, 0.105, 90), (0.105, 0.1053, 91),
    (0.105, 0.1056, 92), (0.105, 0.108, 93), (0.108, 0.118, 94), (0.118, 0.1185, 95),
    (0.118, 0.125, 96), (0.125, 0.1253, 97), (0.125, 0.1256, 98), (0.125, 0.128, 99),
]
HOLLEY_TOP = (0.128, 100)


class Fault(Exception):
    """An arithmetic fault; its text is the kind."""


def checked(value):
    if math.isinf(value):
        raise Fault("overflow")
    return value


def divide(a, b):
    if b == 0:
        raise Fault("division by zero")
    return checked(a / b)


def square_root(x):
    if x < 0:
        raise Fault("invalid argument")
    return math.sqrt(x)


def read_number(text):
    text = re.sub("[ \t\n]", "", text)
    radix = re.match("&([HO])", text)
    if radix:
        digits = re.match("[0-9A-Fa-f]*" if radix[1] == "H" else "[0-7]*", text[2:])[0]
        try:
            return float(int(digits, 16 if radix[1] == "H" else 8)) if digits else 0.0
        except OverflowError:
            raise Fault("overflow") from None
    number = re.match(r"[+-]?([0-9]*)(\.[0-9]*)?", text)
    if not number[1] and len(number[2] or "") < 2:
        return 0.0
    exponent = re.match(r"[Ee][+-]?[0-9]+", text[number.end():])
    return checked(float(number[0] + (exponent[0] if exponent else "")))


def whole_number(value):
    rounded = round(value)  # ties to even
    if not -32768 <= rounded <= 32767:
        raise Fault("overflow")
    return float(rounded)


def round_to_thousandths(value):
    return round(checked(value * 1000)) / 1000


def nitrous(jet, fuel, bottle, nozzles, hp):
    jet_squared = checked(jet * jet)
    fuel_factor = 5.8 / 3.4 * 9.649
    root = square_root(divide(bottle, fuel))
    divisor = checked(divide(fuel_factor, root) * 0.9)
    fuel_jet = round_to_thousandths(square_root(divide(jet_squared, divisor)))
    area = checked(checked(checked(fuel_jet * fuel_jet) * 0.7854) * nozzles)
    standard_jet = round_to_thousandths(square_root(divide(area, 0.7854)))
    jet_mm = checked(jet * 25.4)
    added = checked(checked(checked(jet_mm * jet_mm) * 70) * nozzles)
    total = checked(added + hp)
    return {"TextBox1": fuel_jet, "Textbox2": standard_jet, "TextBox3": added,
            "Textbox4": checked(added - checked(added * 0.15)), "Totalhp": total,
            "TotalHPn": checked(total - checked(total * 0.15))}


def rule_of_thumb(numerator, denominator, exponent, multiplier):
    ratio = divide(numerator, denominator)
    if ratio < 0:
        raise Fault("invalid argument")
    return checked(multiplier * correctly_rounded_power(ratio, exponent))


def correctly_rounded_power(base, exponent):
    """base ** exponent to 300 bits, rounded to the nearest double."""
    with mpmath.workprec(300):
        exact = mpmath.power(mpmath.mpf(base), mpmath.mpf(exponent))
    return to_float(exact._mpf_, rnd="n")


def holley_number(size):
    number = 0
    for low, below, row_number in HOLLEY_ROWS:
        if low <= size < below:
            number = row_number
    return HOLLEY_TOP[1] if size >= HOLLEY_TOP[0] else number


def result_text(value):
    if value == 0:
        return " 0"
    sign = "-" if value < 0 else " "
    mantissa, exponent = ("%.14e" % abs(value)).split("e")
    digits = mantissa.replace(".", "").rstrip("0")
    exponent = int(exponent)
    # Plain from 0.001 (or what rounds to it, the program's choice) up to, not including, 1E15.
    if exponent >= -3 and (exponent < 15 or abs(value) < 1e15):
        if exponent < 0:
            return sign + "." + "0" * (-exponent - 1) + digits
        whole, fraction = digits[:exponent + 1], digits[exponent + 1:]
        return sign + whole.ljust(exponent + 1, "0") + ("." + fraction if fraction else "")
    # The program's own choice outside that window: " 1.5E+15", "-2.5E-100".
    return "%s%s%sE%s%02d" % (sign, digits[0], "." + digits[1:] if digits[1:] else "",
                              "-" if exponent < 0 else "+", abs(exponent))


def calculate(texts):
    """The 31 result texts by field name, in the writing order, or the fault kind."""
    texts = {**INITIAL_TEXTS, **texts}
    try:
        jet = read_number(texts["njt"])
        fuel, bottle, nozzles = (whole_number(read_number(texts[k])) for k in ("flp", "nbp", "jtn"))
        hp = read_number(texts["draghp"])
        weight = read_number(texts["vweight"])
        values = nitrous(jet, fuel, bottle, nozzles, hp)
        estimates = {}
        for name, mph_multiplier, mph_exponent, et_multiplier, et_exponent in FORMULAS:
            estimates[name] = (
                rule_of_thumb(hp, weight, mph_exponent, mph_multiplier),
                rule_of_thumb(values["Totalhp"], weight, mph_exponent, mph_multiplier),
                rule_of_thumb(weight, hp, et_exponent, et_multiplier),
                rule_of_thumb(weight, values["Totalhp"], et_exponent, et_multiplier))
    except Fault as fault:
        return str(fault)
    values["Textbox5"] = holley_number(values["Textbox2"])
    # Any other entry leaves the altitude values unset, which shows as 0.
    et_factor, mph_factor = STRIP_FACTORS.get(texts["altitudeDD"], (0, 0))
    for name, (mph, mph_nitrous, et, et_nitrous) in estimates.items():
        columns = (et, et_nitrous, et * et_factor, mph * mph_factor, mph, mph_nitrous)
        values.update(zip(COLUMN_NAMES[name], columns))
    return {name: result_text(value) for name, value in values.items()}


if __name__ == "__main__":
    outcome = calculate(dict(argument.split("=", 1) for argument in sys.argv[1:]))
    print(json.dumps({"fault": outcome} if isinstance(outcome, str) else {"fields": outcome}))
