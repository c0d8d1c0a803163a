#!/usr/bin/python3
"""Mutation check: does the test suite catch realistic single faults?

    /usr/bin/python3 tools/mutate.py [--select REGEX] [--list FILE] [--scratch DIR] [--jobs N] [--all-failures]

Every mutant of the list (tools/mutants.txt) is one small fault: an exact
piece of text in one file replaced by another. Each is applied in turn to a
scratch copy of the working tree (DIR/src, default build-mutate/), built
incrementally in DIR/build, and the tests are run with ctest (label "long"
excluded). A mutant is

    killed     when a test fails (the report names the tests that failed; by
               default ctest stops at the first failure),
    killed at compile
               when the mutated tree does not build (reported apart: a fault
               the compiler rejects says nothing about the tests),
    survived   when every test passes; a survivor must carry a "why" line that
               shows it is equivalent (changes no observable result), or a
               test must be added that kills it.

The original file is restored after each mutant, so the next build only
recompiles what the two mutants touched. Before the first mutant the
unmutated tree must build and pass, otherwise nothing is reported.

--select keeps the mutants whose id or file matches the regular expression
(make mutate MUTANTS=D01AJY). Exit status: 0 when every mutant was killed or
is a survivor with a reason, 1 when a survivor has none, 2 when the list or
the tree is not usable (a stale mutant whose text is no longer in its file,
a failing baseline).

The list format, one block per mutant, blocks separated by blank lines,
lines starting with # are comments:

    id:   D01AJY.compaction_index_off_by_one
    file: quadrature/epsilon_algorithm.cpp
    from: int INDX = NUM - N + 1;
    to:   int INDX = NUM - N;
    nth:  1            (optional: which occurrence, when `from` is not unique)
    why:  ...          (optional: why the mutant changes nothing observable)

`from` and `to` are the exact text of one line, without its leading and
trailing blanks (which are stripped, so the values can be aligned); `from`
must occur in the file at least `nth` times, and is best made unique by
quoting enough of the line. A continued "why:" line is appended to the reason.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FIELDS = ("id", "file", "from", "to", "nth", "why")


def parse_mutants(path):
    mutants = []
    block = {}
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    for number, line in enumerate(lines + [""], start=1):
        if line.startswith("#"):
            continue
        if not line.strip():
            if block:
                mutants.append(block)
                block = {}
            continue
        key, sep, value = line.partition(":")
        if not sep or key.strip() not in FIELDS:
            sys.exit(f"mutate.py: {path}:{number}: expected one of {', '.join(FIELDS)}")
        key = key.strip()
        value = value.strip()
        if key == "why" and "why" in block:
            block["why"] += " " + value
        else:
            block[key] = value
        block.setdefault("line", number)
    seen = set()
    for m in mutants:
        for key in ("id", "file", "from", "to"):
            if key not in m:
                sys.exit(f"mutate.py: {path}:{m['line']}: mutant without {key}")
        if m["id"] in seen:
            sys.exit(f"mutate.py: {path}:{m['line']}: duplicate id {m['id']}")
        if m["from"] == m["to"]:
            sys.exit(f"mutate.py: {path}:{m['line']}: {m['id']} changes nothing")
        seen.add(m["id"])
        m["nth"] = int(m.get("nth", "1"))
    return mutants


def tree_files():
    """Tracked and untracked-but-not-ignored files of the working tree."""
    out = subprocess.run(
        ["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"],
        cwd=REPO, capture_output=True, check=True).stdout
    return sorted({p for p in out.decode().split("\0") if p and os.path.isfile(os.path.join(REPO, p))})


def sync_tree(src):
    """Makes src a copy of the working tree, touching only files that differ."""
    wanted = set(tree_files())
    copied = 0
    for rel in wanted:
        a = os.path.join(REPO, rel)
        b = os.path.join(src, rel)
        with open(a, "rb") as f:
            data = f.read()
        if os.path.exists(b):
            with open(b, "rb") as f:
                if f.read() == data:
                    continue
        os.makedirs(os.path.dirname(b), exist_ok=True)
        with open(b, "wb") as f:
            f.write(data)
        shutil.copymode(a, b)
        copied += 1
    for root, _, files in os.walk(src):
        for name in files:
            rel = os.path.relpath(os.path.join(root, name), src)
            if rel not in wanted:
                os.remove(os.path.join(root, name))
    return copied


def run(cmd, timeout=None, **kw):
    """Runs cmd in its own process group; returns (status, output, timed_out)."""
    proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            start_new_session=True, **kw)
    try:
        out, _ = proc.communicate(timeout=timeout)
        return proc.returncode, out, False
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        out, _ = proc.communicate()
        return -1, out, True


FAILED_LINE = re.compile(r"^\s*\d+\s*-\s*(\S+)\s+\((.*)\)\s*$")


def failed_tests(output):
    names = []
    in_list = False
    for line in output.splitlines():
        if line.startswith("The following tests FAILED"):
            in_list = True
            continue
        if in_list:
            m = FAILED_LINE.match(line)
            if m:
                names.append(m.group(1) + ("" if m.group(2) == "Failed" else f" ({m.group(2)})"))
            elif line.strip():
                in_list = False
    return names


def ctest(build, jobs, all_failures, timeout):
    cmd = ["ctest", "--test-dir", build, "-j", str(jobs), "-LE", "long"]
    if not all_failures:
        cmd.append("--stop-on-failure")
    status, out, timed_out = run(cmd, timeout=timeout)
    return status, failed_tests(out), timed_out, out


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--select", default=".", help="regular expression on mutant id or file")
    parser.add_argument("--list", default=os.path.join(REPO, "tools", "mutants.txt"))
    parser.add_argument("--scratch", default=os.path.join(REPO, "build-mutate"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--all-failures", action="store_true", help="run every test, not only to the first failure")
    args = parser.parse_args()

    select = re.compile(args.select)
    mutants = [m for m in parse_mutants(args.list) if select.search(m["id"]) or select.search(m["file"])]
    if not mutants:
        sys.exit(f"mutate.py: no mutant matches {args.select!r}")
    src = os.path.join(args.scratch, "src")
    build = os.path.join(args.scratch, "build")
    os.makedirs(src, exist_ok=True)

    print(f"mutate: {len(mutants)} mutants; scratch copy {src}", flush=True)
    print(f"mutate: {sync_tree(src)} files copied from the working tree", flush=True)
    status, out, _ = run(["cmake", "-S", src, "-B", build, "-DCMAKE_BUILD_TYPE=Release"])
    if status != 0:
        print(out)
        sys.exit("mutate.py: the scratch tree does not configure")
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    status, out, _ = run(build_cmd)
    if status != 0:
        print(out[-4000:])
        sys.exit("mutate.py: the unmutated tree does not build")
    started = time.monotonic()
    status, failed, _, out = ctest(build, args.jobs, True, None)
    baseline = time.monotonic() - started
    if status != 0:
        print(out[-4000:])
        sys.exit("mutate.py: the unmutated tree fails tests: " + ", ".join(failed))
    print(f"mutate: baseline passes in {baseline:.0f} s", flush=True)
    timeout = 10 * baseline + 120

    results = {"killed": [], "compile": [], "survived": [], "stale": []}
    for number, m in enumerate(mutants, start=1):
        path = os.path.join(src, m["file"])
        tag = f"[{number:2}/{len(mutants)}] {m['id']}"
        original = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        pieces = original.split(m["from"]) if original is not None else []
        if len(pieces) <= m["nth"]:
            print(f"{tag}: STALE, the text is no longer in {m['file']}: {m['from']}", flush=True)
            results["stale"].append(m)
            continue
        mutated = m["from"].join(pieces[: m["nth"]]) + m["to"] + m["from"].join(pieces[m["nth"]:])
        started = time.monotonic()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutated)
            status, out, _ = run(build_cmd)
            if status != 0:
                errors = [line for line in out.splitlines() if "error" in line][:1]
                print(f"{tag}: killed at compile ({'; '.join(errors)[:160]})", flush=True)
                results["compile"].append(m)
                continue
            status, failed, timed_out, out = ctest(build, args.jobs, args.all_failures, timeout)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        seconds = time.monotonic() - started
        if timed_out:
            print(f"{tag}: killed by a time-out of the suite ({seconds:.0f} s)", flush=True)
            m["killers"] = ["time-out"]
            results["killed"].append(m)
        elif status != 0:
            m["killers"] = failed or ["ctest status %d" % status]
            print(f"{tag}: killed by {', '.join(m['killers'])} ({seconds:.0f} s)", flush=True)
            results["killed"].append(m)
        else:
            reason = f"; reason it changes nothing: {m['why']}" if "why" in m else ""
            print(f"{tag}: SURVIVED ({seconds:.0f} s){reason}", flush=True)
            results["survived"].append(m)

    # Leave the scratch build matching the unmutated tree for the next run.
    run(build_cmd)

    judged = len(results["killed"]) + len(results["compile"]) + len(results["survived"])
    killed = len(results["killed"]) + len(results["compile"])
    print()
    print(f"mutate: {judged} mutants run: {len(results['killed'])} killed by tests, "
          f"{len(results['compile'])} killed at compile, {len(results['survived'])} survived"
          + (f", {len(results['stale'])} stale (not run)" if results["stale"] else ""))
    if judged:
        print(f"mutate: kill rate {killed}/{judged} = {100.0 * killed / judged:.1f} %"
              f" (by tests alone {len(results['killed'])}/{judged - len(results['compile'])})")
    unexplained = [m for m in results["survived"] if "why" not in m]
    for m in results["survived"]:
        print(f"  survivor {m['id']} ({m['file']}): " + m.get("why", "NO REASON GIVEN: add a test that kills it"))
    if results["stale"]:
        return 2
    return 1 if unexplained else 0


if __name__ == "__main__":
    sys.exit(main())
