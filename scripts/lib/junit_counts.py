"""Prints "<passed> <failed> <skipped>" for the JUnit XML reports named on the
command line, as written by ctest, GoogleTest and pytest. A test case counts
as failed when it has a failure or error element, as skipped when it has a
skipped element or was not run (GoogleTest's disabled tests), and as passed
otherwise. A missing or unreadable report makes the exit status 1."""

import sys
import xml.etree.ElementTree as ElementTree


def counts(path):
    passed = failed = skipped = 0
    for case in ElementTree.parse(path).iter("testcase"):
        tags = {child.tag for child in case}
        if tags & {"failure", "error"}:
            failed += 1
        elif "skipped" in tags or case.get("status") in ("notrun", "disabled") \
                or case.get("result") in ("skipped", "suppressed"):
            skipped += 1
        else:
            passed += 1
    return passed, failed, skipped


def main(paths):
    total = [0, 0, 0]
    try:
        for path in paths:
            for index, value in enumerate(counts(path)):
                total[index] += value
    except (OSError, ElementTree.ParseError) as error:
        print(f"unreadable test report: {error}", file=sys.stderr)
        return 1
    print(*total)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
