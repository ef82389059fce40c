#!/usr/bin/env python3
"""Prints how the folders of src/ depend on each other.

Read from the includes alone (a Designer form's promoted widgets count as
includes of the file that includes its ui_*.h), so the figures come out the
same on any machine:

- circles: groups of classes that reach each other across folders through
  includes or uses. A class is its header, source and form taken together;
  a use is a file naming a class (M... or D...) that another header defines,
  which also catches a call made through a header included on the way.
- include cycles: classes whose includes alone lead back to themselves, and
  headers that include each other.
- back-up arrows: includes that the folder rules in README.md ("How the code
  is laid out") do not allow. The programs' own entries, which the build
  puts in no floor, are left out of these and of the folder pairs.
- folder pairs that include each other both ways.
- singletons and their instance() calls, raw gl* calls, the largest files.

    scripts/floorcheck.py [--root DIR] [--top N] [--members]
"""

import argparse
import collections
import os
import re
import sys

SOURCE_ENDINGS = (".h", ".cpp", ".ui")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
UI_HEADER = re.compile(r"<header>([^<]+)</header>")
SINGLETON = re.compile(r"class\s+(\w+)\b[^{;]*\bMSingleton<\s*(\w+)\s*>")
INSTANCE_CALL = re.compile(r"\b(\w+)::instance\(\)")
CLASS_DEFINITION = re.compile(r"^(?:class|struct)\s+([MD][A-Z]\w*)\b[^;]*$", re.M)
CLASS_NAME = re.compile(r"\b[MD][A-Z]\w*\b")
GL_CALL = re.compile(r"\bgl[A-Z]\w*\s*\(")
COMMENT = re.compile(r"//[^\n]*|/\*.*?\*/", re.S)
STRING = re.compile(r'"(?:\\.|[^"\\\n])*"')


def code_only(text):
    return COMMENT.sub("", STRING.sub('""', text))


class Tree:
    def __init__(self, root):
        self.root = root
        self.files = {}  # path relative to root -> text
        src = os.path.join(root, "src")
        for folder in sorted(os.listdir(src)):
            path = os.path.join(src, folder)
            if not os.path.isdir(path):
                continue
            for name in sorted(os.listdir(path)):
                if name.endswith(SOURCE_ENDINGS):
                    with open(os.path.join(path, name), encoding="utf-8", errors="replace") as f:
                        self.files[f"src/{folder}/{name}"] = f.read()
        self.by_name = {os.path.basename(p): p for p in self.files}
        self.includes = {p: sorted(self._includes_of(p)) for p in self.files}
        self.uses = self._uses()

    def _includes_of(self, path):
        found = set()
        text = self.files[path]
        if path.endswith(".ui"):
            names = UI_HEADER.findall(text)
        else:
            names = INCLUDE.findall(text)
        for name in names:
            base = os.path.basename(name)
            if base.startswith("ui_") and base.endswith(".h"):
                form = self.by_name.get(base[3:-2] + ".ui")
                if form:
                    found.add(form)
                continue
            target = self.by_name.get(base)
            if target and target != path:
                found.add(target)
        return found

    def _uses(self):
        """Classes each file names, as the units that define them."""
        defined = collections.defaultdict(set)
        for path, text in self.files.items():
            if path.endswith(".h"):
                for name in CLASS_DEFINITION.findall(code_only(text)):
                    defined[name].add(self.unit(path))
        owner = {name: units.pop() for name, units in defined.items() if len(units) == 1}
        uses = {}
        for path, text in self.files.items():
            if path.endswith(".ui"):
                continue
            names = set(CLASS_NAME.findall(code_only(text)))
            uses[path] = {owner[n] for n in names if n in owner} - {self.unit(path)}
        return uses

    @staticmethod
    def folder(path):
        return path.split("/")[1]

    @staticmethod
    def unit(path):
        return os.path.splitext(path)[0]

    def lines(self, path):
        return self.files[path].count("\n")


def strongly_connected(nodes, edges):
    """Tarjan's algorithm without recursion; returns the groups of two or more."""
    index, low, on_stack, stack, groups = {}, {}, set(), [], []
    counter = 0
    for start in nodes:
        if start in index:
            continue
        work = [(start, iter(edges.get(start, ())))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            advanced = False
            for child in children:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(edges.get(child, ()))))
                    advanced = True
                    break
                if child in on_stack:
                    low[node] = min(low[node], index[child])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == node:
                        break
                if len(group) > 1:
                    groups.append(sorted(group))
    return sorted(groups, key=lambda g: (-len(g), g))


def folder_counts(paths):
    counts = collections.Counter(Tree.folder(p) for p in paths)
    return ", ".join(f"{f} {n}" for f, n in counts.most_common())


def folder_rules(root, folders):
    """What README.md's "How the code is laid out" lets each folder include.

    Returns {folder: (allowed folders, {folder: files alone allowed to})}; a
    folder the README does not describe gets no entry (every include of it is
    then counted as allowed)."""
    try:
        with open(os.path.join(root, "README.md"), encoding="utf-8") as f:
            text = f.read()
    except OSError:
        return {}
    section = re.search(r"^## How the code is laid out\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    if not section:
        return {}
    rules = {}
    # A bullet ends at the next bullet or at a blank line.
    bullets = [b for block in re.split(r"\n\s*\n", section.group(1)) for b in re.split(r"\n(?=- )", block)]
    for bullet in bullets:
        head = re.match(r"- `src/(\w+)`", bullet)
        if not head:
            continue
        body = " ".join(bullet.split())
        clause = re.search(r"\bInclude[s]?\b(.*?)(?:;|\.(?:\s|$)|$)", body)
        if not clause:
            rules[head.group(1)] = (set(), {})
            continue
        words = clause.group(1)
        if re.search(r"\bevery folder\b", words):
            allowed = set(folders)
        else:
            allowed = {n for n in re.findall(r"`(\w+)`", words) if n in folders}
        only = {}
        files = re.findall(r"`(\w+\.(?:cpp|h))`", words)
        if files and re.search(r"\bonly\b", words):
            only = {f: set(files) for f in allowed if f != "app"} if head.group(1) == "app" \
                else {f: set(files) for f in allowed}
        rules[head.group(1)] = (allowed, only)
    return rules


def program_entries(root):
    """The programs' own entries (main() files), which src/CMakeLists.txt
    builds into no floor: they stand above every folder."""
    try:
        with open(os.path.join(root, "src", "CMakeLists.txt"), encoding="utf-8") as f:
            text = f.read()
    except OSError:
        return set()
    found = re.search(r"set\(KALMI_PROGRAM_SOURCES([^)]*)\)", text)
    if not found:
        return set()
    return {"src/" + name for name in re.findall(r"/(\w+/\w+\.cpp)\"", found.group(1))}


def report(tree, top, members=False):
    out = []
    folders = sorted({tree.folder(p) for p in tree.files})
    code = [p for p in tree.files if not p.endswith(".ui")]
    out.append(f"files read: {len(tree.files)} in {len(folders)} folders of src/ "
               f"({sum(tree.lines(p) for p in code)} lines of code)")

    # A class (header, source and form) is one node.
    units = sorted({tree.unit(p) for p in tree.files})
    include_edges = collections.defaultdict(set)
    for path, targets in tree.includes.items():
        for target in targets:
            if tree.unit(target) != tree.unit(path):
                include_edges[tree.unit(path)].add(tree.unit(target))
    use_edges = collections.defaultdict(set, {u: set(t) for u, t in include_edges.items()})
    for path, targets in tree.uses.items():
        use_edges[tree.unit(path)] |= targets

    def groups_line(groups, what):
        out.append(f"{what}: {len(groups)}, sizes {[len(g) for g in groups]}")
        for group in groups:
            files = [p for p in code if tree.unit(p) in set(group)]
            out.append(f"  {len(group)} classes ({len(files)} files): {folder_counts(group)}")
            if members:
                out.append("    " + " ".join(u[len("src/"):] for u in group))

    circles = [g for g in strongly_connected(units, use_edges)
               if len({tree.folder(u) for u in g}) > 1]
    out.append("")
    groups_line(circles, "circles across folders (includes and uses)")
    out.append("")
    groups_line(strongly_connected(units, include_edges), "include-only cycles of classes")
    header_cycles = strongly_connected(sorted(tree.files), tree.includes)
    out.append(f"headers including each other in a loop: {len(header_cycles)}, sizes "
               f"{[len(c) for c in header_cycles]}")

    # Back-up arrows against the README's folder rules, and the folder graph;
    # a form's promoted widgets are told apart from a source's own includes.
    rules = folder_rules(tree.root, folders)
    breaking = collections.Counter()
    examples = collections.defaultdict(list)
    folder_edges = {True: collections.defaultdict(set), False: collections.defaultdict(set)}
    programs = program_entries(tree.root)
    for path, targets in tree.includes.items():
        if path in programs:
            continue
        here = tree.folder(path)
        from_form = path.endswith(".ui")
        for target in targets:
            there = tree.folder(target)
            if there == here:
                continue
            folder_edges[True][here].add(there)
            if not from_form:
                folder_edges[False][here].add(there)
            if here not in rules:
                continue
            allowed, only = rules[here]
            ok = there in allowed and (there not in only
                                       or os.path.basename(path) in only[there])
            if not ok:
                breaking[(here, there, from_form)] += 1
                examples[(here, there)].append(
                    f"{os.path.basename(path)}->{os.path.basename(target)}")
    out.append("")
    described = [f for f in folders if f in rules]
    from_forms = sum(n for (_, _, form), n in breaking.items() if form)
    out.append(f"back-up arrows (includes the README's folder rules do not allow): "
               f"{sum(breaking.values())}: {sum(breaking.values()) - from_forms} in sources, "
               f"{from_forms} by forms' promoted widgets"
               + ("" if rules else " (README has no folder rules)"))
    if len(described) < len(folders):
        out.append(f"  folders the README does not describe: "
                   f"{', '.join(sorted(set(folders) - set(described)))}")
    by_pair = collections.Counter()
    for (here, there, _), count in breaking.items():
        by_pair[(here, there)] += count
    for (here, there), count in sorted(by_pair.items(), key=lambda kv: (-kv[1], kv[0])):
        out.append(f"  {here} -> {there}: {count} ({', '.join(sorted(examples[(here, there)]))})")

    # Folder pairs that include each other both ways.
    def mutual(edges):
        return [(a, b) for i, a in enumerate(folders) for b in folders[i + 1:]
                if b in edges[a] and a in edges[b]]
    pairs = mutual(folder_edges[True])
    total_pairs = len(folders) * (len(folders) - 1) // 2
    out.append("")
    out.append(f"folder pairs including each other both ways: {len(pairs)} of {total_pairs} "
               f"({len(mutual(folder_edges[False]))} counting sources alone)")
    out.append("  " + ", ".join(f"{a}<->{b}" for a, b in pairs))

    # Singletons, instance() calls and raw gl calls, comments and strings left out.
    singletons = sorted({m.group(1) for p in code
                         for m in SINGLETON.finditer(code_only(tree.files[p]))})
    calls = collections.Counter()
    gl = collections.Counter()
    for path in code:
        text = code_only(tree.files[path])
        for m in INSTANCE_CALL.finditer(text):
            if m.group(1) in singletons:
                calls[tree.folder(path)] += 1
        found = len(GL_CALL.findall(text))
        if found:
            gl[path] = found
    out.append("")
    out.append(f"singletons: {len(singletons)}: {', '.join(singletons)}")
    out.append(f"instance() calls: {sum(calls.values())} "
               f"({', '.join(f'{f} {n}' for f, n in calls.most_common())})")
    out.append(f"raw gl* calls: {sum(gl.values())} in {len(gl)} files across "
               f"{len({tree.folder(p) for p in gl})} folders ({folder_counts(gl)})")
    if members:
        out.append("  " + ", ".join(f"{p[len('src/'):]} {n}" for p, n in sorted(gl.items())))

    # Largest files, and who includes the document.
    out.append("")
    out.append(f"largest files (lines):")
    class_lines = collections.Counter()
    for path in code:
        class_lines[tree.unit(path)] += tree.lines(path)
    for path in sorted(code, key=lambda p: -tree.lines(p))[:top]:
        out.append(f"  {tree.lines(path):6d} {path} ({class_lines[tree.unit(path)]} with its header)")
    document = tree.by_name.get("mcanvas.h")
    if document:
        users = [p for p, t in tree.includes.items() if document in t and tree.unit(p) != tree.unit(document)]
        out.append(f"files including {document}: {len(users)}")
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--root", default=os.path.dirname(os.path.dirname(os.path.abspath(__file__))),
                        help="the checkout to read (default: the one holding this script)")
    parser.add_argument("--top", type=int, default=10, help="how many of the largest files to list")
    parser.add_argument("--members", action="store_true", help="name the classes of each circle and cycle, "
                        "and the files with gl* calls")
    args = parser.parse_args()
    if not os.path.isdir(os.path.join(args.root, "src")):
        print(f"floorcheck: no src/ folder in {args.root}", file=sys.stderr)
        return 2
    print(report(Tree(args.root), args.top, args.members))
    return 0


if __name__ == "__main__":
    sys.exit(main())
