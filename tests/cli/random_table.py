"""Writes a random data table for a model: random_table.py MODEL.MOD ROWS SEED > TABLE

Each value is, by turns at random, one of the model's cutpoints exactly, the nearest double
above or below one, a uniform value, or an edge value (0, -0.0, tiny, large), so that every
comparison with a cutpoint is tried on both sides and at equality. Classes are 0, 1 and now
and then 2 (neither).
"""

import math
import random
import sys


def main():
    model, rows, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    names, cutpoints = [], []
    with open(model, encoding="utf-8") as f:
        for line in f.read().splitlines():
            key, _, value = line.partition("=")
            if key == "Attributes":
                names = value.split(",")
            elif key.startswith("Cutpoints_Att_"):
                cutpoints.append([float(x) for x in value.split(",")] if value else [])
    names = names[:len(cutpoints)]
    generator = random.Random(seed)
    edges = [0.0, -0.0, 1e-7, -3.5e-9, 12345.678, -1e6, 0.1, 2.0 ** -30]
    out = ["Name," + ",".join(names) + ",Class"]
    for r in range(rows):
        values = []
        for cuts in cutpoints:
            kind = generator.randrange(5)
            if kind < 3 and cuts:
                value = generator.choice(cuts)
                if kind == 1:
                    value = math.nextafter(value, math.inf)
                elif kind == 2:
                    value = math.nextafter(value, -math.inf)
            elif kind == 3:
                value = generator.uniform(-0.6, 0.6)
            else:
                value = generator.choice(edges)
            values.append(repr(value))
        label = generator.choice([0, 1] * 10 + [2])
        out.append(f"R{r + 1}," + ",".join(values) + f",{label}")
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
