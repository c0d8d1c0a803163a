"""Random answer files run through two builds of the dialogue, compared byte
for byte: standard output and exit status.

Each case is a whole run with random answers: semi-axes or axial ratios over
six decades, vs typed or from hydration data, molar masses from 1e2 to 1e9
g/mol, and the two virial contributions asked for or not, with random charges
and ionic strengths. A refactoring of the dialogue's path must leave every
case unchanged.

    /usr/bin/python3 tools/compare_dialogues.py OLD_BINARY NEW_BINARY [--cases 300] [--seed 17]
"""

import argparse
import random
import subprocess
import sys


def decades(rng, low, high):
    return 10.0 ** rng.uniform(low, high)


def number(rng, value):
    # Both short and full-precision spellings, as people and scripts type them.
    return f"{value:.{rng.choice([3, 6, 17])}g}"


def answers(rng):
    lines = [f"case{rng.randrange(10**6)}"]
    if rng.random() < 0.6:
        lines += ["1", " ".join(number(rng, decades(rng, -2, 4)) for _ in range(3))]
    else:
        lines += ["2", " ".join(number(rng, decades(rng, -1, 2.5)) for _ in range(2))]
    if rng.random() < 0.5:
        lines += ["1", number(rng, rng.uniform(0.5, 2.0))]
    else:
        lines += ["2", " ".join(number(rng, x) for x in (rng.uniform(0, 1), rng.uniform(0.9, 1.1),
                                                        rng.uniform(0.5, 0.8)))]
    lines.append(number(rng, decades(rng, 2, 9)))
    lines.append(rng.choice(["y", "n", "Yes"]))
    if rng.random() < 0.5:
        lines += ["y", number(rng, rng.uniform(-50, 50)), number(rng, decades(rng, -4, 0))]
    else:
        lines.append("n")
    lines.append("")
    return "\n".join(lines) + "\n"


def run(binary, text):
    done = subprocess.run([binary], input=text.encode(), capture_output=True, timeout=120)
    return done.stdout, done.returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--cases", type=int, default=300)
    parser.add_argument("--seed", type=int, default=17)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    differ = 0
    for k in range(args.cases):
        text = answers(rng)
        if run(args.old, text) != run(args.new, text):
            differ += 1
            print(f"case {k} differs:\n{text}", file=sys.stderr)
    print(f"{args.cases} random dialogues, {differ} differ")
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
