#include "lessons/exercise_parts.h"

#include <cstdio>
#include <vector>

#include "base/small_routines.h"
#include "base/stops.h"
#include "lessons/lesson_state.h"
#include "platform/paths.h"

ExercisePart exerciseParts[maxExerciseParts + 1];
int32_t exercisePartCount = 0;
int32_t currentPartFirst = 0;
int32_t currentPartLast = 0;
int32_t currentPartRefNote = 0;
int32_t currentPartStartNote = 0;

void setCurrentExercisePart(int32_t part)
{
    const ExercisePart &p = exerciseParts[part];
    currentPartFirst = p.firstNote;
    currentPartLast = p.lastNote;
    currentPartRefNote = p.refNote;
    currentPartStartNote = p.startNote;
}

int32_t intervalCodeOf(char letter, int32_t n)
{
    if (letter == 'n') return 0;
    if (n == 0 && (letter == 'u' || letter == 'd' || letter == 'r' || letter == 'R')) return 1;
    switch (letter) {
    case 'u': return 3 * n - 1;
    case 'd': return 3 * n;
    case 'r': return 3 * n + 1;
    case 'R': return 38 + n;
    default: return -1;
    }
}

namespace {

constexpr char partKindLetters[] = "fscrh";
constexpr char partModeLetters[] = "abcxr";

// One part line being parsed: its text (continuations joined) and the cursor.
struct PartLine {
    const std::string *fileName;
    std::string text;
    int32_t lineNumber; // 1-based, of the line's first physical line
    int32_t cursor = 0;
    bool syntaxError = false;

    char at(int32_t pos) const { return pos < static_cast<int32_t>(text.size()) ? text[pos] : ' '; }
};

[[noreturn]] void partsStop(const std::string &fileName, const std::string &what, int64_t value, int32_t stop)
{
    writeDebugDetail("readExerciseParts: " + what + " in " + fileName.substr(0, 200) + "=" + std::to_string(value));
    stopProgram(0, stop);
}

bool isPartBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Over blanks, tabs and line feeds, but never beyond position 999.
void skipPartBlanks(PartLine &line)
{
    while (line.cursor < maxPartLineLength - 1 && isPartBlank(line.at(line.cursor))) ++line.cursor;
}

// Unsigned decimal at the cursor; no digit gives 0 and leaves the cursor.
int32_t scanPartNumber(PartLine &line)
{
    int64_t value = 0;
    while (isDigit(line.at(line.cursor))) {
        value = value * 10 + (line.at(line.cursor) - '0');
        if (value > INT32_MAX)
            partsStop(*line.fileName, "number too large on line " + std::to_string(line.lineNumber), value,
                      stopPartsNumberTooLarge);
        ++line.cursor;
    }
    return static_cast<int32_t>(value);
}

int32_t readField(PartLine &line)
{
    skipPartBlanks(line);
    return scanPartNumber(line);
}

// A separator or letter: the next character after blanks, always consumed.
char readCharacter(PartLine &line)
{
    skipPartBlanks(line);
    const char c = line.at(line.cursor);
    if (line.cursor < maxPartLineLength) ++line.cursor;
    return c;
}

void expect(PartLine &line, char wanted)
{
    if (readCharacter(line) != wanted) line.syntaxError = true;
}

int32_t letterIndex(const char *letters, char c)
{
    for (int32_t k = 0; letters[k] != 0; ++k)
        if (letters[k] == c) return k;
    return -1;
}

void parsePartLine(PartLine &line, ExercisePart &part, int32_t previousLast)
{
    const std::string &file = *line.fileName;
    const std::string where = "part line " + std::to_string(line.lineNumber);

    part.firstNote = readField(line);
    if (part.firstNote != 0 && part.firstNote != previousLast + 1)
        partsStop(file, where + ": first note out of sequence", part.firstNote, stopPartsFirstOutOfSequence);
    if (part.firstNote > lessonNoteCount)
        partsStop(file, where + ": first note beyond the melody", part.firstNote, stopPartsFirstBeyondMelody);
    expect(line, ';');

    part.lastNote = readField(line);
    if (part.lastNote >= lessonNoteCount)
        partsStop(file, where + ": last note beyond the melody", part.lastNote, stopPartsLastBeyondMelody);
    expect(line, ';');

    const int32_t kind = letterIndex(partKindLetters, readCharacter(line));
    if (kind < 0) line.syntaxError = true;
    part.kind = kind < 0 ? 0 : kind;
    expect(line, ';');

    part.lowNote = readField(line);
    if (part.lowNote < 0) partsStop(file, where + ": lowest note", part.lowNote, stopPartsLowNegative);
    if (line.cursor < maxPartLineLength) ++line.cursor; // the character right behind lo, unchecked
    part.highNote = readField(line);
    if (part.highNote > 51) partsStop(file, where + ": highest note", part.highNote, stopPartsHighAbove51);
    expect(line, ';');

    const int32_t mode = letterIndex(partModeLetters, readCharacter(line));
    if (mode < 0) line.syntaxError = true;
    part.mode = mode < 0 ? 0 : mode;
    expect(line, ';');

    part.refNote = readField(line);
    if (part.refNote > 50) partsStop(file, where + ": reference note", part.refNote, stopPartsRefNoteRange);

    // The start note, drawn now. A line that already failed its syntax stops
    // below; only a sound range is drawn from.
    part.startNote = part.lowNote;
    if (!line.syntaxError) {
        if (part.lowNote > part.highNote)
            partsStop(file, where + ": lowest note above the highest", part.lowNote, stopPartsLowAboveHigh);
        int32_t p = randomBelow(part.highNote - part.lowNote + 1) + part.lowNote;
        if (part.kind == partWhiteKeys) {
            // A black key moves to the white key above it inside the range,
            // else to the one below: one draw, always ends.
            const int32_t pc = p % 12;
            if (pc == 1 || pc == 4 || pc == 6 || pc == 9 || pc == 11) p = p < part.highNote ? p + 1 : p - 1;
        }
        part.startNote = p;
    }
    expect(line, ';');

    const char letter = readCharacter(line);
    part.intervalCode = 0;
    if (letter == 'u' || letter == 'd' || letter == 'r' || letter == 'R') {
        const int32_t n = scanPartNumber(line);
        if (n > 12) {
            const int32_t stop = letter == 'u' ? stopPartsUpRange
                                 : letter == 'd' ? stopPartsDownRange
                                 : letter == 'r' ? stopPartsEitherRange
                                                 : stopPartsRCodeRange;
            partsStop(file, where + ": interval number", n, stop);
        }
        part.intervalCode = intervalCodeOf(letter, n);
    } else if (letter != 'n') {
        line.syntaxError = true;
    }
    expect(line, '.');

    part.marker = partMarker;
    part.active = 0;
    if (line.syntaxError) partsStop(file, where + ": syntax error", line.cursor, stopPartsSyntax);
}

} // namespace

void readExerciseParts(const std::string &fileName, int32_t &partCount, double &speedFactor)
{
    if (fileName.empty() || fileName.size() > 4095) partsStop(fileName, "file name", 0, stopPartsAssign);
    std::FILE *f = std::fopen(resolveDataPath(fileName).c_str(), "rb");
    if (!f) partsStop(fileName, "cannot open", 0, stopPartsOpen);
    std::string bytes;
    char buffer[4096];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, got);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) partsStop(fileName, "read error", 0, stopPartsRead);

    // Physical lines, each without its LF and one trailing CR.
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }

    if (lines.empty()) partsStop(fileName, "no exercise type line", 0, stopPartsTypeLine);
    exerciseType = exerciseUnknown;
    for (const ExerciseTypeKeyword &k : exerciseTypeKeywords)
        if (lines[0] == k.keyword) exerciseType = k.code;
    if (exerciseType == exerciseUnknown) partsStop(fileName, "unknown exercise type", 1, stopPartsUnknownType);

    if (lines.size() < 2) partsStop(fileName, "no speed factor line", 2, stopPartsSpeedLine);
    speedFactor = decimalTextToReal(lines[1].substr(0, 255));
    if (!(speedFactor > 0.0)) partsStop(fileName, "speed factor not above 0", 2, stopPartsSpeedNotPositive);

    int32_t i = 0;
    int32_t previousLast = -1;
    size_t next = 2;
    while (next < lines.size()) {
        PartLine line{&fileName, lines[next], static_cast<int32_t>(next + 1)};
        ++next;
        // A backslash at the end continues the line; the break reads as a blank.
        while (!line.text.empty() && line.text.back() == '\\') {
            line.text.back() = ' ';
            if (next >= lines.size()) break;
            line.text += lines[next++];
            if (line.text.size() > static_cast<size_t>(maxPartLineLength)) break;
        }
        if (line.text.size() > static_cast<size_t>(maxPartLineLength))
            partsStop(fileName, "part line longer than 1000 characters, line", line.lineNumber,
                      stopPartsLineTooLong);
        skipPartBlanks(line);
        const char c = line.at(line.cursor);
        if (!isDigit(c) && c != ';') break; // the list ends here
        if (i == maxExerciseParts)
            partsStop(fileName, "more than 1024 part lines, line", line.lineNumber, stopPartsTooMany);
        parsePartLine(line, exerciseParts[i], previousLast);
        previousLast = exerciseParts[i].lastNote;
        ++i;
    }
    if (i == 0) partsStop(fileName, "no part line", 0, stopPartsNoPartLine);

    partCount = i;
    exercisePartCount = i;
    exerciseParts[i - 1].marker = lastPartMarker;
    exerciseParts[i].firstNote = exerciseParts[i - 1].lastNote + 1;
    exerciseParts[i].lastNote = exerciseParts[i - 1].lastNote + 1;
    setCurrentExercisePart(0);
    exerciseParts[0].active = 1;
}
