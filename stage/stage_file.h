// The one reader of the stage list and the stage files. The loader, the content checker and the fuzz
// target all read through it, so what the game does with a file and what the checker says about it
// cannot drift apart.
//
// Text is read the way Windows reads a file opened in text mode: CR LF reads as LF (a lone CR stays a
// character), and the byte 0x1A ends the file. Nothing is trimmed anywhere.
//
// Memory is bounded whatever the file holds: a name (stage list line, mesh name, a record's mesh) keeps
// at most kMaxNameLength characters and a number field at most kMaxNumberLength; the rest of an over-long
// field is read and dropped and the field is marked as cut. Mesh names and records are handed out one at
// a time, never gathered.
#pragma once

#include <d3dx9.h>

#include <cstdint>
#include <cstdio>
#include <string>

constexpr size_t kMaxNameLength = 1024;
constexpr size_t kMaxNumberLength = 255;
// The stage list is skipped line by line with a reader of this many bytes (the last for the NUL): a line
// of 126 characters or more before the wanted one counts as two lines.
constexpr int kStageListLineBuffer = 127;

// Opens a stage list or stage file for reading; null when it cannot be opened or is a folder. Every
// stage text is opened here and nowhere else.
std::FILE* OpenStageText(const std::string& path);

// A text file, character by character, as text mode reads it.
class StageTextReader {
public:
    explicit StageTextReader(std::FILE* file) : file(file) {}
    int Get();                               // the next character (0..255), or EOF
    int line() const { return lineNumber; }  // 1-based line of the next character
    bool sawNul() const { return nul; }

private:
    int Raw();
    std::FILE* file;
    int held = -2;  // a character read ahead after a CR; -2 when none
    bool ended = false;
    bool nul = false;
    int lineNumber = 1;
};

// The stage list's line for one stage.
struct StageListLine {
    bool present = false;  // the list has that line (false: the path is "data/" alone)
    bool cut = false;      // longer than kMaxNameLength: not opened
    bool nul = false;      // holds a NUL byte: not opened (no file name can hold one)
    std::string path;      // "data/" + the line, as far as it was kept
    int line = 0;          // the line of the list it was read from (counting 127-byte pieces as the game does)
};

// Reads the line for `stageIndex` (1-based; 1 or less reads the first line) from an open stage list:
// skips stageIndex − 1 lines with the 127-byte line reader, then takes characters up to a line feed or
// the end of the file.
StageListLine ReadStageListLine(std::FILE* list, int stageIndex);

// Section 1, the player's start.
struct StageStart {
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};  // coordinates the header does not give are 0
    int numbers = 0;                         // fields ended by a comma or line feed before the colon
    bool textBeforeColon = false;            // characters between the last separator and the colon (not read)
    int colonLine = 0;
    int afterColon = EOF;  // the one character read and dropped after the colon (a line feed in good data)
};

// One object record of section 3.
struct StageRecord {
    std::string meshName;  // field 0, verbatim
    bool meshNameCut = false;
    uint16_t typeCode = 0;  // field 1: atoi, truncated to 16 bits
    D3DXVECTOR3 position{0.0f, 0.0f, 0.0f};
    float yaw = 0.0f, pitch = 0.0f;
    float params[5] = {0, 0, 0, 0, 0};  // fields 7 to 11; zero when not given
    int fields = 0;                     // fields on the record's line (fields 1 to 6 not given carry over)
    bool numberCut = false;             // a number field longer than kMaxNumberLength
    int line = 0;
};

// Sections of a stage file, read in order: ReadStart once, NextMesh until it stops, then NextRecord
// until it stops.
class StageFileReader {
public:
    explicit StageFileReader(std::FILE* file) : text(file) {}

    // False when the file ends before the colon of section 1.
    bool ReadStart(StageStart& out);

    enum MeshResult { Mesh, ListEnd, FileEnd };
    // Mesh: a name ended by a line feed. ListEnd: the colon was reached (characters before it on its line
    // are dropped; one character after it is read and dropped). FileEnd: the file ended before the colon.
    MeshResult NextMesh(std::string& name, bool& cut, int& line);
    int listEndAfterColon = EOF;  // after ListEnd: the character dropped after the colon

    // A record ended by its line feed; false at the end of the file.
    bool NextRecord(StageRecord& out);
    // After NextRecord returned false: the line of a last record that had no line feed (0 when none).
    int droppedRecordLine = 0;

    bool sawNul() const { return text.sawNul(); }

private:
    StageTextReader text;
    // Fields 1 to 6 of the previous record, kept for a record that stops early.
    uint16_t lastTypeCode = 0;
    D3DXVECTOR3 lastPosition{0.0f, 0.0f, 0.0f};
    float lastYaw = 0.0f, lastPitch = 0.0f;
};

// The conversions the stage data goes through: atoi (clamped to int, as the Windows runtime does on
// overflow) truncated to 16 bits, and atof.
uint16_t StageTypeCode(const std::string& text);
float StageNumber(const std::string& text);
