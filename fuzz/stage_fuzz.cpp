// Fuzz target for the stage reader: any bytes as a stage list and a stage file, read the way the load
// does, with the reader's promises checked (bounded names and numbers, lines that only move forward).
// Input: one byte for the stage index, the stage list, the two bytes FF FE, the stage file (without the
// separator the whole rest is both the list and the file).
#include <cstdint>
#include <cstdio>
#include <string>

#include "stage/stage_file.h"

namespace {

std::FILE* OpenBytes(const std::string& bytes) {
    if (bytes.empty()) return std::tmpfile();
    return fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
}

void Check(bool condition) {
    if (!condition) __builtin_trap();
}

void ReadList(const std::string& list, int index) {
    std::FILE* file = OpenBytes(list);
    if (!file) return;
    StageListLine line = ReadStageListLine(file, index);
    std::fclose(file);
    Check(line.path.compare(0, 5, "data/") == 0);
    Check(line.path.size() <= kMaxNameLength + 5);
    if (line.cut) Check(line.path.size() == kMaxNameLength + 5);
    Check(line.present || line.path == "data/");
}

void ReadStage(const std::string& stage) {
    std::FILE* file = OpenBytes(stage);
    if (!file) return;
    StageFileReader reader(file);
    StageStart start;
    if (reader.ReadStart(start)) {
        Check(start.numbers >= 0);
        std::string name;
        bool cut = false;
        int line = 0, lastLine = 0;
        StageFileReader::MeshResult result;
        while ((result = reader.NextMesh(name, cut, line)) == StageFileReader::Mesh) {
            Check(name.size() <= kMaxNameLength);
            Check(line > lastLine);
            lastLine = line;
        }
        if (result == StageFileReader::ListEnd) {
            StageRecord record;
            lastLine = 0;
            while (reader.NextRecord(record)) {
                Check(record.meshName.size() <= kMaxNameLength);
                Check(record.fields >= 1);
                Check(record.line > lastLine);
                lastLine = record.line;
                for (int i = record.fields - 7; i < 5; ++i)
                    if (i >= 0) Check(record.params[i] == 0.0f);  // parameters not given are zero
            }
            Check(reader.droppedRecordLine == 0 || reader.droppedRecordLine > lastLine);
        }
    }
    std::fclose(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const int index = static_cast<int8_t>(data[0]);
    std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t split = rest.find("\xFF\xFE");
    std::string list = split == std::string::npos ? rest : rest.substr(0, split);
    std::string stage = split == std::string::npos ? rest : rest.substr(split + 2);
    ReadList(list, index);
    ReadStage(stage);
    return 0;
}
