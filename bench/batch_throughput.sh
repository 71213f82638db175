#!/usr/bin/env bash
# Measures moravik-calc --batch as a whole process: 100,000 JSON lines with
# varied inputs (about one in ten ends in an arithmetic fault), timed with
# hyperfine, reported as lines per second.
#
# Usage: bench/batch_throughput.sh [path/to/moravik-calc]
set -euo pipefail
cd "$(dirname "$0")/.."

calc=$(realpath "${1:-build/default/bin/moravik-calc}")
lines=100000
workdir=$(mktemp -d)
trap 'rm -rf "${workdir}"' EXIT

"${calc}" --tracks >"${workdir}/tracks.txt"
python3 - "${lines}" "${workdir}/tracks.txt" >"${workdir}/input.jsonl" <<'PY'
import json, random, sys

count, tracks_file = int(sys.argv[1]), sys.argv[2]
tracks = [line.rstrip("\n") for line in open(tracks_file, encoding="utf-8")]
random.seed(20240601)
faulting = [{"flp": "0"}, {"vweight": ""}, {"nbp": "-900"}, {"jtn": "40000"}, {"draghp": "abc"}]
for i in range(count):
    if i % 10 == 9:
        line = dict(random.choice(faulting))
    else:
        line = {
            "njt": f"{random.randint(10, 120) / 1000:.3f}".lstrip("0"),
            "flp": str(random.randint(4, 80)),
            "nbp": str(random.randint(600, 1100)),
            "jtn": random.choice(["1", "2", "4", "6", "8", "16"]),
            "draghp": str(random.randint(90, 900)),
            "vweight": str(random.randint(1800, 4200)),
        }
        if random.random() < 0.5:
            line["altitudeDD"] = random.choice(tracks)
        for key in random.sample(sorted(line), k=random.randint(0, 2)):
            del line[key]
    print(json.dumps(line))
PY

# Some lines fault, so a complete run exits with status 1.
hyperfine --warmup 1 --runs 5 --export-json "${workdir}/timing.json" \
    --command-name "moravik-calc --batch (${lines} lines)" \
    "'${calc}' --batch <'${workdir}/input.jsonl' >/dev/null; test \$? -eq 1"

python3 - "${lines}" "${workdir}/timing.json" <<'PY'
import json, sys

lines = int(sys.argv[1])
result = json.load(open(sys.argv[2]))["results"][0]
print(f"mean {result['mean']:.3f} s -> {lines / result['mean']:,.0f} lines/s "
      f"(best {lines / result['min']:,.0f} lines/s; goal 100,000 lines/s)")
PY
