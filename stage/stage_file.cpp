// Reading the stage list and the stage files, character by character, in text mode.
#include "stage/stage_file.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

std::FILE* OpenStageText(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "r");
    if (!file) return nullptr;
    // A folder opens for reading here but holds no text: it is not a stage file.
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

int StageTextReader::Raw() {
    if (ended) return EOF;
    int c = std::fgetc(file);
    if (c == EOF || c == 0x1A) {  // text mode stops at the end-of-file byte
        ended = true;
        return EOF;
    }
    if (c == 0) nul = true;
    return c;
}

int StageTextReader::Get() {
    int c;
    if (held != -2) {
        c = held;
        held = -2;
    } else {
        c = Raw();
    }
    if (c == '\r') {
        int after = Raw();
        if (after == '\n')
            c = '\n';
        else
            held = after;  // a lone CR stays a character (EOF is held too, and read again next time)
    }
    if (c == '\n') ++lineNumber;
    return c;
}

namespace {

void Append(std::string& buffer, int c, size_t limit, bool& cut) {
    if (buffer.size() < limit)
        buffer.push_back(static_cast<char>(c));
    else
        cut = true;
}

}  // namespace

uint16_t StageTypeCode(const std::string& text) {
    // atoi: leading blanks, a sign, digits; an overflow reads as the int limit as the Windows runtime has it.
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    return static_cast<uint16_t>(static_cast<unsigned>(static_cast<int>(value)) & 0xFFFFu);
}

float StageNumber(const std::string& text) { return static_cast<float>(std::atof(text.c_str())); }

StageListLine ReadStageListLine(std::FILE* list, int stageIndex) {
    StageTextReader text(list);
    StageListLine out;
    // Skip stageIndex − 1 lines as fgets with a 127-byte buffer does: at most 126 characters a piece,
    // a piece ends after its line feed; at the end of the file nothing more is skipped.
    bool atEnd = false;
    for (int skip = 1; skip < stageIndex && !atEnd; ++skip) {
        int taken = 0;
        while (taken < kStageListLineBuffer - 1) {
            int c = text.Get();
            if (c == EOF) {
                atEnd = true;
                break;
            }
            ++taken;
            if (c == '\n') break;
        }
    }
    out.path = "data/";
    out.line = text.line();
    for (;;) {
        int c = text.Get();
        if (c == EOF || c == '\n') {
            if (c == '\n' || out.path.size() > 5 || out.cut) out.present = true;
            break;
        }
        out.present = true;
        if (c == 0) out.nul = true;
        Append(out.path, c, kMaxNameLength + 5, out.cut);
    }
    return out;
}

bool StageFileReader::ReadStart(StageStart& out) {
    out = StageStart{};
    std::string buffer;
    bool cut = false;
    float coordinates[3] = {0.0f, 0.0f, 0.0f};
    for (;;) {
        int c = text.Get();
        if (c == EOF) return false;
        if (c == ':') {
            out.textBeforeColon = !buffer.empty();
            out.colonLine = text.line();
            out.afterColon = text.Get();
            break;
        }
        if (c == ',' || c == '\n') {
            if (out.numbers < 3) coordinates[out.numbers] = StageNumber(buffer);
            buffer.clear();
            if (out.numbers < INT_MAX) ++out.numbers;
        } else {
            Append(buffer, c, kMaxNumberLength, cut);
        }
    }
    out.position = D3DXVECTOR3(coordinates[0], coordinates[1], coordinates[2]);
    return true;
}

StageFileReader::MeshResult StageFileReader::NextMesh(std::string& name, bool& cut, int& line) {
    name.clear();
    cut = false;
    line = text.line();
    for (;;) {
        int c = text.Get();
        if (c == EOF) return FileEnd;
        if (c == ':') {
            listEndAfterColon = text.Get();
            return ListEnd;
        }
        if (c == '\n') return Mesh;
        Append(name, c, kMaxNameLength, cut);
    }
}

bool StageFileReader::NextRecord(StageRecord& out) {
    out.meshName.clear();
    out.meshNameCut = false;
    out.numberCut = false;
    out.fields = 0;
    for (float& p : out.params) p = 0.0f;
    out.line = text.line();
    std::string buffer;
    bool started = false;
    for (;;) {
        int c = text.Get();
        if (c == EOF) {
            droppedRecordLine = started ? out.line : 0;
            return false;
        }
        started = true;
        if (c != ',' && c != '\n') {
            if (out.fields == 0)
                Append(buffer, c, kMaxNameLength, out.meshNameCut);
            else if (out.fields < 12)
                Append(buffer, c, kMaxNumberLength, out.numberCut);
            continue;  // fields after the twelfth are not kept at all
        }
        switch (out.fields) {
            case 0: out.meshName = buffer; break;
            case 1: lastTypeCode = StageTypeCode(buffer); break;
            case 2: lastPosition.x = StageNumber(buffer); break;
            case 3: lastPosition.y = StageNumber(buffer); break;
            case 4: lastPosition.z = StageNumber(buffer); break;
            case 5: lastYaw = StageNumber(buffer); break;
            case 6: lastPitch = StageNumber(buffer); break;
            default:
                if (out.fields <= 11) out.params[out.fields - 7] = StageNumber(buffer);
                break;
        }
        buffer.clear();
        if (out.fields < INT_MAX) ++out.fields;
        if (c == '\n') {
            out.typeCode = lastTypeCode;
            out.position = lastPosition;
            out.yaw = lastYaw;
            out.pitch = lastPitch;
            return true;
        }
    }
}
