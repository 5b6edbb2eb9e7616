"""Reads `qhcal ics` back with a real iCalendar parser and checks what a
calendar program would see: the events, their start times and their UIDs.

Usage: check_ics.py PATH_TO_QHCAL
"""

import datetime
import subprocess
import sys

try:
    import icalendar
except ImportError:
    sys.exit("check_ics: the icalendar module is missing for " + sys.executable +
             " (Debian package python3-icalendar; tools/install-deps.sh installs it)")

QHCAL = sys.argv[1]
UTC = datetime.timezone.utc
BEIJING = datetime.timedelta(hours=8)
checks = 0
failures = []


def check(condition, message):
    global checks
    checks += 1
    if not condition:
        failures.append(message)


def run(*args):
    return subprocess.run([QHCAL, *args], capture_output=True, timeout=120)


def ics(*args):
    result = run("ics", *args)
    if result.returncode != 0:
        sys.exit("check_ics: qhcal ics %s failed: %s" % (" ".join(args), result.stderr.decode("utf-8", "replace")))
    return result.stdout


def lines_of(*args):
    result = run(*args)
    if result.returncode != 0:
        sys.exit("check_ics: qhcal %s failed" % " ".join(args))
    return [line.split("\t") for line in result.stdout.decode("utf-8").splitlines()]


def check_raw(data, what):
    """Line ends, line lengths and encoding as written, before any parser."""
    check(data.endswith(b"\r\n"), what + ": ends without CRLF")
    lines = data[:-2].split(b"\r\n")
    check(all(b"\n" not in line and b"\r" not in line for line in lines), what + ": a bare CR or LF")
    long_lines = [line for line in lines if len(line) > 75]
    check(not long_lines, what + ": %d lines longer than 75 octets" % len(long_lines))
    # A fold inside a multi-byte character leaves invalid UTF-8 behind.
    try:
        data.decode("utf-8")
        error = None
    except UnicodeDecodeError as e:
        error = str(e)
    check(error is None, "%s: not UTF-8 as written: %s" % (what, error))
    return lines


def parse(data, what):
    try:
        calendar = icalendar.Calendar.from_ical(data.decode("utf-8"))
    except Exception as e:  # the parser's own complaint is the finding
        sys.exit("check_ics: %s does not parse: %r" % (what, e))
    for component in calendar.walk():
        check(not getattr(component, "errors", None), "%s: parser errors %s" % (what, component.errors))
    return calendar


def utc(value):
    check(isinstance(value, datetime.datetime) and value.tzinfo is not None
          and value.utcoffset() == datetime.timedelta(0), "not a UTC date-time: %r" % (value,))
    return value.replace(tzinfo=UTC) if isinstance(value, datetime.datetime) else None


def events_by_uid(calendar, what):
    events = {}
    for event in calendar.walk("VEVENT"):
        uid = str(event["UID"])
        check(uid not in events, what + ": UID twice: " + uid)
        check(uid.isascii() and uid.endswith("@qinghe-calendar"), what + ": odd UID " + uid)
        check("DTSTAMP" in event, what + ": no DTSTAMP in " + uid)
        events[uid] = event
    return events


# --- 2026, everything: the year the issue asks about ---
data = ics("2026", "2026", "--terms", "--festivals")
raw_lines = check_raw(data, "2026")
check(any(line.startswith(b" ") for line in raw_lines), "2026: no folded line, so folding went untested")
calendar = parse(data, "2026")
check(str(calendar["VERSION"]) == "2.0", "VERSION")
check(str(calendar["CALSCALE"]) == "GREGORIAN", "CALSCALE")
check("PRODID" in calendar, "PRODID")
check(str(calendar["X-WR-CALNAME"]) == "青禾万年历 节气与节日", "X-WR-CALNAME: " + str(calendar["X-WR-CALNAME"]))
check(str(calendar["X-WR-CALDESC"]) ==
      "青禾万年历导出的 2026 至 2026 年二十四节气（交节时刻，北京时间换算为 UTC 记录）与传统节日及公历节日（全天）",
      "X-WR-CALDESC did not survive folding: " + str(calendar["X-WR-CALDESC"]))
events = events_by_uid(calendar, "2026")

terms = lines_of("terms", "2026")
festivals = lines_of("festivals", "2026")
check(len(terms) == 24 and len(festivals) == 16, "qhcal terms/festivals 2026 gave %d/%d lines" % (len(terms), len(festivals)))
check(len(events) == len(terms) + len(festivals), "2026: %d events" % len(events))

for number, name, beijing in terms:
    uid = "term-2026-%02d@qinghe-calendar" % int(number)
    event = events.get(uid)
    check(event is not None, "missing " + uid)
    if event is None:
        continue
    start = utc(event.decoded("DTSTART"))
    expected = datetime.datetime.strptime(beijing, "%Y-%m-%d %H:%M:%S").replace(tzinfo=UTC) - BEIJING
    check(start == expected, "%s %s starts %s, expected %s" % (uid, name, start, expected))
    check(utc(event.decoded("DTEND")) == start, uid + ": not an instant")
    check(str(event["SUMMARY"]) == name, uid + ": SUMMARY " + str(event["SUMMARY"]))
    check(str(event["DESCRIPTION"]) == "北京时间 " + beijing, uid + ": DESCRIPTION " + str(event["DESCRIPTION"]))

all_day = {}
for event in events.values():
    start = event.decoded("DTSTART")
    if isinstance(start, datetime.datetime):
        continue
    check(event.decoded("DTEND") == start + datetime.timedelta(days=1), str(event["UID"]) + ": not one whole day")
    all_day[str(event["SUMMARY"])] = start
listed = {name: datetime.date.fromisoformat(day) for day, name, _ in festivals}
check(all_day == listed, "festival days differ from qhcal festivals 2026: %s" % all_day)
for name, day in [("春节", "2026-02-17"), ("除夕", "2026-02-16"), ("中秋节", "2026-09-25"),
                  ("端午节", "2026-06-19"), ("清明节", "2026-04-05"), ("冬至", "2026-12-22")]:
    check(all_day.get(name) == datetime.date.fromisoformat(day), "%s on %s, expected %s" % (name, all_day.get(name), day))
check(str(events["festival-lunar2025-chuxi@qinghe-calendar"]["SUMMARY"]) == "除夕", "除夕 UID")
check(str(events["festival-lunar2026-chunjie@qinghe-calendar"]["SUMMARY"]) == "春节", "春节 UID")

# --- stable UIDs: a second run, and a wider range, name the same events alike ---
check(ics("2026", "2026", "--terms", "--festivals") == data, "a second run gave other bytes")
wider = events_by_uid(parse(ics("2025", "2027"), "2025-2027"), "2025-2027")
wider_festivals = sum(len(lines_of("festivals", year)) for year in ("2025", "2026", "2027"))
check(len(wider) == 3 * 24 + wider_festivals, "2025-2027: %d events" % len(wider))
for uid, event in events.items():
    other = wider.get(uid)
    check(other is not None and other.decoded("DTSTART") == event.decoded("DTSTART"),
          uid + " differs when exported with its neighbours")

# --- a known moment: 立春 2011 at 12:32:52 Beijing time ---
only_terms = parse(ics("2011", "2011", "--terms"), "2011")
events_2011 = events_by_uid(only_terms, "2011")
check(len(events_2011) == 24, "2011: %d events" % len(events_2011))
lichun = events_2011.get("term-2011-03@qinghe-calendar")
check(lichun is not None and str(lichun["SUMMARY"]) == "立春"
      and utc(lichun.decoded("DTSTART")) == datetime.datetime(2011, 2, 4, 4, 32, 52, tzinfo=UTC), "立春 2011")

# --- the edges of the ranges ---
edges = parse(ics("1880", "2079", "--terms"), "1880-2079")
check(len(list(edges.walk("VEVENT"))) == 24 * 200, "1880-2079 terms")
whole = ics("1902", "2048", "--festivals")
check_raw(whole, "1902-2048")
check(len(events_by_uid(parse(whole, "1902-2048"), "1902-2048")) >= 16 * 147, "1902-2048 festivals")
for args in (["2049", "2049", "--festivals"], ["1901", "1901"], ["1879", "1880", "--terms"], ["2027", "2026"]):
    result = run("ics", *args)
    check(result.returncode == 2 and result.stdout == b"" and result.stderr.strip() != b"",
          "qhcal ics %s: status %d" % (" ".join(args), result.returncode))

for failure in failures:
    print("FAILED: " + failure)
print("check_ics: %d checks, %d failed" % (checks, len(failures)))
sys.exit(1 if failures else 0)
