#!/usr/bin/env python3
"""The least-squares line and its leave-one-out error in exact rational arithmetic.

An independent check of the race-day line fit: every run is refitted from scratch
without the run it predicts (no shortcut through the hat matrix), and nothing is
rounded until the result is printed.

    python3 tests/reference/line_fit_reference.py 0.98:11.82 1.00:11.90 ... [@1.10]

With @X it also prints the variance of one new run predicted at X,
s² (1 + 1/n + (X - x̄)² / Σ(x - x̄)²) (Draper and Smith, Applied Regression Analysis, §3.1).
"""
import sys
from fractions import Fraction


def fit(points):
    n = len(points)
    mean_x = sum(x for x, _ in points) / n
    mean_y = sum(y for _, y in points) / n
    sxx = sum((x - mean_x) ** 2 for x, _ in points)
    sxy = sum((x - mean_x) * (y - mean_y) for x, y in points)
    slope = sxy / sxx
    return mean_y - slope * mean_x, slope


def leave_one_out_mae(points):
    total = Fraction(0)
    for i, (x, y) in enumerate(points):
        intercept, slope = fit(points[:i] + points[i + 1:])
        total += abs(intercept + slope * x - y)
    return total / len(points)


def main(arguments):
    at = [Fraction(a[1:]) for a in arguments if a.startswith("@")]
    points = [tuple(Fraction(part) for part in a.split(":")) for a in arguments
              if not a.startswith("@")]
    intercept, slope = fit(points)
    residuals = sum((y - intercept - slope * x) ** 2 for x, y in points)
    print(f"intercept {float(intercept)!r}")
    print(f"slope {float(slope)!r}")
    print(f"residual variance {float(residuals / (len(points) - 2))!r}")
    print(f"leave-one-out MAE {float(leave_one_out_mae(points))!r}")
    n = len(points)
    mean_x = sum(x for x, _ in points) / n
    sxx = sum((x - mean_x) ** 2 for x, _ in points)
    for x in at:
        variance = residuals / (n - 2) * (1 + Fraction(1, n) + (x - mean_x) ** 2 / sxx)
        print(f"new run's variance at {float(x)!r} {float(variance)!r}")


if __name__ == "__main__":
    main(sys.argv[1:])
