#!/usr/bin/env python3
"""Coverage gates of scripts/coverage.sh over a gcovr JSON report.

    scripts/coverage_gates.py REPORT CONTAINERS_PATTERN SOLVER_PATTERN

Prints line and branch coverage per file and per area with the lines never run, and fails (exit
status 1) when an area is below its gate, or when a line that raises a container error or reports
a failed check (ZRMUtRaise, Raise, RaiseInvalidIterator, ZRMReportCheck calls) was never run.
The invariant checkers (FindInvariantViolation, CheckInvariants, the tree's CheckedHeight) are left
out of the figures: only the tests and fuzzers call them, to judge the containers.
Runs from the repository root: the report's paths are relative to it.
"""
import json, re, sys

report, containers, solver = sys.argv[1], sys.argv[2], sys.argv[3]
files = json.load(open(report))["files"]
# area: (path pattern, line gate %, branch gate % or None)
areas = {"containers": (containers, 95.0, 85.0), "solver": (solver, 90.0, None)}
site = re.compile(r"\b(ZRMUtRaise|Raise|RaiseInvalidIterator|ZRMReportCheck)\(")
definition = re.compile(r"\b(static|void)\b[^;]*\b(Raise|RaiseInvalidIterator)\(")
checker = re.compile(r"\b(FindInvariantViolation|CheckInvariants|CheckedHeight)\([^;{]*\{")
failed = []

def checker_lines(source):
    """The line numbers of the bodies of the invariant checkers defined in source."""
    exempt, depth = set(), 0
    for number, text in enumerate(source, 1):
        if depth == 0 and not checker.search(text):
            continue
        exempt.add(number)
        depth += text.count("{") - text.count("}")
    return exempt

def code_lines(entry, source):
    exempt = checker_lines(source)
    return [l for l in entry["lines"] if not l.get("gcovr/noncode", False) and l["line_number"] not in exempt]

for area, (pattern, line_gate, branch_gate) in areas.items():
    lines = covered = branches = taken = 0
    print(f"== {area}")
    for entry in sorted(files, key=lambda e: e["file"]):
        if not re.fullmatch(pattern, entry["file"]):
            continue
        source = open(entry["file"]).read().splitlines()
        mine = code_lines(entry, source)
        l = len(mine)
        c = sum(1 for x in mine if x["count"] > 0)
        b = sum(len(x["branches"]) for x in mine)
        t = sum(1 for x in mine for y in x["branches"] if y["count"] > 0)
        lines, covered, branches, taken = lines + l, covered + c, branches + b, taken + t
        print(f"  {entry['file']:<62} lines {c:4}/{l:<4} branches {t:4}/{b:<4}")
        missed = [x["line_number"] for x in mine if x["count"] == 0]
        if missed:
            print(f"    lines not run: {missed}")
        counts = {x["line_number"]: x["count"] for x in mine}
        for number, text in enumerate(source, 1):
            if site.search(text) and not definition.search(text) and counts.get(number, 0) == 0:
                failed.append(f"{area}: raise/report site not reached: {entry['file']}:{number}: {text.strip()}")
    line_pct = 100.0 * covered / lines if lines else 0.0
    branch_pct = 100.0 * taken / branches if branches else 100.0
    print(f"  total: lines {line_pct:.1f} % ({covered}/{lines}), branches {branch_pct:.1f} % ({taken}/{branches})")
    if line_pct < line_gate:
        failed.append(f"{area}: line coverage {line_pct:.1f} % is below {line_gate} %")
    if branch_gate is not None and branch_pct < branch_gate:
        failed.append(f"{area}: branch coverage {branch_pct:.1f} % is below {branch_gate} %")

for message in failed:
    print("FAIL", message)
print("coverage gates:", "FAILED" if failed else "passed")
sys.exit(1 if failed else 0)
