#!/usr/bin/env python3
"""The engine's pow against mpmath, correctly rounded: random arguments over the
ranges the engine and race day use, and squares that lie within a
tiny fraction of a unit in the last place of a halfway point between two
doubles, where a fast evaluation cannot settle the rounding.

    bench/pow_against_mpmath.py [build/default/bin/pow_values] [--random N] [--near N] [--seed S]

Expected powers: mpmath at 300 bits rounded to the nearest double, or for the
halfway cases the exact square from integers. Powers within
2^-100 of a halfway point and results below 2^-1022 are left out: the engine's
pow does not promise their rounding. Prints the counts and every disagreement;
exits with 1 if there is one. Not part of the test command: a million
arguments take minutes.
"""

import argparse
import math
import random
import struct
import subprocess
import sys
from concurrent.futures import ProcessPoolExecutor

import mpmath

# Exponents the engine and race day raise to, besides random ones.
FIXED_EXPONENTS = [1 / 3, 0.333333, 0.2841, 0.5, 2.0, 3.0, -1.0, 0.190263, 5.255877, 1.5]


def bits(value):
    return "%016x" % struct.unpack("<Q", struct.pack("<d", value))[0]


def from_bits(text):
    return struct.unpack("<d", struct.pack("<Q", int(text, 16)))[0]


def random_arguments(rng, count):
    cases = []
    while len(cases) < count:
        base = 10 ** rng.uniform(-3, 5)
        exponent = rng.choice(FIXED_EXPONENTS) if rng.random() < 0.3 else rng.uniform(-4, 4)
        cases.append((base, exponent))
    return cases


def mpmath_power(pair):
    mpmath.mp.prec = 300
    base, exponent = pair
    exact = mpmath.power(mpmath.mpf(base), mpmath.mpf(exponent))
    return mpmath.libmp.to_float(exact._mpf_, rnd=mpmath.libmp.round_nearest)


def odd_square_root_mod(target, width):
    """An odd r with r^2 = target modulo 2^width (target = 1 modulo 8), lifted
    one bit at a time."""
    root = 1
    for bit in range(2, width):
        if (root * root - target) % (1 << (bit + 1)) != 0:
            root += 1 << (bit - 1)
    return root % (1 << width)


def near_halfway(rng, count):
    """(base, 2, expected): squares whose bits below the 53 kept read
    1000...0t for a t of 12 to 36 bits: 2^-93 to 2^-69 (relative) above a
    halfway point, where the fast evaluation cannot settle the rounding and the
    accurate one (to about 2^-104) must. Nearer than 2^-100 the engine's pow
    does not promise the rounding."""
    found = []
    power = 2
    while len(found) < count:
        width = rng.choice([52, 53])
        target = (1 << (width - 1)) + 8 * int(2 ** rng.uniform(9, 33)) + 1
        low = odd_square_root_mod(target, width)
        # Any significand with these low bits does; the high bits are random.
        significand = ((rng.randrange(1 << 52, 1 << 53) >> width) << width) | low
        if not (1 << 52) <= significand < (1 << 53):
            continue
        value = significand ** power
        dropped = value.bit_length() - 53
        if dropped != width:
            continue
        exponent = rng.randrange(-60, 60)
        base = math.ldexp(significand, exponent)
        expected = math.ldexp(float(value), power * exponent)
        if sys.float_info.min <= expected < math.inf:
            found.append((base, float(power), expected))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("pow_values", nargs="?", default="build/default/bin/pow_values")
    parser.add_argument("--random", type=int, default=1_000_000)
    parser.add_argument("--near", type=int, default=1000, help="squares near a halfway point")
    parser.add_argument("--seed", type=int, default=20261207)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    pairs = random_arguments(rng, args.random)
    with ProcessPoolExecutor() as pool:
        expected = list(pool.map(mpmath_power, pairs, chunksize=10_000))
    cases = [(b, e, x) for (b, e), x in zip(pairs, expected) if x == 0 or abs(x) >= sys.float_info.min]
    near = near_halfway(rng, args.near)

    everything = cases + near
    lines = "".join(bits(b) + " " + bits(e) + "\n" for b, e, _ in everything)
    answered = subprocess.run([args.pow_values], input=lines, capture_output=True, text=True, check=True)
    got = [from_bits(text) for text in answered.stdout.split()]
    if len(got) != len(everything):
        sys.exit("pow_values answered %d of %d lines" % (len(got), len(everything)))
    wrong = [i for i, ((_, _, want), have) in enumerate(zip(everything, got)) if have != want]
    for i in wrong[:50]:
        base, exponent, want = everything[i]
        print("pow(%r, %r) = %r, correctly rounded %r" % (base, exponent, got[i], want))
    wrong_random = sum(1 for i in wrong if i < len(cases))
    print("%d of %d random arguments and %d of %d near halfway points differ from the "
          "correctly rounded power" % (wrong_random, len(cases), len(wrong) - wrong_random, len(near)))
    sys.exit(1 if wrong else 0)


if __name__ == "__main__":
    main()
