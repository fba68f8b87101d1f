// quillmoor_check_content [--require-stages] DATA_DIR: checks a data folder, whatever its name; prints
// "file:line: problem" lines (notes too), exits 1 on any problem that is not a note. The stages are
// checked whenever data/stagedata.txt exists; --require-stages makes a missing stage list a problem.
#include <cstdio>
#include <string>

#include "tools/check/check.h"

int main(int argc, char** argv) {
    bool requireStages = argc == 3 && std::string(argv[1]) == "--require-stages";
    if (argc != 2 && !requireStages) {
        std::fprintf(stderr, "usage: %s [--require-stages] DATA_DIR\n", argv[0]);
        return 2;
    }
    const auto problems = content_check::CheckDataFolder(argv[argc - 1], requireStages);
    int failures = 0;
    for (const auto& p : problems) {
        std::printf("%s\n", content_check::Format(p).c_str());
        if (!p.note) ++failures;
    }
    return failures ? 1 : 0;
}
