#!/usr/bin/python3
"""Checks the standard overlays against independent sources from Debian, and their days off
against the countries' published rules.

  USA, Canada, UK, France: python3-holidays over 2000-2040 (holidays.US, holidays.CA with no
                           province, holidays.UK, holidays.FRA): every holiday of the library
                           shows on its own date, every "(Observed)" day of the library carries an
                           entry with "observed" in its text (by name: "<holiday> (observed)").
                           Over 1990-2100, the days off as the rules below state them, every
                           holiday with a day off on its own date every year, each "(observed)"
                           entry highlighted as its holiday, and Fete des meres by its decree.
  Christian:               Easter from python3-dateutil; fixed feasts and Advent computed here.
  Jewish:                  hdate (diaspora holidays), and Rosh Chodesh from hdate's Hebrew dates.

The days on which each event shows come from `kvtool occurrences`, exactly as the calendar
shows them. Every difference is printed; the check fails when a difference is not one of the
known ones listed below with its reason.

Usage: check_overlays.py DATA_DIR KVTOOL [RUNNER...]
"""
import collections
import datetime
import json
import re
import subprocess
import sys

import holidays
from dateutil.easter import easter

FIRST, LAST = 2000, 2040  # the span compared with the libraries
RULE_FIRST, RULE_LAST = 1990, 2100  # the span over which the overlays spell out the days off
data_dir = sys.argv[1]
kvtool = sys.argv[3:] + [sys.argv[2]]
OLD = "python3-holidays 0.10 predates it"

# Differences that are understood, per overlay and event name, with the reason.
KNOWN = {
    "USA_HDAY.DAT": {
        "Juneteenth National Independence Day": "a federal holiday since 2021; " + OLD,
        "Juneteenth National Independence Day (observed)": "a federal holiday since 2021; " + OLD,
    },
    "CAN_HDAY.DAT": {
        "New Year's Day (observed)": "federal practice moves a Saturday New Year's Day to Monday 3 January; "
                                     "python3-holidays 0.10 copies the US rule (Friday 31 December)",
        "Christmas Day (observed)": "federal practice: 27 December when Christmas falls on a weekend; "
                                    "python3-holidays 0.10 uses Friday 24 / Monday 26",
        "Boxing Day": "python3-holidays 0.10 drops Boxing Day itself when it is observed on another day",
        "Boxing Day (observed)": "federal practice: 28 December when Boxing Day falls on a weekend; "
                                 "python3-holidays 0.10 moves it to the next Monday or Tuesday",
        "Remembrance Day (observed)": "the federal day off moves to Monday; python3-holidays 0.10 moves it "
                                      "only for some provinces",
        "National Day for Truth and Reconciliation": "a federal holiday since 2021; " + OLD,
        "National Day for Truth and Reconciliation (observed)": "a federal holiday since 2021; " + OLD,
    },
    "GBR_HDAY.DAT": {
        "Spring Bank Holiday": "moved to 4 June in 2002 (Golden Jubilee) and 2 June in 2022 (Platinum Jubilee); "
                               "python3-holidays 0.10 keeps 27 May 2002 and predates 2022",
        "Platinum Jubilee of Elizabeth II": "2022; " + OLD,
        "State Funeral of Queen Elizabeth II": "2022; " + OLD,
        "Coronation of King Charles III": "2023; " + OLD,
        "Battle of the Boyne (N. Ireland) (observed)": "Northern Ireland's day off moves to Monday; "
                                                       "python3-holidays 0.10 does not move it",
        "St. Andrew's Day (Scotland) (observed)": "a bank holiday moving to Monday since 2007; "
                                                  "python3-holidays 0.10 does not move it",
    },
    "FRA_HDAY.DAT": {},
    "CHRSTIAN.DAT": {},
    "JEWISH.DAT": {},
}

# The days off as the countries publish them: weekday of the holiday (Monday = 0) -> days to the
# day off. US: 5 U.S.C. 6103(b); Canada: the federal public service; UK: the bank holiday lists.
US = {5: -1, 6: 1}
MONDAY = {5: 2, 6: 1}
ON_27TH = {5: 2, 6: 2}  # Christmas Day: 27 December; Boxing Day: 28 December
SCOTLAND_2ND = {5: 2, 6: 2, 0: 1}  # 2 January: also moves when it is New Year's Day's Monday
RULES = {  # overlay: (holiday, month, day, first year, rule, first year of the rule)
    "USA_HDAY.DAT": [("New Year's Day", 1, 1, 0, US, 0),
                     ("Juneteenth National Independence Day", 6, 19, 2021, US, 2021),
                     ("Independence Day", 7, 4, 0, US, 0), ("Veterans Day", 11, 11, 1978, US, 1978),
                     ("Christmas Day", 12, 25, 0, US, 0)],
    "CAN_HDAY.DAT": [("New Year's Day", 1, 1, 0, MONDAY, 0), ("Canada Day", 7, 1, 0, MONDAY, 0),
                     ("National Day for Truth and Reconciliation", 9, 30, 2021, MONDAY, 2021),
                     ("Remembrance Day", 11, 11, 0, MONDAY, 0), ("Christmas Day", 12, 25, 0, ON_27TH, 0),
                     ("Boxing Day", 12, 26, 0, ON_27TH, 0)],
    "GBR_HDAY.DAT": [("New Year's Day", 1, 1, 1974, MONDAY, 1974),
                     ("New Year Holiday (Scotland)", 1, 2, 0, SCOTLAND_2ND, 0),
                     ("St. Patrick's Day (N. Ireland)", 3, 17, 0, MONDAY, 0),
                     ("Battle of the Boyne (N. Ireland)", 7, 12, 0, MONDAY, 0),
                     ("St. Andrew's Day (Scotland)", 11, 30, 0, MONDAY, 2007),
                     ("Christmas Day", 12, 25, 0, ON_27TH, 0), ("Boxing Day", 12, 26, 0, ON_27TH, 0)],
    "FRA_HDAY.DAT": [],
}

failures = 0


def fail(text):
    global failures
    failures += 1
    print("  UNEXPECTED: " + text)


def show(ds):
    ds = sorted(ds)
    return f"{len(ds)} [" + ", ".join(d.isoformat() for d in ds[:6]) + (" ..." if len(ds) > 6 else "") + "]"


def occurrences(dat, first=FIRST, last=LAST):
    out = subprocess.run(kvtool + ["occurrences", "--from", f"{first}-01-01", "--to", f"{last}-12-31",
                                   f"{data_dir}/{dat}"], check=True, capture_output=True, text=True).stdout
    days = collections.defaultdict(set)
    for o in json.loads(out)["occurrences"]:
        days[o["text"]].add(datetime.date.fromisoformat(o["date"]))
    return days


def highlights(dat):
    out = subprocess.run(kvtool + ["overlay", "dump", f"{data_dir}/{dat}"], check=True, capture_output=True,
                         text=True).stdout
    marks = collections.defaultdict(set)
    for e in json.loads(out)["events"]:
        marks[e["text"]].add(e["accent"]["highlight"])
    return marks


def compare(dat, ours, reference):
    """ours, reference: {name: set of dates} for the names the reference knows."""
    global failures
    known = KNOWN[dat]
    print(f"{dat}:")
    same = 0
    for name in sorted(set(reference) | set(k for k in known if k in ours)):
        got, want = ours.get(name, set()), reference.get(name, set())
        only_ours, only_ref = sorted(got - want), sorted(want - got)
        same += len(got & want)
        if not only_ours and not only_ref:
            continue
        why = known.get(name)
        mark = "known" if why else "UNEXPECTED"
        if not why:
            failures += 1
        print(f"  {mark}: {name}: only in the overlay {show(only_ours)}, only in the reference {show(only_ref)}")
        if why:
            print(f"         why: {why}")
    print(f"  {same} days agree")


def from_holidays(h, names):
    """Reference days per overlay name from a python3-holidays calendar: each holiday on its own
    date, and its "(Observed)" days under "<overlay name> (observed)". Also every observed date."""
    ref = collections.defaultdict(set)
    observed_dates = {}
    # Two holidays on one day come joined by ", ".
    for d, n in h.items():
        if not FIRST <= d.year <= LAST:
            continue
        for part in n.split(", "):
            base = part[: -len(" (Observed)")] if part.endswith(" (Observed)") else part
            if base not in names:
                continue
            if base != part:
                ref[names[base] + " (observed)"].add(d)
                observed_dates[d] = names[base] + " (observed)"
            else:
                ref[names[base]].add(d)
    return ref, observed_dates


def check_country(dat, h, names, ours=None):
    ours = ours if ours is not None else occurrences(dat)
    ref, observed_dates = from_holidays(h, names)
    compare(dat, {k: v for k, v in ours.items() if k in ref or k in KNOWN[dat]}, ref)
    # Whatever its name, the library's day off must carry an entry marked observed.
    marked = {d for text, ds in ours.items() if "observed" in text for d in ds}
    for d, name in sorted(observed_dates.items()):
        if d not in marked and name not in KNOWN[dat]:
            fail(f"{d}: the library's day off for {name[: -len(' (observed)')]} has no observed entry")


def check_rules(dat):
    """The days off over RULE_FIRST ... RULE_LAST as the country's rule states them."""
    ours = occurrences(dat, RULE_FIRST, RULE_LAST)
    marks = highlights(dat)
    span = lambda d: RULE_FIRST <= d.year <= RULE_LAST
    ruled = set()
    for name, month, day, since, rule, rule_since in RULES[dat]:
        own, off = set(), set()
        for y in range(max(since, RULE_FIRST - 1), RULE_LAST + 2):
            d = datetime.date(y, month, day)
            own.add(d)
            if y >= rule_since and d.weekday() in rule:
                off.add(d + datetime.timedelta(days=rule[d.weekday()]))
        own, off = {d for d in own if span(d)}, {d for d in off if span(d)}
        obs = name + " (observed)"
        ruled.add(obs)
        if ours.get(name, set()) != own:
            fail(f"{name}: not on its own date {show(own - ours.get(name, set()))}, "
                 f"on other dates {show(ours.get(name, set()) - own)}")
        if ours.get(obs, set()) != off:
            fail(f"{obs}: missing {show(off - ours.get(obs, set()))}, extra {show(ours.get(obs, set()) - off)}")
        if marks.get(obs, set()) != marks.get(name, set()):
            fail(f"{obs}: highlight {sorted(marks.get(obs, set()))}, its holiday's {sorted(marks.get(name, set()))}")
        if any(d.weekday() >= 5 for d in ours.get(obs, set())):
            fail(f"{obs}: a day off on a weekend")
    for text in ours:
        if "observed" in text and text not in ruled:
            fail(f"{text}: an observed entry without its rule in this check")
    print(f"  {dat}: the days off of {len(RULES[dat])} holidays follow their rule in {RULE_FIRST}-{RULE_LAST}")


years = range(FIRST - 1, LAST + 2)
us_names = {"New Year's Day": "New Year's Day", "Martin Luther King, Jr. Day": "Martin Luther King Jr. Day",
            "Washington's Birthday": "Washington's Birthday", "Memorial Day": "Memorial Day",
            "Independence Day": "Independence Day", "Labor Day": "Labor Day", "Columbus Day": "Columbus Day",
            "Veterans Day": "Veterans Day", "Thanksgiving": "Thanksgiving Day", "Christmas Day": "Christmas Day"}
check_country("USA_HDAY.DAT", holidays.US(years=years), us_names)

ca_names = {"New Year's Day": "New Year's Day", "Good Friday": "Good Friday", "Victoria Day": "Victoria Day",
            "Canada Day": "Canada Day", "Labour Day": "Labour Day", "Thanksgiving": "Thanksgiving Day",
            "Remembrance Day": "Remembrance Day", "Christmas Day": "Christmas Day", "Boxing Day": "Boxing Day"}
check_country("CAN_HDAY.DAT", holidays.CA(prov=None, years=years), ca_names)

uk_names = {"New Year's Day": "New Year's Day", "New Year Holiday [Scotland]": "New Year Holiday (Scotland)",
            "St. Patrick's Day [Northern Ireland]": "St. Patrick's Day (N. Ireland)", "Good Friday": "Good Friday",
            "Easter Monday [England, Wales, Northern Ireland]": "Easter Monday (England, Wales, N. Ireland)",
            "May Day": "Early May Bank Holiday", "Spring Bank Holiday": "Spring Bank Holiday",
            "Battle of the Boyne [Northern Ireland]": "Battle of the Boyne (N. Ireland)",
            "Summer Bank Holiday [Scotland]": "Summer Bank Holiday (Scotland)",
            "Late Summer Bank Holiday [England, Wales, Northern Ireland]": "Summer Bank Holiday (England, Wales, N. Ireland)",
            "St. Andrew's Day [Scotland]": "St. Andrew's Day (Scotland)", "Christmas Day": "Christmas Day",
            "Boxing Day": "Boxing Day", "Golden Jubilee of Elizabeth II": "Golden Jubilee of Elizabeth II",
            "Wedding of William and Catherine": "Wedding of Prince William and Catherine Middleton",
            "Diamond Jubilee of Elizabeth II": "Diamond Jubilee of Elizabeth II",
            "Millennium Celebrations": "Millennium Celebrations"}
uk_ours = occurrences("GBR_HDAY.DAT")
# The VE Day moves of the early May bank holiday carry their own name in the overlay.
uk_ours["Early May Bank Holiday"] |= uk_ours.pop("Early May Bank Holiday (VE Day)", set())
check_country("GBR_HDAY.DAT", holidays.UK(years=years), uk_names, uk_ours)

fr_names = {"Jour de l'an": "Jour de l'An", "Fête du Travail": "Fête du Travail", "Armistice 1945": "Victoire 1945",
            "Fête nationale": "Fête nationale", "Armistice 1918": "Armistice 1918", "Lundi de Pâques": "Lundi de Pâques",
            "Lundi de Pentecôte": "Lundi de Pentecôte", "Ascension": "Ascension", "Assomption": "Assomption",
            "Toussaint": "Toussaint", "Noël": "Noël"}
check_country("FRA_HDAY.DAT", holidays.FRA(years=years), fr_names)

print(f"Days off, {RULE_FIRST}-{RULE_LAST}:")
for dat in RULES:
    check_rules(dat)
# Fete des meres: the last Sunday of May, or the first Sunday of June when that is Pentecost.
want = set()
for y in range(RULE_FIRST, RULE_LAST + 1):
    d = datetime.date(y, 5, 31) - datetime.timedelta(days=(datetime.date(y, 5, 31).weekday() + 1) % 7)
    want.add(d + datetime.timedelta(days=7) if d == easter(y) + datetime.timedelta(days=49) else d)
got = occurrences("FRA_HDAY.DAT", RULE_FIRST, RULE_LAST).get("Fête des mères", set())
if got != want:
    fail(f"Fête des mères: missing {show(want - got)}, extra {show(got - want)}")
print(f"  FRA_HDAY.DAT: Fête des mères on its {len(want)} days")

# Christian: Easter from dateutil, fixed feasts, and the Sundays of Advent counted back from
# Christmas.
easter_offsets = {"Septuagesima": -63, "Shrove Tuesday": -47, "Ash Wednesday": -46, "Palm Sunday": -7,
                  "Maundy Thursday": -3, "Good Friday": -2, "Holy Saturday": -1, "Easter Sunday": 0,
                  "Easter Monday": 1, "Divine Mercy Sunday": 7, "Ascension Day": 39, "Pentecost": 49,
                  "Whit Monday": 50, "Trinity Sunday": 56, "Corpus Christi": 60}
fixed = {"Solemnity of Mary, Mother of God": (1, 1), "Epiphany": (1, 6), "Candlemas": (2, 2),
         "St. Joseph's Day": (3, 19), "Annunciation": (3, 25), "Nativity of St. John the Baptist": (6, 24),
         "Sts. Peter and Paul": (6, 29), "Transfiguration": (8, 6), "Assumption of Mary": (8, 15),
         "Michaelmas": (9, 29), "Reformation Day": (10, 31), "All Saints' Day": (11, 1), "All Souls' Day": (11, 2),
         "Immaculate Conception": (12, 8), "Christmas Eve": (12, 24), "Christmas Day": (12, 25),
         "St. Stephen's Day": (12, 26), "Holy Innocents": (12, 28)}
advent = {"Fourth Sunday of Advent": 0, "Third Sunday of Advent": 1, "Second Sunday of Advent": 2,
          "First Sunday of Advent": 3, "Christ the King": 4}
ref = collections.defaultdict(set)
for y in range(FIRST, LAST + 1):
    e = easter(y)
    for name, off in easter_offsets.items():
        ref[name].add(e + datetime.timedelta(days=off))
    for name, (m, d) in fixed.items():
        ref[name].add(datetime.date(y, m, d))
    christmas = datetime.date(y, 12, 25)
    fourth = christmas - datetime.timedelta(days=(christmas.weekday() + 1) % 7 or 7)
    for name, weeks in advent.items():
        ref[name].add(fourth - datetime.timedelta(weeks=weeks))
compare("CHRSTIAN.DAT", occurrences("CHRSTIAN.DAT"), ref)

# Jewish: hdate's diaspora holidays.
hdate_names = {"Rosh Hashana I": ["Rosh Hashanah"], "Rosh Hashana II": ["Rosh Hashanah"],
               "Tzom Gedaliah": ["Fast of Gedaliah"], "Erev Yom Kippur": ["Erev Yom Kippur"],
               "Yom Kippur": ["Yom Kippur"], "Sukkot": ["Sukkot"], "Sukkot II": ["Sukkot"],
               "Hol hamoed Sukkot": ["Sukkot"], "Hoshana raba": ["Sukkot", "Hoshana Rabbah"],
               "Shmini Atzeret": ["Shemini Atzeret"], "Simchat Torah": ["Simchat Torah"], "Chanukah": ["Chanukah"],
               "Asara B'Tevet": ["Fast of Tevet"], "Tu B'Shvat": ["Tu BiShvat"], "Ta'anit Esther": ["Fast of Esther"],
               "Purim": ["Purim"], "Shushan Purim": ["Shushan Purim"], "Pesach": ["Passover"],
               "Pesach II": ["Passover"], "Hol hamoed Pesach": ["Passover"], "Pesach VII": ["Passover"],
               "Pesach VIII": ["Passover"], "Lag B'Omer": ["Lag BaOmer"], "Yom Yerushalayim": ["Yom Yerushalayim"],
               "Erev Shavuot": ["Erev Shavuot"], "Shavuot": ["Shavuot"], "Shavuot II": ["Shavuot"], "Tzom Tammuz": ["Fast of Tammuz"],
               "Tish'a B'Av": ["Tisha B'Av"], "Tu B'Av": ["Tu B'Av"]}
day_line = re.compile(r"^\w+, (\d+) (\w+) (\d+), (\d+) ([A-Za-z' ]+?) (\d+)$")
gmonths = {datetime.date(2000, k, 1).strftime("%B"): k for k in range(1, 13)}
ref = collections.defaultdict(set)
unlisted = collections.Counter()
for y in range(FIRST, LAST + 1):
    out = subprocess.run(["hdate", "-q", "-h", "-d", str(y)], check=True, capture_output=True, text=True).stdout
    day = None
    for text in out.splitlines():
        text = text.strip()
        m = day_line.match(text)
        if m:
            gd, gm, gy, jd, jm, _ = m.groups()
            day = datetime.date(int(gy), gmonths[gm], int(gd))
            jd = int(jd)
            if (jd == 1 and jm != "Tishrei") or jd == 30:
                ref["Rosh Chodesh"].add(day)
            continue
        if day and text and not text.endswith(":"):
            for name in hdate_names.get(text, []):
                ref[name].add(day)
            if text not in hdate_names:
                unlisted[text] += 1
ours = occurrences("JEWISH.DAT")
compare("JEWISH.DAT", {k: v for k, v in ours.items() if k in ref}, ref)
print("  hdate days not in the Jewish overlay (Israeli civil days whose moves no rule kind expresses): " +
      ", ".join(sorted(unlisted)))
print("  in the overlay, not in hdate: " + ", ".join(sorted(set(ours) - set(ref))))

print("check_overlays: " + ("all differences are known" if not failures else f"{failures} unexpected difference(s)"))
sys.exit(1 if failures else 0)
