// The stage reader on bytes in memory: the stage list's line choice, the three sections, text mode,
// and inputs that must end in a defined way.
#include "stage/stage_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

// A temporary file holding `bytes`, read from the start (the same on Linux and Windows).
struct MemoryFile {
    explicit MemoryFile(std::string text) : bytes(std::move(text)) {
        file = std::tmpfile();
        if (file) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::rewind(file);
        }
    }
    ~MemoryFile() {
        if (file) std::fclose(file);
    }
    std::string bytes;
    std::FILE* file;
};

StageListLine ListLine(const std::string& list, int index) {
    MemoryFile f(list);
    return ReadStageListLine(f.file, index);
}

struct Parsed {
    bool started = false;
    StageStart start;
    std::vector<std::string> meshes;
    std::vector<int> meshLines;
    StageFileReader::MeshResult end = StageFileReader::FileEnd;
    std::vector<StageRecord> records;
    int dropped = 0;
};

Parsed Parse(const std::string& text) {
    MemoryFile f(text);
    StageFileReader reader(f.file);
    Parsed p;
    p.started = reader.ReadStart(p.start);
    if (!p.started) return p;
    std::string name;
    bool cut;
    int line;
    while ((p.end = reader.NextMesh(name, cut, line)) == StageFileReader::Mesh) {
        p.meshes.push_back(name);
        p.meshLines.push_back(line);
    }
    if (p.end == StageFileReader::FileEnd) return p;
    StageRecord r;
    while (reader.NextRecord(r)) p.records.push_back(r);
    p.dropped = reader.droppedRecordLine;
    return p;
}

// A record as "mesh type x,y,z yaw pitch p0 p1 p2 p3 p4 fields N line L".
std::string Describe(const StageRecord& r) {
    std::ostringstream out;
    out << r.meshName << " " << r.typeCode << " " << r.position.x << "," << r.position.y << "," << r.position.z << " "
        << r.yaw << " " << r.pitch;
    for (float p : r.params) out << " " << p;
    out << " fields " << r.fields << " line " << r.line;
    return out.str();
}
std::vector<std::string> Describe(const std::vector<StageRecord>& records) {
    std::vector<std::string> out;
    for (const StageRecord& r : records) out.push_back(Describe(r));
    return out;
}

}  // namespace

// 1 or less reads the first line; the last line needs no line feed; a list ending in a line feed has no
// line after it. 125 characters fit the line reader with their line feed; 126 leave the line feed for a
// second read, a line of its own; the wanted line itself is read whole, however long. The list and the
// stage files are read in text mode: CR LF reads as LF, a lone CR is a character, and the end-of-file
// byte ends the file.
TEST(StageList, PicksTheLineOfTheIndexCountingLongLinesTwice) {
    const std::string list = "one.txt\n two.txt\nthree.txt", fits(125, 'a'), over(126, 'b'), longer(130, 'c');
    const std::tuple<std::string, int, std::string, bool> cases[] = {
        {list, 1, "data/one.txt", true},
        {list, 0, "data/one.txt", true},
        {list, -5, "data/one.txt", true},
        {list, 3, "data/three.txt", true},
        {list, 4, "data/", false},
        {"one.txt\n", 2, "data/", false},
        {fits + "\nnext.txt\n", 2, "data/next.txt", true},
        {over + "\nnext.txt\n", 2, "data/", true},
        {over + "\nnext.txt\n", 3, "data/next.txt", true},
        {longer + "\nnext.txt\n", 2, "data/cccc", true},
        {"x\n" + longer + "\n", 2, "data/" + longer, true},
        {"one.txt\r\ntwo.txt\r\n", 1, "data/one.txt", true},
        {"one.txt\r\ntwo.txt\r\n", 2, "data/two.txt", true},
        {"one\r.txt\n", 1, "data/one\r.txt", true},
        {"one.txt\n\x1Atwo.txt\n", 2, "data/", false},
    };
    for (const auto& [text, index, path, present] : cases) {
        const StageListLine line = ListLine(text, index);
        EXPECT_EQ(std::pair(line.path, line.present), std::pair(path, present))
            << index << " in " << text.substr(0, 20);
    }
    EXPECT_EQ(ListLine(list, 3).line, 3);
}

TEST(StageList, KeepsTheSizeOfAHugeLineBounded) {
    StageListLine huge = ListLine(std::string(10 * 1024 * 1024, 'n'), 1);
    EXPECT_EQ(std::pair(huge.cut, huge.path.size()), std::pair(true, 5 + kMaxNameLength));  // "data/" and the name
    EXPECT_FALSE(ListLine("ok.txt\n", 1).cut);
}

// {header, start position, fields ended, the colon's line}. The line feed after a last comma ends an empty
// field; fields after the third are not read; the third number ended by the colon (text before it) is
// never converted: z stays 0. Fewer numbers leave the rest 0; blanks and junk read as atof reads them.
TEST(StageHeader, ThreeNumbersEachEndedByACommaOrLineFeed) {
    const std::tuple<std::string, D3DXVECTOR3, int, int> headers[] = {
        {"1.5,-2,3e1,\n:\n:\n", {1.5f, -2, 30}, 4, 2},
        {"4\n5\n6\n:\n:\n", {4, 5, 6}, 3, 4},
        {"1,2,3,4,99\n:\n:\n", {1, 2, 3}, 5, 2},
        {"7,8,9:\n:\n", {7, 8, 0}, 2, 1},
        {"5,\n:\n:\n", {5, 0, 0}, 2, 2},
        {" 2x, ,abc,\n:\n:\n", {2, 0, 0}, 4, 2},
    };
    for (const auto& [text, position, numbers, colonLine] : headers) {
        const StageStart start = Parse(text).start;
        EXPECT_EQ(std::tuple(start.position, start.numbers, start.colonLine, start.textBeforeColon),
                  std::tuple(position, numbers, colonLine, text == "7,8,9:\n:\n"))
            << text;
    }
}

TEST(StageHeader, AFileEndingBeforeAColonIsReported) {
    EXPECT_FALSE(Parse("").started);
    // The colon as the very last byte ends section 1; section 2 then ends with the file.
    Parsed lastColon = Parse("1,2,3,\n:");
    EXPECT_EQ(std::tuple(lastColon.started, lastColon.start.afterColon, lastColon.end),
              std::tuple(true, EOF, StageFileReader::FileEnd));
}

TEST(StageMeshList, EndsAtAColonLineAndKeepsBlankNames) {
    Parsed p = Parse("0,0,0,\n:\nhall.x\n\n door.x \n:\n");
    EXPECT_EQ(p.end, StageFileReader::ListEnd);
    EXPECT_EQ(p.meshes, (std::vector<std::string>{"hall.x", "", " door.x "}));
    EXPECT_EQ(p.meshLines, (std::vector<int>{3, 4, 5}));
    // The one character after the header's colon is dropped, whatever it is.
    Parsed h = Parse("0,0,0,\n:hall.x\nfloor.x\n:\n");
    EXPECT_EQ(h.start.afterColon, 'h');
    EXPECT_EQ(h.meshes, (std::vector<std::string>{"all.x", "floor.x"}));
}

TEST(StageRecords, CarryFieldsOneToSixOverButNeverTheParameters) {
    Parsed p = Parse(
        "0,0,0,\n:\n:\n"
        "a.x,3,1,2,3,45,30,9,8,7,6,5,4\n"  // thirteen fields: the last is ignored
        "b.x,4,10\n"                       // y, z, yaw, pitch carried over; params all zero
        "c.x\n"                            // type code and everything else carried over
        "\n");                             // an empty record: an empty mesh name
    EXPECT_EQ(Describe(p.records),
              (std::vector<std::string>{
                  "a.x 3 1,2,3 45 30 9 8 7 6 5 fields 13 line 4", "b.x 4 10,2,3 45 30 0 0 0 0 0 fields 3 line 5",
                  "c.x 4 10,2,3 45 30 0 0 0 0 0 fields 1 line 6", " 4 10,2,3 45 30 0 0 0 0 0 fields 1 line 7"}));

    // A first record that stops early: the missing fields are 0.
    EXPECT_EQ(Describe(Parse("0,0,0,\n:\n:\nhall.x,1,5\n").records),
              std::vector<std::string>{"hall.x 1 5,0,0 0 0 0 0 0 0 0 fields 3 line 4"});
}

TEST(StageRecords, TypeCodesAreTruncatedToSixteenBits) {
    Parsed p = Parse("0,0,0,\n:\n:\na,65537\na,-1\na, 10xyz\na,99999999999\na,-99999999999\na,\n");
    std::vector<int> codes;
    for (const StageRecord& r : p.records) codes.push_back(r.typeCode);
    // 99999999999 reads as the int limit 0x7FFFFFFF, its low 16 bits 65535; its negative as 0x80000000,
    // low bits 0; an empty field as 0.
    EXPECT_EQ(codes, (std::vector<int>{1, 65535, 10, 65535, 0, 0}));
}

TEST(StageRecords, ALastRecordWithoutItsLineFeedIsNotCreated) {
    Parsed p = Parse("0,0,0,\n:\n:\nhall.x,1\ndoor.x,4,0,0,60,0,0,1");
    EXPECT_EQ(std::pair(p.records.size(), p.dropped), std::pair(size_t{1}, 5));  // dropped: its line
    EXPECT_EQ(Parse("0,0,0,\n:\n:\nhall.x,1\n").dropped, 0);
}

TEST(StageRecords, HostileInputsEndWithBoundedFields) {
    // A 10 MB name, a 10 MB number, NUL bytes and a file of only commas.
    Parsed name = Parse("0,0,0,\n:\n:\n" + std::string(10 * 1024 * 1024, 'n') + ",1\n");
    ASSERT_EQ(name.records.size(), 1u);
    const StageRecord& r = name.records[0];
    EXPECT_EQ(std::tuple(r.meshNameCut, r.meshName.size(), r.typeCode), std::tuple(true, size_t{kMaxNameLength}, 1));

    Parsed number = Parse("0,0,0,\n:\n:\nhall.x,1," + std::string(10 * 1024 * 1024, '1') + "\n");
    // The first 255 digits: far beyond a float.
    const StageRecord& big = number.records[0];
    EXPECT_EQ(std::tuple(big.numberCut, std::isinf(big.position.x), big.meshNameCut), std::tuple(true, true, false));

    Parsed nul = Parse(std::string("0,0,0,\n:\nha\0ll.x\n:\nha\0ll.x,1\n", 29));
    EXPECT_EQ(nul.meshes, std::vector<std::string>{std::string("ha\0ll.x", 7)});
    EXPECT_EQ(nul.records[0].meshName, std::string("ha\0ll.x", 7));

    Parsed commas = Parse(std::string(1024 * 1024, ','));
    // Never a colon: the file ends before the start position does.
    EXPECT_EQ(std::pair(commas.started, commas.start.numbers), std::pair(false, 1024 * 1024));
}
