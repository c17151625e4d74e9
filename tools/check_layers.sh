#!/usr/bin/env bash
# Fails when an include of Kintra's sources runs against the layers or closes a circle of files.
#
# Layers, lowest first: platform < settings < model < blocks < chart < views < render < shell,
# cli (render is the drawing with Qt that the shell and the command-line tool share; hdf5, beside
# it, the sweep files written with libhdf5; neither includes the other). A file may
# include its own layer and the layers below it; the shell and the command-line tool do not
# include each other.
#
# Circles are looked for between units: a header and its own .cpp are one unit, and a .cpp that
# defines members of a class declared in another header is part of that class's unit too (one
# class split in two files). A circle between two units means neither can be understood, built
# or tested without the other.
set -euo pipefail
cd "$(dirname "$0")/.."
exec python3 - "$@" <<'PY'
import collections
import os
import re
import sys

LAYERS = ["platform", "settings", "model", "blocks", "chart", "views", "render", "hdf5", "shell", "cli"]
RANK = {name: i for i, name in enumerate(LAYERS)}
RANK["hdf5"] = RANK["render"]
RANK["cli"] = RANK["shell"]

ALLOWED_UPWARD = set()

# Circles let through: none stands today, and none may be added.
KNOWN_CIRCLES = set()

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
CLASS = re.compile(r"^\s*(?:class|struct)\s+(\w+)\b[^;]*$")
MEMBER = re.compile(r"^[A-Za-z_][^;{}()]*?\b(\w+)::~?\w+\s*\(")

files = sorted(
    os.path.join(d, f)
    for d, _, names in os.walk("src")
    for f in names
    if f.endswith((".h", ".cpp"))
)


def layer_of(path):
    return path.split("/")[1]


def resolve(src, name):
    for candidate in (os.path.join(os.path.dirname(src), name), os.path.join("src", name)):
        candidate = os.path.normpath(candidate)
        if os.path.isfile(candidate):
            return candidate
    return None  # a system or generated header


def stem(path):
    return os.path.splitext(path)[0]


includes = {f: [] for f in files}
for f in files:
    with open(f, encoding="utf-8") as text:
        for number, line in enumerate(text, 1):
            m = INCLUDE.match(line)
            if m:
                target = resolve(f, m.group(1))
                if target:
                    includes[f].append((number, target))

failures = []

# 1. The layers.
for f in files:
    mine = layer_of(f)
    for number, target in includes[f]:
        theirs = layer_of(target)
        upward = RANK[theirs] > RANK[mine] or (RANK[theirs] == RANK[mine] and theirs != mine)
        if upward and (mine, target) not in ALLOWED_UPWARD:
            failures.append(f"{f}:{number}: includes {target}, a layer above {mine}")

# 2. Circles between units.
parent = {}


def find(u):
    parent.setdefault(u, u)
    while parent[u] != u:
        parent[u] = parent[parent[u]]
        u = parent[u]
    return u


def union(a, b):
    parent[find(a)] = find(b)


home_of_class = {}
for f in files:
    find(stem(f))
    if f.endswith(".h"):
        with open(f, encoding="utf-8") as text:
            for line in text:
                m = CLASS.match(line)
                if m:
                    home_of_class.setdefault(m.group(1), stem(f))
for f in files:
    if f.endswith(".cpp"):
        with open(f, encoding="utf-8") as text:
            for line in text:
                m = MEMBER.match(line)
                home = m and home_of_class.get(m.group(1))
                if home and home != stem(f) and layer_of(home + ".h") == layer_of(f):
                    union(stem(f), home)

known = {frozenset(find(u) for u in pair) for pair in KNOWN_CIRCLES}
edges = collections.defaultdict(set)
for f in files:
    for _, target in includes[f]:
        a, b = find(stem(f)), find(stem(target))
        if a != b and frozenset({a, b}) not in known:
            edges[a].add(b)

index, low, stack, on_stack, circles = {}, {}, [], set(), []
sys.setrecursionlimit(100000)


def visit(v):
    index[v] = low[v] = len(index)
    stack.append(v)
    on_stack.add(v)
    for w in sorted(edges[v]):
        if w not in index:
            visit(w)
            low[v] = min(low[v], low[w])
        elif w in on_stack:
            low[v] = min(low[v], index[w])
    if low[v] == index[v]:
        component = []
        while True:
            w = stack.pop()
            on_stack.discard(w)
            component.append(w)
            if w == v:
                break
        if len(component) > 1:
            circles.append(component)


for v in sorted(list(edges)):
    if v not in index:
        visit(v)

members = collections.defaultdict(set)
for u in parent:
    members[find(u)].add(u)
for component in circles:
    names = " <-> ".join(sorted("|".join(sorted(members[c])) for c in component))
    failures.append(f"circle of includes: {names}")

if failures:
    print("These includes run against the layers (platform < settings < model < blocks < chart <")
    print("views < shell, cli) or close a circle of files:")
    for line in failures:
        print("  " + line)
    sys.exit(1)
print("Layers: every include runs down the layers, and no circle of files.")
PY
