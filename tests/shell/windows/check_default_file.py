"""Checks a freshly written data file against the 17 default lines: Windows-1252, CR LF,
German dates (the user's locale in the test). Usage: check_default_file.py FILE"""
import re
import sys

DATE = r"\d{1,2}\.\d{1,2}\.\d{4}"
EXPECTED = [
    "Diese Datei nicht \u00e4ndern!!!  Tavlor-Timestamp: " + DATE + r" \d{1,2}:\d{2}(:\d{2})?",
    "", r"\[data\]", "oTA=0:0:0", "oTD=0:0:0", "SD=" + DATE, "TYP=0", "RD=" + DATE, "Tup=0",
    "TDown=0", "onLAN=0", "BIn=0", "BOut=1", "MINI=0", "BEENDEN=0", "Y=0", "X=0",
]


def problems(raw):
    if not raw.endswith(b"\r\n"):
        yield "the last line has no CR LF"
    if raw.count(b"\n") != raw.count(b"\r\n"):
        yield "a line ends without CR"
    if b"\xc3\xa4" in raw or b"\xe4" not in raw:
        yield "the header's \u00e4 is not the one Windows-1252 byte"
    lines = raw.decode("cp1252").split("\r\n")[:-1]
    if len(lines) != len(EXPECTED):
        yield f"{len(lines)} lines instead of {len(EXPECTED)}"
    for number, (line, pattern) in enumerate(zip(lines, EXPECTED), start=1):
        if not re.fullmatch(pattern, line):
            yield f"line {number} reads {line!r}"


if __name__ == "__main__":
    found = list(problems(open(sys.argv[1], "rb").read()))
    for problem in found:
        print("data file: " + problem)
    sys.exit(1 if found else 0)
