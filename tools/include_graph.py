#!/usr/bin/env python3
"""Prints which source folder includes which (src/<folder>/...), and fails when
the folders include each other in a loop or when anything outside app/ includes
app/: the house is built downwards, with app/ alone at the top.

    include_graph.py [src folder]
"""
import os
import re
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
edges = {}
for folder, _, files in os.walk(root):
    for name in files:
        if name.endswith((".h", ".cpp")):
            here = os.path.relpath(folder, root).split(os.sep)[0]
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                for used in re.findall(r'#include "([^/"]+)/', f.read()):
                    if used != here:
                        edges.setdefault(here, set()).add(used)
for folder in sorted(edges):
    print(folder, "->", " ".join(sorted(edges[folder])))

faults = [f"{folder} includes app" for folder in sorted(edges) if "app" in edges[folder]]
done, path = set(), []


def visit(folder):
    if folder in path:
        faults.append("loop: " + " -> ".join(path[path.index(folder):] + [folder]))
    elif folder not in done:
        path.append(folder)
        for used in sorted(edges.get(folder, ())):
            visit(used)
        path.pop()
        done.add(folder)


for folder in sorted(edges):
    visit(folder)
print("\n".join(faults) or "no loop between folders; only app includes app")
sys.exit(1 if faults else 0)
