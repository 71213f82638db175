"""A second, independent derivation of the race-day calculations, for tests only.

Written from the published formulas and constants named beside each one and
from the rules the manual page and the user guide state, not from the C++ library.
Every function takes and gives the units the formula is published in; the
command line's units are turned into them here by their definitions. Python
floats are IEEE doubles and math.pow, math.sqrt and math.cbrt are the
platform's, so a value differs from the library's only where the two order
the same arithmetic differently: by a few ulps.

    python3 raceday_reference.py air --temperature 86F --pressure 29.10inHg --humidity 40%
prints the JSON object moravik-calc would print, or the refusal.
"""

import json
import math
import re
import sys

from moravik_reference import FORMULAS, calculate

# --- Units, by their definitions ------------------------------------------------------------
# International yard and pound (1959): 1 lb = 0.45359237 kg, 1 ft = 0.3048 m, 1 in = 0.0254 m;
# standard gravity 9.80665 m/s² (CGPM 1901); 1 mph = 1609.344 m per hour.
POUND_KG = 0.45359237
FOOT_M = 0.3048
MILE_M = 1609.344
STANDARD_GRAVITY = 9.80665
# Mechanical horsepower, 550 ft·lbf/s; metric horsepower (PS), 75 kgf·m/s.
HP_W = 550 * FOOT_M * POUND_KG * STANDARD_GRAVITY
PS_W = 75 * STANDARD_GRAVITY
# Pound-force per square inch, from the same definitions (NIST SP 811, appendix B).
PSI_PA = POUND_KG * STANDARD_GRAVITY / (0.0254 * 0.0254)
# The inch of mercury at 0 °C as the NWS and ASTM use it (the figure the product documents).
INHG_HPA = 33.86389


def fahrenheit_to_celsius(f):
    return (f - 32) / 1.8  # NIST SP 811, B.9


def kelvin_to_celsius(k):
    return k - 273.15


def celsius_to_fahrenheit(c):
    return c * 1.8 + 32


# What a bare number means under --units, and what each unit symbol turns into.
TEMPERATURE = {"C": lambda v: v, "F": fahrenheit_to_celsius, "K": kelvin_to_celsius}
PRESSURE_HPA = {"hPa": 1, "mbar": 1, "kPa": 10, "bar": 1000, "inHg": INHG_HPA, "psi": PSI_PA / 100}
LENGTH_M = {"m": 1, "ft": FOOT_M}
MASS_LB = {"lb": 1, "kg": 1 / POUND_KG}
POWER_HP = {"hp": 1, "kW": 1000 / HP_W, "PS": PS_W / HP_W}
SPEED_MPH = {"mph": 1, "km/h": 1000 / MILE_M, "m/s": 3600 / MILE_M}
LINE_PSI = {"psi": 1, "bar": 1e5 / PSI_PA, "kPa": 1e3 / PSI_PA, "hPa": 100 / PSI_PA,
            "mbar": 100 / PSI_PA, "inHg": INHG_HPA * 100 / PSI_PA}
BARE = {"imperial": {"temperature": "F", "pressure": "inHg", "length": "ft", "mass": "lb",
                     "power": "hp", "speed": "mph", "line": "psi", "time": "s", "ratio": "%"},
        "metric": {"temperature": "C", "pressure": "hPa", "length": "m", "mass": "kg",
                   "power": "kW", "speed": "km/h", "line": "bar", "time": "s", "ratio": "%"}}


class Refused(Exception):
    """The command line refuses the input (exit status 2)."""


def quantity(text, kind, system):
    """A typed quantity ("86F", "29.92 inHg", bare in the --units system) in the published unit."""
    match = re.fullmatch(r"\s*\+?([-+.0-9eE]+)\s*(\S*)\s*", text)
    if not match:
        raise Refused("not a %s: %r" % (kind, text))
    value = float(match[1])
    symbol = match[2].lstrip("°") or BARE[system][kind]
    table = {"temperature": TEMPERATURE, "pressure": PRESSURE_HPA, "length": LENGTH_M,
             "mass": MASS_LB, "power": POWER_HP, "speed": SPEED_MPH, "line": LINE_PSI,
             "time": {"s": 1}, "ratio": {"%": 1}}[kind]
    for unit, convert in table.items():
        if unit.lower() == symbol.lower():
            return convert(value) if callable(convert) else value * convert
    raise Refused("no %s unit %r" % (kind, symbol))


# --- Air ------------------------------------------------------------------------------------
# Herman Wobus's polynomial for the saturation vapour pressure over water, a fit
# to the Smithsonian Meteorological Tables, as published by the NWS (NOAA) and by
# R. Shelquist, "An Introduction to Air Density and Density Altitude
# Calculations": Es = 6.1078 / p^8 hPa, p = c0 + T (c1 + T (c2 + ...)), T in °C.
WOBUS_ES0 = 6.1078
WOBUS = [0.99999683, -0.90826951e-2, 0.78736169e-4, -0.61117958e-6, 0.43884187e-8,
         -0.29883885e-10, 0.21874425e-12, -0.17892321e-14, 0.11112018e-16, -0.30994571e-19]


def wobus_hpa(celsius):
    p = 0.0
    for c in reversed(WOBUS):
        p = p * celsius + c
    return WOBUS_ES0 / p ** 8


def dew_point_celsius(vapour_hpa):
    """Es(Td) = e solved for Td by Newton's method on ln Es, from the Magnus-Tetens
    estimate (Alduchov & Eskridge 1996). The evaluated polynomial's rounding
    limits the root to about 1e-14 K."""
    g = math.log(vapour_hpa / 6.1094)
    t = 243.04 * g / (17.625 - g)
    for _ in range(8):
        slope = (math.log(wobus_hpa(t + 1e-4)) - math.log(wobus_hpa(t - 1e-4))) / 2e-4
        t -= (math.log(wobus_hpa(t)) - math.log(vapour_hpa)) / slope
    return t


# Gas constants of dry air and water vapour, J/(kg·K), and the density from the
# partial pressures (Shelquist): rho = Pd / (Rd T) + Pv / (Rv T).
R_DRY = 287.05
R_VAPOUR = 461.495
# ICAO standard atmosphere, troposphere, solved for the height of a density
# (Shelquist): H = 44330.8 m × (1 − (rho / 1.225)^0.234969).
ISA_RHO0 = 1.225
ISA_SCALE_M = 44330.8
ISA_EXPONENT = 0.234969
# NWS (El Paso), "Station Pressure": P = A × ((288 − 0.0065 h) / 288)^5.2561, h in m.
NWS_T0 = 288
NWS_LAPSE = 0.0065
NWS_STATION_EXPONENT = 5.2561


def station_from_altimeter(altimeter_hpa, elevation_m):
    return altimeter_hpa * ((NWS_T0 - NWS_LAPSE * elevation_m) / NWS_T0) ** NWS_STATION_EXPONENT


def nws_density_altitude_ft(celsius, station_hpa, dew_celsius):
    """NWS (El Paso), "Density Altitude": Magnus vapour pressure 6.11 × 10^(7.5 Td / (237.7 + Td)),
    virtual temperature, Rankine as 9/5 (Tv − 273.15) + 32 + 459.69, station pressure in inHg as
    0.02953 × hPa, DA = 145366 ft × (1 − (17.326 P / Tv)^0.235). No dew point: no vapour."""
    e = 0.0 if dew_celsius is None else 6.11 * 10 ** (7.5 * dew_celsius / (237.7 + dew_celsius))
    tv_kelvin = (celsius + 273.15) / (1 - (e / station_hpa) * (1 - 0.622))
    tv_rankine = (9 / 5 * (tv_kelvin - 273.15) + 32) + 459.69
    return 145366 * (1 - (17.326 * (0.02953 * station_hpa) / tv_rankine) ** 0.235)


# The product's accepted ranges (manual page): -40 to 60 °C, 500 to 1100 hPa,
# 0 to 100 %, a dew point from -60 °C up to the air temperature.
LOWEST_C, HIGHEST_C = -40, 60
LOWEST_HPA, HIGHEST_HPA = 500, 1100
LOWEST_DEW_C = -60


# The manual page: a value within a relative 1e-12 of a limit, in SI units, counts as on it,
# so that a limit typed in another unit (°F, bar, inHg) is accepted.
LIMIT_SLACK = 1e-12


def within(value, low, high):
    return low - abs(low) * LIMIT_SLACK <= value <= high + abs(high) * LIMIT_SLACK


def air(celsius, station_hpa, humidity_percent=None, dew_celsius=None):
    """The air's figures; humidity or dew point or neither (dry air)."""
    kelvin = celsius + 273.15
    if not within(kelvin, LOWEST_C + 273.15, HIGHEST_C + 273.15):
        raise Refused("temperature")
    if not within(station_hpa * 100, LOWEST_HPA * 100, HIGHEST_HPA * 100):
        raise Refused("station pressure")
    vapour = 0.0
    if humidity_percent is not None:
        if not within(humidity_percent / 100, 0, 1):
            raise Refused("humidity")
        if humidity_percent > 0:
            vapour = humidity_percent / 100 * wobus_hpa(celsius)
            dew_celsius = dew_point_celsius(vapour)
    elif dew_celsius is not None:
        if not within(dew_celsius + 273.15, LOWEST_DEW_C + 273.15, kelvin):
            raise Refused("dew point")
        # Saturated air typed in two units: the dew point is the temperature.
        dew_celsius = min(dew_celsius, celsius)
        vapour = wobus_hpa(dew_celsius)
    kelvin = celsius + 273.15
    density = ((station_hpa - vapour) * 100 / (R_DRY * kelvin)
               + vapour * 100 / (R_VAPOUR * kelvin))
    altitude_m = ISA_SCALE_M * (1 - (density / ISA_RHO0) ** ISA_EXPONENT)
    return {"celsius": celsius, "station_hpa": station_hpa, "vapour_hpa": vapour,
            "dew_celsius": dew_celsius, "density": density, "altitude_m": altitude_m,
            "nws_ft": nws_density_altitude_ft(celsius, station_hpa, dew_celsius)}


# --- Correction to a standard day -----------------------------------------------------------
# SAE J1349 (June 1990): CF = 1.18 × (99 / Pd) × √((T + 273) / 298) − 0.18, Pd the dry-air
# pressure in kPa, T in °C; the 2004 revision 1.176 and 0.176.
# SAE J607 (small engines; the drag racers' "STD"): 29.92 inHg of dry air at 60 °F,
# CF = (29.92 / Pd) × √(T / 60 °F), the temperatures absolute (Rankine).
# DIN 70020: 1013 mbar total pressure at 20 °C, CF = (1013 / P) × √((T + 273) / 293).
def j1349(multiplier):
    return lambda a: (multiplier * (99 / ((a["station_hpa"] - a["vapour_hpa"]) / 10))
                      * math.sqrt((a["celsius"] + 273) / 298) - (multiplier - 1))


STANDARDS = {
    "sae-j1349": j1349(1.18),
    "sae-j1349-2004": j1349(1.176),
    "sae-j607": lambda a: (29.92 / ((a["station_hpa"] - a["vapour_hpa"]) / INHG_HPA)
                           * math.sqrt((celsius_to_fahrenheit(a["celsius"]) + 459.67)
                                       / (60 + 459.67))),
    "din-70020": lambda a: 1013 / a["station_hpa"] * math.sqrt((a["celsius"] + 273) / 293),
}
DEFAULT_STANDARD = "sae-j607"


def correction_factor(standard, the_air):
    if standard not in STANDARDS:
        raise Refused("standard")
    return STANDARDS[standard](the_air)


# --- Subcommands, as the manual page describes them -----------------------------------------
def options(argv):
    """--name value pairs and flags of one subcommand."""
    found, i = {}, 0
    while i < len(argv):
        if argv[i] == "--json":
            i += 1
            continue
        found[argv[i][2:]] = argv[i + 1]
        i += 2
    return found


# ASHRAE Handbook, Fundamentals (2017), chapter 1, eq. 22: the humidity ratio, mass of water
# per mass of dry air, W = 0.621945 e / (p - e); a pound is 7000 grains.
def humidity_ratio(vapour_hpa, station_hpa):
    return 0.621945 * vapour_hpa / (station_hpa - vapour_hpa)


def air_command(o, system):
    celsius = quantity(o["temperature"], "temperature", system)
    if "pressure" in o:
        station = quantity(o["pressure"], "pressure", system)
    else:
        station = station_from_altimeter(quantity(o["altimeter"], "pressure", system),
                                         quantity(o["elevation"], "length", system))
    humidity = quantity(o["humidity"], "ratio", system) if "humidity" in o else None
    dew = quantity(o["dew-point"], "temperature", system) if "dew-point" in o else None
    a = air(celsius, station, humidity, dew)
    standard = o.get("standard", DEFAULT_STANDARD)
    factor = correction_factor(standard, a)
    result = {"station_pressure_hpa": station, "vapour_pressure_hpa": a["vapour_hpa"],
              "water_grains_per_lb": 7000 * humidity_ratio(a["vapour_hpa"], station),
              "dew_point_c": a["dew_celsius"], "air_density_kg_m3": a["density"],
              "density_altitude_ft": a["altitude_m"] / FOOT_M,
              "density_altitude_m": a["altitude_m"], "density_altitude_nws_ft": a["nws_ft"],
              "relative_air_density_percent": a["density"] / ISA_RHO0 * 100,
              "standard": standard, "correction_factor": factor,
              "relative_hp_percent": 100 / factor}
    if "observed-hp" in o:
        observed = quantity(o["observed-hp"], "power", system)
        if not observed > 0:
            raise Refused("observed hp")
        result["corrected_hp"] = observed * factor
    return result


def weather_text(text, system):
    """A WEATHER argument (manual page): [temp] T, [baro] P or alt A with [elev] E,
    [rh] H or dew T."""
    words, found, i = text.split(), {}, 0
    kinds = {"temp": "temperature", "baro": "pressure", "alt": "pressure", "elev": "length",
             "rh": "ratio", "dew": "temperature"}
    while i < len(words):
        if words[i] in kinds:
            key, word, i = words[i], words[i + 1], i + 2
        else:
            word, i = words[i], i + 1
            symbol = re.sub(r"^[-+.0-9eE]+", "", word).lstrip("°").lower()
            key = next(k for k, units in (("temp", TEMPERATURE), ("baro", PRESSURE_HPA),
                                          ("elev", LENGTH_M), ("rh", {"%": 1}))
                       if symbol in (u.lower() for u in units))
        found[key] = quantity(word, kinds[key], system)
    station = (found["baro"] if "baro" in found
               else station_from_altimeter(found["alt"], found["elev"]))
    return air(found["temp"], station, found.get("rh"), found.get("dew"))


def predict_command(o, system):
    """ET × (CF now / CF then)^(1/3), MPH inversely (manual page)."""
    et, mph = quantity(o["et"], "time", system), quantity(o["mph"], "speed", system)
    if not (et > 0 and mph > 0):
        raise Refused("et or mph")
    standard = o.get("standard", DEFAULT_STANDARD)
    then = correction_factor(standard, weather_text(o["then"], system))
    now = correction_factor(standard, weather_text(o["now"], system))
    ratio = math.cbrt(now / then)
    return {"standard": standard, "et_then_s": et, "mph_then": mph,
            "correction_factor_then": then, "correction_factor_now": now,
            "predicted_et_s": et * ratio, "predicted_mph": mph / ratio}


FORMULA_KEYS = {"hunt": "huntington", "fox": "fox", "hale": "hale", "lrt": "lrt"}


def solve_hp_command(o, system):
    """The four rules ET = a (lb / hp)^x and MPH = b (hp / lb)^y solved for hp."""
    weight = quantity(o["weight"], "mass", system)
    from_et = "et" in o
    given = quantity(o["et"], "time", system) if from_et else quantity(o["mph"], "speed", system)
    if not (weight > 0 and given > 0):
        raise Refused("weight, et or mph")
    values = {}
    for name, mph_multiplier, mph_exponent, et_multiplier, et_exponent in FORMULAS:
        if from_et:
            values[FORMULA_KEYS[name]] = weight * (et_multiplier / given) ** (1 / et_exponent)
        else:
            values[FORMULA_KEYS[name]] = weight * (given / mph_multiplier) ** (1 / mph_exponent)
    return {"hp_from_et" if from_et else "hp_from_mph": values}


def factor_text(text, default):
    if text is None:
        return default
    value = float(text)
    if not (value > 0 and math.isfinite(value)):
        raise Refused("factor")
    return value


def convert_command(o, system):
    """The racers' rule of thumb (user guide): quarter ET = eighth ET × 1.57, speed × 1.26."""
    et_factor = factor_text(o.get("et-factor"), 1.57)
    mph_factor = factor_text(o.get("mph-factor"), 1.26)
    if "eighth-et" in o:
        et, speed = o["eighth-et"], o.get("eighth-mph")
    else:
        et, speed = o["quarter-et"], o.get("quarter-mph")
    et = quantity(et, "time", system)
    speed = None if speed is None else quantity(speed, "speed", system)
    if not et > 0 or (speed is not None and not speed > 0):
        raise Refused("et or speed")
    if "eighth-et" in o:
        eighth, eighth_mph = et, speed
        quarter, quarter_mph = et * et_factor, None if speed is None else speed * mph_factor
    else:
        quarter, quarter_mph = et, speed
        eighth, eighth_mph = et / et_factor, None if speed is None else speed / mph_factor
    return {"eighth_et": eighth, "eighth_mph": eighth_mph, "quarter_et": quarter,
            "quarter_mph": quarter_mph, "et_factor": et_factor, "mph_factor": mph_factor}


def whole_psi(text, system, default):
    """Pressures go to the calculation as whole psi, ties to even, 1 to 32767 (manual page)."""
    if text is None:
        return default
    whole = round(quantity(text, "line", system))
    if not 1 <= whole <= 32767:
        raise Refused("line pressure")
    return str(whole)


def jet_for_hp_command(o, system):
    """The calculation's nitrous relation, hp = 70 × (jet in mm)² × nozzles, solved for the jet
    and rounded to a whole thousandth (ties to even), from .001 to 32.767 in."""
    target = quantity(o["target-hp"], "power", system)
    if not (target > 0 and math.isfinite(target)):
        raise Refused("target")
    fuel = whole_psi(o.get("fuel-pressure"), system, "43")
    bottle = whole_psi(o.get("bottle-pressure"), system, "900")
    nozzles = int(o.get("nozzles", "1"))
    if not 1 <= nozzles <= 32767:
        raise Refused("nozzles")
    jet_mm = math.sqrt(target / (70 * nozzles))
    thousandths = round(jet_mm / 25.4 * 1000)
    if not 1 <= thousandths <= 32767:
        raise Refused("jet")
    jet = "%s.%03d" % (thousandths // 1000 or "", thousandths % 1000)
    fields = calculate({"njt": jet, "flp": fuel, "nbp": bottle, "jtn": str(nozzles)})
    if isinstance(fields, str):
        raise Refused("fault " + fields)
    return {"nitrous_jet": jet, "fields": fields}


COMMANDS = {"air": air_command, "predict": predict_command, "solve-hp": solve_hp_command,
            "convert": convert_command, "jet-for-hp": jet_for_hp_command}


def run(argv):
    """The JSON object for `moravik-calc SUBCOMMAND ... --json`, or raises Refused."""
    o = options(argv[1:])
    system = o.pop("units", "imperial")
    return COMMANDS[argv[0]](o, system)


if __name__ == "__main__":
    try:
        print(json.dumps(run(sys.argv[1:])))
    except Refused as refusal:
        sys.exit("refused: %s" % refusal)
