#!/usr/bin/python3
"""Turns songs.txt (the hand-written list of the sample catalogue) into
songs.sql, the readable source the build compiles into the catalogue database.

    /usr/bin/python3 resources/catalogue/make_catalogue.py

The output is committed. It is deterministic: lengths, tempos, keys, file
names and markers are derived from a CRC of each row, so running the script
again on the same list gives the same file.
"""

import os
import sys
import unicodedata
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

CREATE = ("CREATE TABLE Songs(title varchar, artist varchar, genre varchar, author varchar, "
          "length integer, bpm integer, key varchar, filename varchar primary key, "
          "markers varchar, altartist varchar)")

# Keys as the catalogue writes them: " -" marks a minor key.
KEYS = ["C", "G", "D", "A", "E", "B", "F#", "Db", "Ab", "Eb", "Bb", "F",
        "A -", "E -", "B -", "F# -", "C# -", "G# -", "D -", "G -", "C -", "F -", "Bb -", "Eb -"]

# A few rows keep the irregular spellings found in real catalogues; the
# program reads them as they are.
IRREGULAR_KEYS = {7: "C#-", 41: "G #", 97: " D", 203: "A -  ", 251: "Bb-"}

# Tempo range per genre (beats per minute).
BPM_RANGE = {
    "BALLO LISCIO": (90, 240),
    "BALLI DI GRUPPO": (100, 200),
    "DANCE": (118, 140),
    "CLASSICA/LIRICA/OPERA/FILM": (45, 160),
    "NATALE & MUSICA SACRA": (50, 130),
    "SWING & BIG BAND": (80, 200),
    "REGGAE & SKA": (70, 160),
    "ROCK ANNI '50": (110, 200),
}

SECTIONS_IT = ["Intro", "Strofa 1", "Ritornello", "Strofa 2", "Ritornello", "Strumentale",
               "Strofa 3", "Ritornello", "Finale"]
SECTIONS_EN = ["Intro", "Verse 1", "Chorus", "Verse 2", "Chorus 2", "Bridge", "Verse 3",
               "Chorus 3", "Fine"]
# A long medley: 38 sections, the most a catalogue row holds.
MEDLEY = "Guglielmo Tell - ouverture"

# Rows whose file name is a single character.
ONE_LETTER_NAMES = {60, 180, 330}
FILENAME_LENGTHS = [8, 8, 8, 8, 7, 7, 6, 6, 5, 4, 3, 2]
ALPHABET = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"


def crc(text):
    return zlib.crc32(text.encode("utf-8"))


def ascii_upper(text):
    decomposed = unicodedata.normalize("NFKD", text)
    return "".join(c for c in decomposed if not unicodedata.combining(c)).upper()


def file_name(title, h, used, shortest=False):
    """1 to 8 characters from A-Z, 0-9, "_" and "!", unique."""
    plain = ascii_upper(title)
    keep_bang = "!" in plain
    if h % 5 == 0:
        words = [w for w in "".join(c if c.isalnum() or c == "!" else " " for c in plain).split()]
        base = "_".join(words)
    else:
        base = "".join(c for c in plain if c.isalnum() or (keep_bang and c == "!"))
    base = "".join(c for c in base if c in ALPHABET or c in "_!") or "SONG"
    length = 1 if shortest else FILENAME_LENGTHS[h % len(FILENAME_LENGTHS)]
    name = base[:length]
    n = 0
    while name in used:
        suffix = ""
        k = n
        while True:
            suffix = ALPHABET[k % 36] + suffix
            k //= 36
            if k == 0:
                break
        name = (base[:max(1, length - len(suffix))] + suffix)[:8]
        if len(name) < len(suffix) + 1 or name in used:
            name = (base[:8 - len(suffix)] + suffix)
        n += 1
    used.add(name)
    return name


def markers_text(title, genre, h, length_s, bpm):
    if title == MEDLEY:
        return "".join("%d;%s;" % (1 + 8 * i, "Tema %d" % (i + 1) if i else "Intro")
                       for i in range(38))
    if h % 7 == 3:
        return None  # no markers
    if h % 53 == 11:
        return ""
    sections = SECTIONS_EN if (h >> 3) % 2 else SECTIONS_IT
    count = 3 + (h >> 5) % (len(sections) - 2)
    bars_total = max(count * 4, length_s * bpm // 240)
    step = max(2, bars_total // count)
    parts = []
    bar = 1
    for i in range(count):
        text = sections[i] if i < count - 1 else sections[-1]
        parts.append("%d;%s;" % (bar, text))
        bar += step - (h >> (7 + i)) % 3
    return "".join(parts)


def sql_text(value):
    if value is None:
        return "NULL"
    if isinstance(value, int):
        return str(value)
    return "'" + value.replace("'", "''") + "'"


def main():
    rows = []
    genre = None
    with open(os.path.join(HERE, "songs.txt"), encoding="utf-8") as source:
        for line_no, line in enumerate(source, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("="):
                genre = line[1:].strip()
                continue
            fields = [f.strip() for f in line.split("|")]
            if len(fields) != 4 or genre is None:
                sys.exit("songs.txt:%d: expected 'title | artist | altartist | author'" % line_no)
            title, artist, altartist, author = fields
            rows.append((title, artist, altartist or artist, author, genre))

    used = set()
    out = ["-- Sample catalogue of Quenor PC: public-domain and traditional repertoire.",
           "-- Made by make_catalogue.py from songs.txt; edit the list, not this file.",
           "BEGIN TRANSACTION;",
           CREATE + ";"]
    for index, (title, artist, altartist, author, genre) in enumerate(rows):
        h = crc("%s|%s|%d" % (title, artist, index))
        low, high = BPM_RANGE.get(genre, (60, 180))
        bpm = low + h % (high - low + 1)
        length_s = 32 + (h >> 8) % 600
        # Most songs last two to five minutes.
        if (h >> 4) % 4:
            length_s = 120 + (h >> 8) % 181
        key = IRREGULAR_KEYS.get(index, KEYS[(h >> 12) % len(KEYS)])
        if (h >> 16) % 29 == 0:
            key = ""
        name = file_name(title, h, used, index in ONE_LETTER_NAMES)
        markers = markers_text(title, genre, h, length_s, bpm)
        values = [title, artist, genre, author, length_s, bpm, key, name, markers, altartist]
        out.append("INSERT INTO Songs VALUES(%s);" % ",".join(sql_text(v) for v in values))
    out.append("COMMIT;")
    with open(os.path.join(HERE, "songs.sql"), "w", encoding="utf-8", newline="\n") as sql:
        sql.write("\n".join(out) + "\n")
    print("%d songs" % len(rows))


if __name__ == "__main__":
    main()
