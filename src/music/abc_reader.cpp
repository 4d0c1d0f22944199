#include "music/abc_reader.h"

#include <cstdio>
#include <map>

#include "base/rounding.h"
#include "base/stops.h"
#include "music/chords.h"
#include "music/notes.h"
#include "music/tune_state.h"
#include "platform/paths.h"

int32_t abcLineBarTotal = 0;
uint8_t abcChordFileMode = 0;

namespace {

constexpr int32_t lineBufferSize = abcMaxLineLength + 1; // positions 0..1000
constexpr size_t maxTextLength = 255;

// Everything one call of readAbcTuneFile works on.
struct TuneReader {
    std::FILE *file = nullptr;
    AbcNoteRecord *records = nullptr;
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t previousLineFirst = 0; // first record made by the previous line
    char line[lineBufferSize + 2];
    int32_t length = 0;            // logical line length
    int32_t lineNumber = 0;        // physical line where the logical line starts (from 1)
    int32_t lineFeeds = 0;         // LF characters read so far
    // Where a continued line's next physical line begins in the buffer.
    int32_t continuationStarts[abcMaxLineLength + 1];
    int32_t continuations = 0;
    bool unitLengthGiven = false;  // an "L:" line came before the notes
    std::string fileName;
    int32_t pos = 0;
    int32_t unitNumerator = 1;
    int32_t unitDenominator = 1;
    int32_t signature[7] = {0, 0, 0, 0, 0, 0, 0}; // per letter A..G
    // Alterations written in the current bar, by the written staff value of
    // the letter and octave (+1 sharp, 0 natural, -1 flat): they replace the
    // key signature up to the next bar line.
    std::map<int32_t, int32_t> barAlterations;
    int32_t tessitura = 0;         // 1 low, 2 medium, 3 high; 0 none
    char currentLetter = 'r';
    int32_t currentOctave = 0;
    bool tiePending = false;
    int32_t brokenRhythm = 0;      // 0 none, 1 after '<', 2 after '>'
    // header outputs
    int32_t *keyIndex = nullptr;
    int32_t *minor = nullptr;
    int32_t *meterNum = nullptr;
    int32_t *meterDen = nullptr;
    int32_t *tempo = nullptr;
    std::string *title = nullptr;
    std::string *composer = nullptr;
    std::string *source = nullptr;
};

[[noreturn]] void abcStop(const char *what, int32_t value, int32_t stopNumber)
{
    writeDebugDetail(std::string("readAbcTuneFile: ") + what + "=" + std::to_string(value));
    stopProgram(0, stopNumber);
}

// A tune that leaves the dialect ends here instead of playing something
// else; the debug log names the file, the line and what was met.
[[noreturn]] void dialectStop(const TuneReader &rd, const std::string &what, int32_t stopNumber)
{
    std::string text(rd.line, rd.line + (rd.length < 0 ? 0 : rd.length));
    for (char &c : text)
        if (c == '\r' || c == '\n') c = ' ';
    writeDebugDetail("readAbcTuneFile: " + nativePath(rd.fileName).substr(0, 255) + " line " +
                     std::to_string(rd.lineNumber) + ": " + what + ": " + text.substr(0, 200));
    stopProgram(0, stopNumber);
}

void clearRecord(AbcNoteRecord &r)
{
    const double start = r.start;
    const int32_t firstBeat = r.firstBeat;
    r = AbcNoteRecord{};
    r.start = start;
    r.firstBeat = firstBeat;
}

void appendLimited(std::string &text, const std::string &more)
{
    text += more;
    if (text.size() > maxTextLength) text.resize(maxTextLength);
}

char at(const TuneReader &rd, int32_t p)
{
    if (p < 0 || p > abcMaxLineLength) return ' ';
    return rd.line[p];
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Assembles one logical line into rd.line; false when the file has ended
// before any character.
int readCharacter(TuneReader &rd)
{
    const int c = std::fgetc(rd.file);
    if (c == '\n') ++rd.lineFeeds;
    return c;
}

bool isFieldStart(const TuneReader &rd, int32_t p);

// Assembles one logical line into rd.line; false when the file has ended
// before any character.
bool readLogicalLine(TuneReader &rd)
{
    for (int32_t i = 0; i < lineBufferSize + 2; ++i) rd.line[i] = ' ';
    rd.continuations = 0;
    int32_t n = 0;
    int c = readCharacter(rd);
    if (c == EOF) return false;
    rd.lineNumber = rd.lineFeeds + 1; // a CR LF file's leftover LF is counted already
    for (;;) {
        if (n >= abcMaxLineLength) abcStop("line longer than 1000 characters", n, stopAbcLineTooLong);
        rd.line[n++] = static_cast<char>(c);
        const int next = readCharacter(rd);
        if (next == '\r' || next == '\n' || next == EOF) {
            if (next != EOF && n < lineBufferSize) rd.line[n] = static_cast<char>(next);
            if (rd.line[n - 1] == '\\') {
                // Continuation: the next character overwrites the backslash.
                --n;
                rd.continuationStarts[rd.continuations++] = n;
                if (next == EOF) break;
                c = readCharacter(rd);
                if (c == EOF) break;
                continue;
            }
            break;
        }
        c = next;
    }
    rd.length = n;
    // A field line cannot continue a body line: it would be read as notes.
    for (int32_t k = 0; k < rd.continuations; ++k) {
        int32_t p = rd.continuationStarts[k];
        while (p < n && (rd.line[p] == '\n' || rd.line[p] == '\r' || rd.line[p] == ' ' || rd.line[p] == '\t')) ++p;
        if (p < n && isFieldStart(rd, p)) dialectStop(rd, "a field line after a continued line", stopAbcFieldAfterContinuation);
    }
    return true;
}

// A header field starts at p: one of the field letters and a colon.
bool isFieldStart(const TuneReader &rd, int32_t p)
{
    const char c = at(rd, p);
    const bool letter = (c >= 'A' && c <= 'I') || (c >= 'K' && c <= 'X') || c == 'w' || c == 'Z';
    return letter && at(rd, p + 1) == ':';
}

int32_t readAbcNumber(TuneReader &rd)
{
    int64_t value = 0;
    while (rd.pos <= abcMaxLineLength && at(rd, rd.pos) >= '0' && at(rd, rd.pos) <= '9') {
        if (value < 100000000) value = value * 10 + (at(rd, rd.pos) - '0');
        ++rd.pos;
    }
    return static_cast<int32_t>(value);
}

void skipPlainBlanks(TuneReader &rd)
{
    while (rd.pos < abcMaxLineLength && isBlank(at(rd, rd.pos))) ++rd.pos;
}

void closeAbcBeamGroup(TuneReader &rd)
{
    AbcNoteRecord *rec = rd.records;
    const int32_t e = rd.count - 1;
    if (e < 0) return;
    int32_t s = 0;
    for (int32_t k = rd.count - 2; k >= 1; --k)
        if (rec[k].beamRole == beamRoleFirst) {
            s = k;
            break;
        }
    int32_t h = s;
    for (int32_t k = s + 1; k <= e; ++k) {
        if (rec[k].writtenStaff > rec[h].writtenStaff) h = k;
        else if (rec[k].writtenStaff == rec[h].writtenStaff && rec[e].writtenStaff < rec[h].writtenStaff)
            h = k;
    }
    for (int32_t k = e; k >= 0; --k) {
        rec[k].beamFirst = s;
        rec[k].beamLast = e;
        rec[k].beamTop = h;
        if (rec[k].beamRole == beamRoleFirst) break;
    }
}

void skipAbcBlanks(TuneReader &rd)
{
    AbcNoteRecord *rec = rd.records;
    if (isBlank(at(rd, rd.pos))) {
        rec[rd.count].beamRole = beamRoleNone;
        if (rd.count > 0) {
            AbcNoteRecord &prev = rec[rd.count - 1];
            if (prev.beamRole == beamRoleInside) {
                prev.beamRole = beamRoleLast;
                closeAbcBeamGroup(rd);
            } else if (prev.beamRole != beamRoleLast) {
                prev.beamRole = beamRoleNone;
            }
        }
    }
    skipPlainBlanks(rd);
}

// Marks the slur or tie that ends at record e; the search for its start
// begins at e - 1. tie: the records strictly between start and e - 1 are
// marked as inside, else those strictly between start and e.
void matchSlur(TuneReader &rd, int32_t e, bool tie)
{
    AbcNoteRecord *rec = rd.records;
    int32_t level = 0, depth = 0, s = -1;
    for (int32_t x = e - 1; x >= 0; --x) {
        if (rec[x].slurRole == slurEnd) {
            ++depth;
            ++level;
        } else if (rec[x].slurRole == slurStart) {
            if (depth == 0) {
                s = x;
                if (level > 1) level = 1;
                break;
            }
            --depth;
        }
    }
    if (s < 0) {
        if (!tie) abcStop("slur end without a start at record", e, stopAbcUnmatchedSlurEnd);
        s = e - 1 < 0 ? 0 : e - 1;
        level = 0;
    }
    const int32_t innerLast = tie ? e - 1 : e;
    for (int32_t x = s; x <= e; ++x) {
        rec[x].slurSpans[level].first = s;
        rec[x].slurSpans[level].last = e;
        if (x > s && x < innerLast && rec[x].slurRole == slurNone) rec[x].slurRole = slurInside;
    }
}

int32_t letterIndex(char letter)
{
    if (letter >= 'a' && letter <= 'g') return letter - 'a';
    if (letter >= 'A' && letter <= 'G') return letter - 'A';
    return -1;
}

// The step a sharp or flat moves a written letter: a whole letter step for
// the semitone pairs B-C and E-F, half a letter step otherwise.
int32_t sharpStep(int32_t idx) { return (idx == 1 || idx == 4) ? 10 : 5; } // B, E
int32_t flatStep(int32_t idx) { return (idx == 2 || idx == 5) ? 10 : 5; }  // C, F

void parseNoteOrRest(TuneReader &rd)
{
    AbcNoteRecord *rec = rd.records;
    const int32_t r = rd.count;
    if (r >= rd.capacity) abcStop("records beyond", rd.capacity, stopAbcTooManyRecords);
    AbcNoteRecord &note = rec[r];
    if (note.decoration != ' ') abcStop("decorated record", r, stopAbcDecoratedRecord);
    if (!rd.unitLengthGiven) dialectStop(rd, "a note before any L: line (no unit length)", stopAbcNoUnitLength);

    if (rd.tiePending) {
        note.slurRole = slurEnd;
        matchSlur(rd, r, true);
        note.openSlurs -= 1;
        rd.tiePending = false;
    }

    char c = at(rd, rd.pos);
    while (c == '.' || c == 'M' || c == 'L' || c == 'R' || c == 'H' || c == '~' || c == 'T' ||
           c == 'u' || c == 'v') {
        note.decoration = c;
        c = at(rd, ++rd.pos);
    }
    if (c == '=' || c == '^' || c == '_') {
        note.accidental = c;
        c = at(rd, ++rd.pos);
    }

    bool rest = false;
    if ((c >= 'a' && c <= 'g') || (c >= 'A' && c <= 'G')) {
        rd.currentLetter = c;
        rd.currentOctave = (c >= 'a') ? 1 : 0;
        ++rd.pos;
        for (;;) {
            const char m = at(rd, rd.pos);
            if (m == '\'') ++rd.currentOctave;
            else if (m == ',') --rd.currentOctave;
            else break;
            ++rd.pos;
        }
    } else if (c == 'z' || c == 'x') {
        rest = true;
        ++rd.pos;
    } else {
        // "^^F", "__B" or a decoration on nothing: not a note of the dialect.
        dialectStop(rd, "an accidental or decoration without a note", stopAbcOutsideDialect);
    }

    if (rest) {
        note.writtenStaff = r > 0 ? rec[r - 1].writtenStaff : 220;
        rd.currentLetter = 'r';
        rd.currentOctave = 0;
    } else {
        const int32_t idx = letterIndex(rd.currentLetter);
        const int32_t octaveBase = idx <= 1 ? rd.currentOctave + 3 : rd.currentOctave + 2;
        note.writtenStaff = octaveBase * 70 + idx * 10 + 20;
    }

    switch (rd.tessitura) {
    case 1: note.writtenStaff -= 140; break;
    case 2: note.writtenStaff -= 70; break;
    default: break;
    }
    if (rest && rd.tessitura >= 1 && rd.tessitura <= 3)
        note.writtenStaff = note.writtenStaff < 180 ? 100 : 220;

    const int32_t w = note.writtenStaff;
    note.ledgerCount = 0;
    if (w == 180) {
        note.ledgerCount = 1;
        note.firstLedger = 160;
    } else if (w < 41) {
        note.ledgerCount = 2;
        note.firstLedger = 20;
    } else if (w < 61) {
        note.ledgerCount = 1;
        note.firstLedger = 40;
    } else if (w >= 300) {
        note.firstLedger = 280;
        note.ledgerCount = w >= 320 ? 2 : 1;
    }

    // Sounding pitch: an explicit accidental sets the letter's alteration in
    // place of the key's and holds for that letter and octave until the next
    // bar line, as in standard ABC; the drawn mark stays as written.
    const int32_t idx = letterIndex(rd.currentLetter);
    int32_t sounding = w;
    if (idx >= 0 && !rest) {
        int32_t alteration = rd.signature[idx];
        const int32_t written = note.writtenStaff; // letter and octave (tessitura applied alike)
        if (note.accidental != ' ') {
            alteration = note.accidental == '^' ? 1 : note.accidental == '_' ? -1 : 0;
            rd.barAlterations[written] = alteration;
        } else if (const auto held = rd.barAlterations.find(written); held != rd.barAlterations.end()) {
            alteration = held->second;
        }
        if (alteration > 0) sounding += sharpStep(idx);
        if (alteration < 0) sounding -= flatStep(idx);
    }
    note.soundingStaff = sounding;
    note.note = noteOfStaffValue(sounding);
    note.letter = rd.currentLetter;

    // Length: a multiplier, then '/' with a divisor (2 when none), each
    // further '/' halving again.
    int32_t multiplier = readAbcNumber(rd);
    if (multiplier == 0) multiplier = 1;
    int64_t divisor = 1;
    if (at(rd, rd.pos) == '/') {
        ++rd.pos;
        divisor = readAbcNumber(rd);
        if (divisor == 0) divisor = 2;
        while (at(rd, rd.pos) == '/' && divisor < (int64_t(1) << 40)) {
            ++rd.pos;
            divisor *= 2;
        }
    }
    // In 64 bits, checked once the broken rhythm is applied: the limit keeps
    // the tune's running sums (end times, pickup) inside int32.
    int64_t length = static_cast<int64_t>(64 / rd.unitDenominator) * multiplier / divisor;
    int32_t newState = 0;
    if (at(rd, rd.pos) == '>') {
        length = length + length / 2;
        newState = 2;
        ++rd.pos;
    } else if (at(rd, rd.pos) == '<') {
        length = length / 2;
        newState = 1;
        ++rd.pos;
    }
    if (rd.brokenRhythm == 1) length = length + length / 2;
    else if (rd.brokenRhythm == 2) length = length / 2;
    rd.brokenRhythm = newState;
    if (length > abcMaxNoteLength)
        abcStop("note length at record", r, stopAbcNoteTooLong);
    note.length = static_cast<int32_t>(length);

    if (length < 13) {
        if (r == 0 || rec[r - 1].beamRole == beamRoleNone || rec[r - 1].beamRole == beamRoleLast) {
            note.beamRole = beamRoleFirst;
            note.beamFirst = r;
        } else {
            note.beamRole = beamRoleInside;
            int32_t k = r;
            while (k > 0 && rec[k].beamRole != beamRoleFirst) --k;
            note.beamFirst = k;
        }
    } else {
        note.beamRole = beamRoleNone;
        if (r >= 2) {
            AbcNoteRecord &prev = rec[r - 1];
            if (prev.beamRole == beamRoleInside) {
                prev.beamRole = beamRoleLast;
                closeAbcBeamGroup(rd);
            } else if (prev.beamRole != beamRoleLast) {
                prev.beamRole = beamRoleNone;
            }
        }
    }

    if (at(rd, rd.pos) == '-') {
        if (note.slurRole == slurEnd) {
            note.slurRole = slurInside;
        } else {
            note.slurRole = slurStart;
            note.openSlurs += 1;
        }
        rd.tiePending = true;
        ++rd.pos;
    }

    rd.count = r + 1;
}

void applyBarLine(TuneReader &rd, int32_t kind)
{
    if (kind != barNone) rd.barAlterations.clear(); // a bar line ends the bar's accidentals
    AbcNoteRecord &rec = rd.records[rd.count];
    rec.barKind = kind;
    rec.barOffset += barLineOffsets[kind];
    abcLineBarTotal += barLineOffsets[kind];
    rec.barTotal = abcLineBarTotal;
}

// A two-character bar line of `kind`; a ':' right after it adds the bar
// line `repeatKind` as well.
void twoCharacterBarLine(TuneReader &rd, int32_t kind, int32_t repeatKind)
{
    applyBarLine(rd, kind);
    rd.pos += 2;
    if (at(rd, rd.pos) == ':') {
        applyBarLine(rd, repeatKind);
        ++rd.pos;
    }
}

void parseAbcBodyItem(TuneReader &rd)
{
    AbcNoteRecord *rec = rd.records;
    rec[rd.count].barTotal = abcLineBarTotal;
    const char c = at(rd, rd.pos);
    const char next = at(rd, rd.pos + 1);
    switch (c) {
    case 'a': case 'b': case 'c': case 'd': case 'e': case 'f': case 'g':
    case 'A': case 'B': case 'C': case 'D': case 'E': case 'F': case 'G':
    case 'z': case 'x': case '_': case '^': case '=': case '.': case 'M': case 'L':
    case 'R': case 'H': case '~': case 'T': case 'u': case 'v':
        parseNoteOrRest(rd);
        return;
    case ' ': case '\t':
        skipAbcBlanks(rd);
        return;
    case '"': {
        int32_t p = rd.pos + 1;
        std::string text;
        while (p < rd.length && at(rd, p) != '"') text += at(rd, p++);
        if (p < rd.length) ++p; // the closing quote
        rd.pos = p;
        if (text.size() > maxTextLength) text.resize(maxTextLength);
        rec[rd.count].chordText = text;
        const int32_t id = chordIdFromSymbol(text);
        rec[rd.count].chordId = id >= extendedChordFirst ? 0 : id;
        return;
    }
    case '(':
        if (next >= '2' && next <= '9') {
            rec[rd.count].tupletCount = next - '0';
            rd.pos += 2;
        } else {
            rec[rd.count].openSlurs += 1;
            rec[rd.count].slurRole = slurStart;
            ++rd.pos;
        }
        return;
    case ')': {
        if (rd.count < 1) abcStop("slur end without a start at record", rd.count, stopAbcUnmatchedSlurEnd);
        AbcNoteRecord &last = rec[rd.count - 1];
        last.slurRole = slurEnd;
        matchSlur(rd, rd.count - 1, false);
        last.openSlurs -= 1;
        ++rd.pos;
        return;
    }
    case '|':
        if (next == ':') {
            twoCharacterBarLine(rd, barRepeatStart, barRepeatStartColon);
        } else if (next == ']') {
            twoCharacterBarLine(rd, barThickEnd, barThickEndRepeat);
        } else if (next == '|') {
            twoCharacterBarLine(rd, barDouble, barDoubleRepeat);
        } else {
            applyBarLine(rd, barSingle);
            ++rd.pos;
        }
        return;
    case ':':
        if (next == ':') {
            applyBarLine(rd, barRepeatBoth);
            rd.pos += 2;
        } else if (next == '|') {
            applyBarLine(rd, barRepeatEnd);
            rd.pos += 2;
        } else {
            applyBarLine(rd, barNone);
            ++rd.pos;
        }
        return;
    case '[':
        if (next == '|') {
            applyBarLine(rd, barThickStart);
            rd.pos += 2;
        } else if (letterIndex(next) >= 0 || next == '^' || next == '_' || next == '=' || isFieldStart(rd, rd.pos + 1)) {
            dialectStop(rd, "a chord of notes or an inline field", stopAbcOutsideDialect);
        } else {
            ++rd.pos;
        }
        return;
    case '{':
        dialectStop(rd, "grace notes", stopAbcOutsideDialect);
    case ']':
        if (next == '|') {
            applyBarLine(rd, barThickEnd);
            rd.pos += 2;
        } else {
            ++rd.pos;
        }
        return;
    default:
        ++rd.pos;
        return;
    }
}

std::string restOfLine(const TuneReader &rd)
{
    std::string text;
    for (int32_t p = rd.pos; p < rd.length; ++p) text += at(rd, p);
    if (text.size() > maxTextLength) text.resize(maxTextLength);
    return text;
}

void clearLyric(TuneReader &rd, int32_t i)
{
    if (i > rd.capacity) abcStop("lyric past the last record", i, stopAbcTooManySyllables);
    rd.records[i].lyric.clear();
}

void parseLyrics(TuneReader &rd)
{
    AbcNoteRecord *rec = rd.records;
    int32_t i = rd.previousLineFirst;
    clearLyric(rd, i);
    while (rd.pos < rd.length) {
        while (rec[i].letter == 'r' && i < rd.count) {
            rec[i].lyric.clear();
            ++i;
            clearLyric(rd, i);
        }
        skipPlainBlanks(rd);
        if (rd.pos >= rd.length) break;
        const char c = at(rd, rd.pos);
        if (c == '*' || c == '_') {
            ++rd.pos;
            appendLimited(rec[i].lyric, c == '*' ? " " : "_");
            ++i;
            clearLyric(rd, i);
            continue;
        }
        if (c == '-' || c == '|') {
            ++rd.pos;
            continue;
        }
        for (;;) {
            char s = at(rd, rd.pos);
            while (rd.pos < rd.length && !isBlank(s) && s != '-' && s != '_' && s != '|' && s != '*' &&
                   s != '\\') {
                appendLimited(rec[i].lyric, std::string(1, s == '~' ? ' ' : s));
                s = at(rd, ++rd.pos);
            }
            if (rd.pos < rd.length && s == '\\') {
                if (at(rd, rd.pos + 1) != '-' || rd.pos + 1 >= rd.length)
                    abcStop("backslash not before '-' in a lyric line at", rd.pos, stopAbcLyricBackslash);
                appendLimited(rec[i].lyric, "-");
                rd.pos += 2;
                continue;
            }
            if (rd.pos < rd.length && s == '-') {
                appendLimited(rec[i].lyric, "-");
                ++rd.pos;
            }
            break;
        }
        ++i;
        clearLyric(rd, i);
        skipPlainBlanks(rd);
    }
}

void parseHeader(TuneReader &rd, char field)
{
    rd.pos += 2;
    skipPlainBlanks(rd);
    const char c = at(rd, rd.pos);
    switch (field) {
    case 'T': *rd.title = restOfLine(rd); break;
    case 'C': *rd.composer = restOfLine(rd); break;
    case 'S': *rd.source = restOfLine(rd); break;
    case 'K': {
        std::string name;
        for (int32_t p = rd.pos; p < rd.length; ++p) {
            const char k = at(rd, p);
            if (k == '#' || (k >= '1' && k <= 'y')) name += k;
        }
        *rd.keyIndex = keyIndexFromName(name, *rd.minor, rd.signature);
        if (*rd.keyIndex == 0 && name != "C" && name != "Am")
            dialectStop(rd, "a key the reader does not know (modes and other keys)", stopAbcUnknownKey);
        break;
    }
    case 'L':
        rd.unitLengthGiven = true;
        if (c == 'C' || c == 'c') {
            rd.unitNumerator = 4;
            rd.unitDenominator = 4;
        } else {
            rd.unitNumerator = readAbcNumber(rd);
            ++rd.pos;
            rd.unitDenominator = readAbcNumber(rd);
            if (rd.unitDenominator == 0) abcStop("L: denominator", 0, stopAbcUnitLengthZero);
        }
        break;
    case 'M':
        if (c == 'C' || c == 'c') {
            *rd.meterNum = 4;
            *rd.meterDen = 4;
        } else {
            *rd.meterNum = readAbcNumber(rd);
            if (*rd.meterNum > abcMaxMeterNumerator)
                abcStop("M: numerator", *rd.meterNum, stopAbcMeterNumeratorTooLarge);
            ++rd.pos;
            *rd.meterDen = readAbcNumber(rd);
            if (*rd.meterDen == 0) abcStop("M: denominator", 0, stopAbcMeterDenominatorZero);
        }
        break;
    case 'Q': {
        double tempo = 0.0;
        const int32_t a = readAbcNumber(rd);
        if (at(rd, rd.pos) == '/') {
            ++rd.pos;
            const int32_t b = readAbcNumber(rd);
            skipPlainBlanks(rd);
            ++rd.pos; // '='
            skipPlainBlanks(rd);
            const int32_t t = readAbcNumber(rd);
            if (t != 0 && b == 0) abcStop("Q: note length denominator", 0, stopAbcTempoDenominatorZero);
            tempo = t != 0 ? t * 4.0 / b : 0.0;
        } else {
            if (!rd.unitLengthGiven) dialectStop(rd, "a tempo in units before any L: line", stopAbcNoUnitLength);
            tempo = rd.unitDenominator != 0 ? a * 4.0 / rd.unitDenominator : double(a);
        }
        // Checked before rounding into int32; a tempo of 0 would stop the
        // melody's clock.
        if (!(tempo >= 0.5 && tempo <= abcMaxTempo))
            abcStop("Q: tempo", tempo > abcMaxTempo ? abcMaxTempo + 1 : 0, stopAbcTempoOutOfRange);
        *rd.tempo = roundToInt32(tempo);
        if (*rd.tempo < 1) abcStop("Q: tempo", *rd.tempo, stopAbcTempoOutOfRange);
        break;
    }
    case 'w': parseLyrics(rd); break;
    default: break;
    }
}

void parseAbcLine(TuneReader &rd)
{
    if (rd.length == 0) return;
    rd.pos = 0;
    skipAbcBlanks(rd);
    const char c = at(rd, rd.pos);
    if (c == '%') return;
    // A comment after a field or body text ends the line there.
    for (int32_t p = rd.pos; p < rd.length; ++p)
        if (rd.line[p] == '%') {
            rd.length = p;
            break;
        }
    if (isFieldStart(rd, rd.pos)) {
        parseHeader(rd, c);
        return;
    }
    rd.brokenRhythm = 0;
    while (rd.pos < rd.length) parseAbcBodyItem(rd);
}

// Tie roles, beam variants, tuplet roles, start times and the pickup.
void finishRecords(TuneReader &rd, int32_t meterNum, int32_t meterDen, int32_t &pickup)
{
    AbcNoteRecord *rec = rd.records;
    const int32_t count = rd.count;
    double units = 0.0, tupletBase = 0.0;
    bool afterTuplet = false;
    for (int32_t w = 0; w <= count; ++w) {
        AbcNoteRecord &x = rec[w];
        if ((x.slurRole == slurStart || x.slurRole == slurInside) && w + 1 <= count && rec[w + 1].note == x.note)
            x.tieRole = x.slurRole;
        else if (x.slurRole == slurEnd && w > 0 && rec[w - 1].note == x.note)
            x.tieRole = 3;

        if (x.length < 5) {
            if (x.beamRole == beamRoleFirst) x.beamRole = beamRoleFirstSixteenth;
            else if (x.beamRole == beamRoleLast) x.beamRole = beamRoleLastSixteenth;
            else if (x.beamRole == beamRoleInside) {
                if (w > 0 && rec[w - 1].length >= 5) x.beamRole = beamRoleInsideSixteenthFromHere;
                else if (w + 1 <= count && rec[w + 1].length < 5) x.beamRole = beamRoleInsideSixteenth;
                else x.beamRole = beamRoleInsideSixteenthToHere;
            }
        }

        if (x.tupletCount > 0) {
            const int32_t last = w + x.tupletCount - 1;
            x.tupletRole = 1;
            for (int32_t k = w + 1; k <= last && k <= count; ++k) rec[k].tupletRole = k == last ? 3 : 2;
        }

        if (w == 0) {
            x.start = 0.0;
            currentTupletCount = x.tupletCount;
            continue;
        }
        const double l = rec[w - 1].length;
        const double n = currentTupletCount > 0 ? currentTupletCount : 3;
        switch (x.tupletRole) {
        case 1:
            if (afterTuplet) {
                tupletBase = tupletBase + 2 * l;
                units = tupletBase;
                afterTuplet = false;
            } else {
                units += l;
            }
            currentTupletCount = x.tupletCount;
            tupletBase = units;
            break;
        case 2: units += 2 * l / n; break;
        case 3:
            units += 2 * l / n;
            afterTuplet = true;
            break;
        default:
            if (afterTuplet) {
                units = tupletBase + 2 * l;
                afterTuplet = false;
            } else {
                units += l;
            }
            break;
        }
        x.start = units;
    }

    int32_t firstBar = -1;
    for (int32_t w = 0; w <= count; ++w)
        if (rec[w].barKind != barNone) {
            firstBar = w;
            break;
        }
    int64_t before = 0;
    if (firstBar >= 0)
        for (int32_t w = 0; w < firstBar; ++w)
            if (rec[w].tupletRole != 3) before += rec[w].length;
    const int64_t bar = static_cast<int64_t>(64 / meterDen) * meterNum;
    pickup = (before > 0 && before < bar) ? static_cast<int32_t>(bar - before) : 0;
}

struct GridClass {
    int32_t kind;
    char countChar;
    int32_t beatNumber; // kind 1 only
};

struct GridUnits {
    int32_t beat, half, sub, num;
};

GridClass classOf(const GridUnits &u, int32_t x, double y)
{
    if (x % u.beat == 0) {
        const int32_t b = (roundToInt32(y) / u.beat) % u.num;
        return {1, static_cast<char>('1' + b), b};
    }
    if (x % u.half == 0) return {2, '+', -1};
    const int32_t q = (x / u.sub + 1) / 2;
    return q % 2 == 1 ? GridClass{3, 'e', -1} : GridClass{4, 'a', -1};
}

void setClass(BeatRecord &point, const GridClass &g)
{
    point.kind = g.kind;
    point.countChar = g.countChar;
    if (g.kind == 1) point.beatNumber = g.beatNumber;
}

void buildCountingGrid(TuneReader &rd, BeatRecord *beats, int32_t beatCapacity, int32_t meterNum,
                       int32_t meterDen, int32_t pickup, int32_t &lastBeatIndex)
{
    if (meterDen > 31) abcStop("meter denominator", meterDen, stopAbcMeterDenominatorTooLarge);
    if (meterNum <= 0) abcStop("meter numerator", meterNum, stopAbcMeterNumeratorZero);
    const GridUnits u{roundToInt32(64.0 / meterDen), roundToInt32(32.0 / meterDen),
                      roundToInt32(16.0 / meterDen), meterNum};
    AbcNoteRecord *rec = rd.records;
    auto prepare = [&](int32_t f, int32_t note) {
        if (f > beatCapacity) abcStop("grid points beyond", beatCapacity, stopAbcTooManyGridPoints);
        beats[f].note = note;
        beats[f].noteStarts = 0;
        beats[f].barLine = 0;
        beats[f].barOffset = 0;
        beats[f].inTuplet = f > 0 ? beats[f - 1].inTuplet : 0;
    };
    int32_t f = 0, t = 0, end = 0, saved = 0;
    double nextStart = 0.0;
    if (f > beatCapacity) abcStop("grid points beyond", beatCapacity, stopAbcTooManyGridPoints);
    for (int32_t w = 0; w <= rd.count; ++w) {
        AbcNoteRecord &x = rec[w];
        x.firstBeat = f;
        BeatRecord &first = beats[f];
        first.note = w;
        first.noteStarts = (x.tieRole == 0 || x.tieRole == 1) ? 1 : 0;
        first.barLine = x.barKind != barNone ? 1 : 0;
        first.barOffset = x.barKind != barNone ? x.barOffset : 0;
        first.barTotal = x.barTotal;
        switch (x.tupletRole) {
        case 2:
            first.inTuplet = 1;
            first.kind = 5;
            first.countChar = 't';
            first.time = t - 8.0 / 3.0;
            break;
        case 3:
            first.inTuplet = 1;
            first.kind = 6;
            first.countChar = 'l';
            first.time = t - 4.0 / 3.0;
            break;
        default:
            first.inTuplet = x.tupletRole == 1 ? 1 : 0;
            setClass(first, classOf(u, t + pickup, nextStart + pickup));
            first.time = t;
            break;
        }

        t += u.sub;
        switch (x.tupletRole) {
        case 1:
            saved = end;
            end += x.length;
            nextStart = end - x.length / 3.0;
            break;
        case 2:
            end += x.length;
            nextStart = end - 2.0 * x.length / 3.0;
            t -= u.sub;
            break;
        case 3:
            end = saved + 2 * x.length;
            nextStart = end;
            t -= u.sub;
            break;
        default:
            end += x.length;
            nextStart = end;
            break;
        }

        ++f;
        prepare(f, w);
        while (t < nextStart) {
            setClass(beats[f], classOf(u, t + pickup, t + pickup));
            beats[f].time = t;
            beats[f].barTotal = x.barTotal;
            t += u.sub;
            ++f;
            prepare(f, w);
        }

        const BeatRecord &start = beats[x.firstBeat];
        if (start.noteStarts == 1) {
            static constexpr char kindChars[7] = {' ', '1', '+', 'e', 'a', 't', 'l'};
            x.countChar = start.kind == 1 ? start.countChar
                                          : (start.kind >= 0 && start.kind <= 6 ? kindChars[start.kind] : ' ');
        }
    }
    lastBeatIndex = f;
}

} // namespace

void initAbcReader() { abcChordFileMode = 0; }

int32_t keyIndexFromName(const std::string &name, int32_t &minor, int32_t signature[7])
{
    struct KeyRow {
        const char *major;
        const char *minorName;
        int8_t sig[7]; // A B C D E F G
    };
    static constexpr KeyRow rows[keyCount] = {
        {"C", "Am", {0, 0, 0, 0, 0, 0, 0}},
        {"D", "Bm", {0, 0, 1, 0, 0, 1, 0}},
        {"Db", "Bbm", {-1, -1, 0, -1, -1, 0, -1}},
        {"E", "C#m", {0, 0, 1, 1, 0, 1, 1}},
        {"Eb", "Cm", {-1, -1, 0, 0, -1, 0, 0}},
        {"F", "Dm", {0, -1, 0, 0, 0, 0, 0}},
        {"G", "Em", {0, 0, 0, 0, 0, 1, 0}},
        {"Gb", "Ebm", {-1, -1, -1, -1, -1, 0, -1}},
        {"A", "F#m", {0, 0, 1, 0, 0, 1, 1}},
        {"Ab", "Fm", {-1, -1, 0, -1, -1, 0, 0}},
        {"B", "G#m", {1, 0, 1, 1, 0, 1, 1}},
        {"Bb", "Gm", {0, -1, 0, 0, -1, 0, 0}},
        {"C#", "A#m", {1, 1, 1, 1, 1, 1, 1}},
        {"Cb", "Abm", {-1, -1, -1, -1, -1, -1, -1}},
        {"F#", "D#m", {1, 0, 1, 1, 1, 1, 1}},
    };
    minor = (!name.empty() && name.back() == 'm') ? 1 : 0;
    for (int32_t k = 0; k < keyCount; ++k) {
        if (name == rows[k].major || name == rows[k].minorName) {
            for (int32_t i = 0; i < 7; ++i) signature[i] = rows[k].sig[i];
            return k;
        }
    }
    return 0;
}

void readAbcTuneFile(const AbcTuneRead &read)
{
    const std::string &fileName = read.fileName;
    const int32_t tessitura = read.tessitura;
    AbcNoteRecord *records = read.records;
    const int32_t capacity = read.capacity;
    int32_t &count = *read.count;
    BeatRecord *beats = read.beats;
    const int32_t beatCapacity = read.beatCapacity;
    int32_t &lastBeatIndex = *read.lastBeatIndex;
    int32_t &keyIndex = *read.keyIndex, &minor = *read.minor;
    int32_t &meterNum = *read.meterNumerator, &meterDen = *read.meterDenominator;
    int32_t &tempo = *read.tempo, &pickup = *read.pickup;
    std::string &title = *read.title, &composer = *read.composer, &source = *read.source;
    if (fileName.empty() || fileName.size() > 4095) {
        writeDebugDetail("readAbcTuneFile: file name=" + nativePath(fileName).substr(0, 255));
        stopProgram(0, stopAbcFileName);
    }
    TuneReader rd;
    rd.fileName = fileName;
    rd.file = std::fopen(resolveDataPath(fileName).c_str(), "rb");
    if (!rd.file) {
        writeDebugDetail("readAbcTuneFile: cannot open " + nativePath(fileName).substr(0, 255));
        stopProgram(0, stopAbcOpen);
    }
    rd.tessitura = tessitura;
    rd.records = records;
    rd.capacity = capacity;
    rd.keyIndex = &keyIndex;
    rd.minor = &minor;
    rd.meterNum = &meterNum;
    rd.meterDen = &meterDen;
    rd.tempo = &tempo;
    rd.title = &title;
    rd.composer = &composer;
    rd.source = &source;

    for (int32_t i = 0; i <= capacity; ++i) clearRecord(records[i]);
    abcLineBarTotal = 0;
    meterDen = 4;

    while (readLogicalLine(rd)) {
        const int32_t before = rd.count;
        parseAbcLine(rd);
        rd.previousLineFirst = before;
    }
    std::fclose(rd.file);

    // The end of the file ends the last beam group as a CR LF line end would
    // (a tune whose last line ends in LF only, or in no line end): an open
    // group is closed, a lone short note is left unbeamed.
    if (rd.count > 0) {
        AbcNoteRecord &last = records[rd.count - 1];
        if (last.beamRole == beamRoleInside) {
            last.beamRole = beamRoleLast;
            closeAbcBeamGroup(rd);
        } else if (last.beamRole != beamRoleLast) {
            last.beamRole = beamRoleNone;
        }
    }

    if (rd.count < 1) {
        writeDebugDetail("readAbcTuneFile: no note or rest in " + nativePath(fileName).substr(0, 255));
        stopProgram(0, stopAbcNoNotes);
    }
    count = rd.count;
    const int32_t closingBarKind = records[count].barKind;
    clearRecord(records[count]);
    records[count].barTotal = records[count - 1].barTotal;

    finishRecords(rd, meterNum, meterDen, pickup);
    if (abcChordFileMode != 1 && beats != nullptr)
        buildCountingGrid(rd, beats, beatCapacity, meterNum, meterDen, pickup, lastBeatIndex);
    // For drawing only: the score view draws the tune's last bar line from
    // the end record; the times, the pickup and the grid are made without it.
    records[count].barKind = closingBarKind;
}

void loadAbcChordFile(const std::string &fileName, int32_t tessitura, AbcNoteRecord *records, int32_t capacity,
                      int32_t &count)
{
    int32_t lastBeat = 0, key = 0, minor = 0, num = 4, den = 4, tempo = 120, pickup = 0;
    std::string title, composer, source;
    abcChordFileMode = 1;
    readAbcTuneFile({.fileName = fileName,
                     .tessitura = tessitura,
                     .records = records,
                     .capacity = capacity,
                     .count = &count,
                     .lastBeatIndex = &lastBeat,
                     .keyIndex = &key,
                     .minor = &minor,
                     .meterNumerator = &num,
                     .meterDenominator = &den,
                     .tempo = &tempo,
                     .pickup = &pickup,
                     .title = &title,
                     .composer = &composer,
                     .source = &source});
    abcChordFileMode = 0;
}
