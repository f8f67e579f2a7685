"""The house rules that the tree itself can show, for `tools/lint --house`:

- floors: a program file includes only its own floor and those below it (framework, controls,
  pages, password, app, from the bottom), and never what lies beside the program (support, tests,
  bench, tools);
- owners: outside framework/ no handle or object is freed by hand (delete, a raw new, the
  system's free functions called on a raw handle, Release through a raw pointer); a framework
  owner's own reset, called as a member, is not a hand free;
- no circle of includes between the program's files;
- no circle of calls between the program's source files, read from the build's objects: a
  function defined in one object and used by another's code is an arrow between their sources
  (a class's table of virtual functions is not code written in its file).
"""
import collections
import os
import re
import subprocess

FLOORS = ("framework", "controls", "pages", "password", "app")
BESIDE_THE_PROGRAM = ("support", "tests", "bench", "tools")
# Free functions of the system that take the handle they free. Called as a member (after ".",
# "->" or "Class::") they are an owner's own reset.
HANDLE_FREES = ("DeleteObject", "DestroyIcon", "DestroyCursor", "DestroyMenu", "CloseHandle", "CoTaskMemFree",
                "UnmapViewOfFile", "ReleaseStgMedium", "ImageList_Destroy", "DeleteDC", "ReleaseDC",
                "GlobalFree", "LocalFree", "RegCloseKey", "FreeLibrary", "DestroyAcceleratorTable")
# Ends of a start-up count, which take no argument.
COUNT_ENDS = ("OleUninitialize", "CoUninitialize")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.M)
MEMBER_BEFORE = re.compile(r"(\.|->|\w::)\s*$")
GLOBAL_BEFORE = re.compile(r"(^|[^\w\s])\s*::\s*$")
OBJECT_SUFFIX = ".cpp.obj"


def program_files(root):
    for floor in FLOORS:
        for folder, _, names in os.walk(os.path.join(root, floor)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def code_only(text):
    """The text with comments, string and character literals blanked (lines kept)."""
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|[LuU8]*R"([^(]*)\(.*?\)\1"|[LuU8]*"(?:\\.|[^"\\\n])*"|'
                         r"[LuU8]*'(?:\\.|[^'\\\n])*'", re.S)
    return pattern.sub(lambda match: re.sub(r"[^\n]", " ", match.group(0)), text)


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1


def floor_of(path):
    return path.split("/")[0]


def floor_findings(path, text):
    findings = []
    for match in INCLUDE.finditer(text):
        target = match.group(1)
        top = target.split("/")[0]
        where = f"{path}:{line_of(text, match.start())}"
        if top in BESIDE_THE_PROGRAM:
            findings.append(f"{where}: house: includes {target}, which lies beside the program")
        elif top in FLOORS and FLOORS.index(top) > FLOORS.index(floor_of(path)):
            findings.append(f"{where}: house: includes {target}, a floor above {floor_of(path)}/")
    return findings


def hand_free_findings(path, code):
    findings = []

    def add(offset, what):
        findings.append(f"{path}:{line_of(code, offset)}: house: {what} by hand (an owner frees it)")

    for match in re.finditer(r"\bdelete\b", code):
        if not re.search(r"=\s*$", code[:match.start()]):
            add(match.start(), "delete")
    for match in re.finditer(r"\bnew\b\s*[\w(:]", code):
        if not re.search(r"\boperator\s*$", code[:match.start()]):
            add(match.start(), "raw new")
    for match in re.finditer(r"->\s*Release\s*\(\s*\)", code):
        add(match.start(), "Release through a raw pointer")
    for match in re.finditer(rf"\b({'|'.join(HANDLE_FREES)})\s*\(\s*(\)?)", code):
        before = code[:match.start()]
        if not MEMBER_BEFORE.search(before) and (GLOBAL_BEFORE.search(before) or not match.group(2)):
            add(match.start(), match.group(1))
    for match in re.finditer(rf"\b({'|'.join(COUNT_ENDS)})\s*\(", code):
        if not MEMBER_BEFORE.search(code[:match.start()]):
            add(match.start(), match.group(1))
    return findings


def circles(edges):
    """The strongly connected parts of more than one node, each sorted."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []
    counter = [0]

    def visit(node):
        # Iterative, so that a long chain does not reach Python's recursion limit.
        work = [(node, iter(sorted(edges.get(node, ()))))]
        index[node] = low[node] = counter[0]
        counter[0] += 1
        stack.append(node)
        on_stack.add(node)
        while work:
            current, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter[0]
                    counter[0] += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(edges.get(child, ())))))
                elif child in on_stack:
                    low[current] = min(low[current], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[current])
            if low[current] == index[current]:
                part = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    part.append(member)
                    if member == current:
                        break
                if len(part) > 1:
                    found.append(sorted(part))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def include_edges(root, files, texts):
    edges = collections.defaultdict(set)
    known = set(files)
    for path in files:
        for match in INCLUDE.finditer(texts[path]):
            target = match.group(1)
            beside = os.path.normpath(os.path.join(os.path.dirname(path), target)).replace(os.sep, "/")
            for candidate in (target, beside):
                if candidate in known and candidate != path:
                    edges[path].add(candidate)
                    break
    return edges


def code_references(objdump, path, undefined):
    """The undefined symbols an object's code and data use; a class's table of virtual functions
    (a .rdata$_ZTV section) is the compiler's, not a call written in the file, and is left out."""
    listing = subprocess.run([objdump, "-r", path], capture_output=True, text=True, check=True).stdout
    used, in_vtable = set(), False
    for line in listing.splitlines():
        header = re.match(r"RELOCATION RECORDS FOR \[(.*)\]:", line)
        if header:
            in_vtable = header.group(1).startswith(".rdata$_ZTV")
            continue
        fields = line.split()
        if not in_vtable and len(fields) == 3 and fields[2] in undefined:
            used.add(fields[2])
    return used


def call_edges(build_dir, nm, objdump):
    """Arrows between program sources from the build's objects, or None without the objects."""
    objects = {}
    for folder, _, names in os.walk(build_dir):
        for name in names:
            if not name.endswith(OBJECT_SUFFIX):
                continue
            full = os.path.join(folder, name)
            parts = os.path.relpath(full, build_dir).replace(os.sep, "/").split("/")
            # CMakeFiles/dalvorin_core.dir/<floor>/.../<name>.cpp.obj: the shipped program's objects.
            if len(parts) > 3 and parts[0] == "CMakeFiles" and parts[1] == "dalvorin_core.dir" and parts[2] in FLOORS:
                objects["/".join(parts[2:])[:-len(".obj")]] = full
    if not objects:
        return None
    defined = collections.defaultdict(set)
    used = {}
    for source, path in objects.items():
        listing = subprocess.run([nm, path], capture_output=True, text=True, check=True).stdout
        undefined = set()
        for line in listing.splitlines():
            fields = line.split()
            if len(fields) == 2 and fields[0] == "U":
                undefined.add(fields[1])
            elif len(fields) == 3 and fields[1] in "TDRB":
                defined[fields[2]].add(source)
        used[source] = code_references(objdump, path, undefined)
    edges = collections.defaultdict(set)
    for source, symbols in used.items():
        for symbol in symbols:
            # A symbol defined in several objects is inline or a template's: no one file's.
            if len(defined.get(symbol, ())) == 1:
                (target,) = defined[symbol]
                if target != source:
                    edges[source].add(target)
    return edges


def check(root, build_dir, nm, objdump):
    """(findings, number of files read, notes)."""
    files = list(program_files(root))
    texts = {}
    for path in files:
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as handle:
            texts[path] = handle.read()
    findings, notes = [], []
    for path in files:
        findings += floor_findings(path, texts[path])
        if floor_of(path) != "framework":
            findings += hand_free_findings(path, code_only(texts[path]))
    for part in circles(include_edges(root, files, texts)):
        findings.append(f"{part[0]}: house: files that include each other in a circle: {', '.join(part)}")
    calls = call_edges(build_dir, nm, objdump)
    if calls is None:
        notes.append(f"no objects of the program under {build_dir}: calls not checked")
    else:
        for part in circles(calls):
            findings.append(f"{part[0]}: house: a circle of files calling each other: {', '.join(part)}")
    return findings, len(files), notes
