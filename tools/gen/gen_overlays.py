#!/usr/bin/python3
"""Expands the rule words of a standard overlay's source into events that `kvtool overlay compile`
understands, for the days the rule kinds cannot describe on their own.

A holiday is written once, on its own date, with one of these words added to its event line:

  observed=nearest     the day off moves from a Saturday to the Friday before, from a Sunday to the
                       Monday after (United States)
  observed=monday      the day off moves from a weekend to the Monday after, or to the next weekday
                       after it that is not already a day off (United Kingdom, Canada: so Christmas
                       Day and Boxing Day on a weekend give 27 and 28 December)
  observed_from=YEAR   the first year in which the day off moves (default: the holiday's first year)
  observed_region=NAME a regional holiday: its day off also gives way to the nation's days off (the
                       2 January holiday of Scotland moves to 3 January when 2 January is the day off
                       for a Sunday New Year's Day); the nation's holidays never give way to it
  on_pentecost=DAYS    in the years when the event's date is Pentecost, it falls DAYS later instead

Holidays with observed words must be kind=annual. For every year of FIRST_YEAR ... LAST_YEAR in
which the day off moves, an entry "<name> (observed)" is added on the substitute day, with the
holiday's listing position and accent. Weekdays repeat every 28 years in 1901-03-01 ... 2100-02-28,
so a substitute day that recurs 28 years later becomes one every-n-years event with n=28 and a date
range over its run; the others are single dates. An on_pentecost event becomes one event with a date
range per run of ordinary years and a single date for each year it moves; outside FIRST_YEAR ...
LAST_YEAR its plain rule applies.

Lines without these words pass through unchanged.

Usage: gen_overlays.py SOURCE.kovtxt OUT.kovtxt     exit 1 with FILE:LINE: reason on a bad line
"""
import datetime
import sys

FIRST_YEAR, LAST_YEAR = 1990, 2100
CYCLE = 28
OBSERVED_TEXT = "%s (observed)"
DESCRIPTION_MAX = 119
WEEKDAYS = ["sun", "mon", "tue", "wed", "thu", "fri", "sat"]
# What an observed entry copies from its holiday: its place in a day's list and its accent.
COPIED = {"above", "below", "time", "sametime", "highlight", "icon", "pattern", "pattern_colour", "text_colour",
          "accent_flags", "nogifts"}
GENERATOR_WORDS = {"observed", "observed_from", "observed_region", "on_pentecost"}
DAY = datetime.timedelta(days=1)


class SourceError(Exception):
    pass


def tokenize(text):
    """Splits a statement into raw words, keeping quoted texts (with their escapes) whole."""
    words, i = [], 0
    while i < len(text):
        if text[i] in " \t\r":
            i += 1
            continue
        start, quoted = i, False
        while i < len(text) and (quoted or text[i] not in " \t\r"):
            if text[i] == "\\" and quoted:
                i += 1
            elif text[i] == '"':
                quoted = not quoted
            i += 1
        if quoted:
            raise SourceError("text without its closing quote")
        words.append(text[start:i])
    return words


def unquote(word):
    out, i = [], 1
    while i < len(word) - 1:
        if word[i] == "\\":
            i += 1
            if word[i] not in '"\\':
                raise SourceError("a holiday's name may use only the escapes \\\" and \\\\")
        out.append(word[i])
        i += 1
    return "".join(out)


def quote(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def number(fields, key, default=None):
    if key not in fields:
        if default is None:
            raise SourceError(f"{key}= is needed")
        return default
    try:
        return int(fields[key])
    except ValueError:
        raise SourceError(f"{key}={fields[key]} is not a number") from None


def year_range(fields):
    """The years in which the event's rule holds: from its year, to its range end."""
    first = number(fields, "year", 0) if "range_end" in fields else 0
    last = int(fields["range_end"].split("/")[0]) if "range_end" in fields else 9999
    return first, last


def easter(y):
    a, b, c = y % 19, y // 100, y % 100
    d, e = b // 4, b % 4
    g = (8 * b + 13) // 25
    h = (19 * a + b - d - g + 15) % 30
    j, k = c // 4, c % 4
    m = (a + 11 * h) // 319
    r = (2 * e + 2 * j - k - h + m + 32) % 7
    n = (h - m + r + 90) // 25
    return datetime.date(y, n, (h - m + r + n + 19) % 32)


def weekday(d):  # 0 = Sunday, as the overlay files count
    return (d.weekday() + 1) % 7


def is_weekend(d):
    return d.weekday() >= 5


def rule_date(fields, y):
    """The date of a Gregorian yearly rule in year y."""
    kind = fields.get("kind")
    month, day = number(fields, "month"), number(fields, "day")
    if not 1 <= month <= 12:
        raise SourceError(f"month={month} is not a month")
    if kind == "annual":
        return datetime.date(y, month, day)
    want = WEEKDAYS.index(fields.get("weekday", "")) if fields.get("weekday") in WEEKDAYS else None
    if want is None:
        raise SourceError(f"kind={kind} needs weekday=")
    if kind == "last-weekday":
        start = (datetime.date(y + month // 12, month % 12 + 1, 1) - 7 * DAY)
    elif kind in ("nth-weekday", "floating"):
        start = datetime.date(y, month, day)
    else:
        raise SourceError(f"on_pentecost= cannot be used with kind={kind}")
    return start + ((want - weekday(start)) % 7) * DAY


class Holiday:
    def __init__(self, fields, words):
        self.name = unquote(words[1]) if len(words) > 1 and words[1].startswith('"') else ""
        if fields.get("kind") != "annual":
            raise SourceError("observed= needs kind=annual (a holiday on a fixed date)")
        self.month, self.day = number(fields, "month"), number(fields, "day")
        try:
            datetime.date(2001, self.month, self.day)  # not 29 February: the day must exist every year
        except ValueError:
            raise SourceError(f"month={self.month} day={self.day} is not a date of every year") from None
        self.rule = fields["observed"]
        if self.rule not in ("nearest", "monday"):
            raise SourceError(f"observed={self.rule}: the rules are nearest and monday")
        first, self.last = year_range(fields)
        self.first = max(first, number(fields, "observed_from", first))
        self.region = fields.get("observed_region", "")
        self.copied = [w for w in words[2:] if w.split("=", 1)[0] in COPIED]
        if len(OBSERVED_TEXT % self.name) > DESCRIPTION_MAX:
            raise SourceError("the observed entry's text would be longer than 119 characters")

    def own(self, y):
        return datetime.date(y, self.month, self.day) if self.first <= y <= self.last else None


def days_off(holidays):
    """{holiday: set of substitute days} over FIRST_YEAR ... LAST_YEAR. Each year the nation's days
    off are settled first, then each region's with the nation's already taken."""
    out = {h: set() for h in holidays}
    regions = sorted({h.region for h in holidays if h.region})
    for y in range(FIRST_YEAR - 1, LAST_YEAR + 2):  # New Year's Day can move into the year before
        national_off = set()
        for region in [""] + regions:
            group = sorted((h for h in holidays if h.region == region and h.own(y)), key=lambda h: h.own(y))
            given = set() if not region else set(national_off)
            taken = given | {h.own(y) for h in group if not is_weekend(h.own(y))}
            for h in group:
                d = h.own(y)
                if not is_weekend(d) and d not in given:
                    continue
                step = -DAY if h.rule == "nearest" and d.weekday() == 5 else DAY
                d += step
                while is_weekend(d) or d in taken:
                    d += step
                taken.add(d)
                if FIRST_YEAR <= d.year <= LAST_YEAR:
                    out[h].add(d)
            if not region:
                national_off = taken
    return out


def runs(dates):
    """Splits dates into runs of the same month and day every CYCLE years."""
    by_key = {}
    for d in sorted(dates):
        by_key.setdefault((d.month, d.day, d.year % CYCLE), []).append(d)
    out = []
    for group in by_key.values():
        run = [group[0]]
        for d in group[1:]:
            if d.year - run[-1].year == CYCLE:
                run.append(d)
            else:
                out.append(run)
                run = [d]
        out.append(run)
    return sorted(out, key=lambda r: (r[0].month, r[0].day, r[0].year))


def observed_events(h, dates):
    text = quote(OBSERVED_TEXT % h.name)
    tail = (" " + " ".join(h.copied)) if h.copied else ""
    lines = []
    for run in runs(dates):
        d, e = run[0], run[-1]
        if len(run) == 1:
            lines.append(f"event {text} kind=once year={d.year} month={d.month} day={d.day}{tail}")
        else:
            lines.append(f"event {text} kind=every-n-years year={d.year} month={d.month} day={d.day} n={CYCLE} "
                         f"range_end={e.year}/{e.month}/{e.day}{tail}")
    return lines


def pentecost_events(fields, words, shift):
    """The event as ranges over its ordinary years and single dates for the years it moves."""
    if len(words) < 2 or not words[1].startswith('"'):
        raise SourceError("on_pentecost= needs the event's text first")
    first, last = year_range(fields)
    plain = [w for w in words if w.split("=", 1)[0] not in GENERATOR_WORDS | {"year", "range_end"}]
    single = [w for w in plain[2:] if w.split("=", 1)[0] in COPIED]
    moved = [y for y in range(max(first, FIRST_YEAR), min(last, LAST_YEAR) + 1)
             if rule_date(fields, y) == easter(y) + 49 * DAY]
    lines, start = [], first
    for y in moved + [None]:
        end = last if y is None else y - 1
        if start <= end:
            # A rule without a first year leaves year 0: its first range has no real start.
            since = [f"year={start}"] if start else []
            lines.append(" ".join(plain[:2] + plain[2:3] + since + plain[3:]) + f" range_end={end}/12/31")
        if y is not None:
            d = rule_date(fields, y) + shift * DAY
            lines.append(" ".join(plain[:2] + ["kind=once", f"year={y}", f"month={d.month}", f"day={d.day}"] + single))
            start = y + 1
    return lines


def statements(lines):
    """(first line number, list of source lines) per statement; comments and blank lines alone."""
    out = []
    for n, text in enumerate(lines, 1):
        stripped = text.lstrip(" \t\r")
        if stripped and not stripped.startswith("#") and text[0] in " \t" and out and out[-1][2]:
            out[-1][1].append(text)
        else:
            out.append((n, [text], bool(stripped) and not stripped.startswith("#")))
    return [(n, ls) for n, ls, _ in out]


def expand(source_lines):
    out, holidays, after = [], [], {}
    for line, texts in statements(source_lines):
        try:
            words = tokenize(" ".join(t.strip() for t in texts))
        except SourceError as e:
            raise SourceError(f"line {line}: {e}") from None
        fields = {}
        for w in words[1:]:
            if "=" in w and not w.startswith('"'):
                k, v = w.split("=", 1)
                fields[k] = v
        if not words or words[0] != "event" or not GENERATOR_WORDS & set(fields):
            out.extend(texts)
            continue
        try:
            if "on_pentecost" in fields:
                if GENERATOR_WORDS - {"on_pentecost"} & set(fields):
                    raise SourceError("on_pentecost= and observed= cannot be used together")
                out.extend(pentecost_events(fields, words, number(fields, "on_pentecost")))
                continue
            if "observed" not in fields:
                raise SourceError("observed_from= and observed_region= need observed=")
            h = Holiday(fields, words)
        except (SourceError, ValueError) as e:  # ValueError: a date or year that does not exist
            raise SourceError(f"line {line}: {e}") from None
        holidays.append(h)
        out.append(" ".join(w for w in words if w.split("=", 1)[0] not in GENERATOR_WORDS))
        after[h] = len(out)
    off = days_off(holidays)
    # The observed entries go right after their holiday's line.
    for h in sorted(holidays, key=lambda h: -after[h]):
        out[after[h]:after[h]] = observed_events(h, off[h])
    return out


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    try:
        with open(argv[1], encoding="utf-8") as f:
            source = f.read().split("\n")
        result = expand(source)
    except (OSError, UnicodeDecodeError) as e:
        print(f"gen_overlays.py: {argv[1]}: {e}", file=sys.stderr)
        return 1
    except SourceError as e:
        print(f"gen_overlays.py: {argv[1]}: {e}", file=sys.stderr)
        return 1
    with open(argv[2], "w", encoding="utf-8", newline="\n") as f:
        f.write("# Generated by tools/gen/gen_overlays.py from " + argv[1].replace("\\", "/").split("/")[-1] + "\n")
        f.write("\n".join(result))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
