"""The counting checks the tool tests share: each failure is printed, and the
test ends with the counts and a non-zero exit when anything failed."""
import sys

_counts = {"passed": 0, "failed": 0}


def check(name, condition, detail=""):
    if condition:
        _counts["passed"] += 1
    else:
        _counts["failed"] += 1
        print(f"FAILED: {name} {detail}".rstrip())


def finish():
    print(f"{_counts['passed']} passed, {_counts['failed']} failed")
    sys.exit(1 if _counts["failed"] else 0)
