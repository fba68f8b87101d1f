// quillmoor_check_content DATA_DIR: checks a game's data folder; prints "file: problem" lines, exits 1 on any.
#include <cstdio>
#include <filesystem>

#include "tools/check/check.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
        return 2;
    }
    // File names inside the content are relative to the folder that holds data/.
    const std::filesystem::path data = std::filesystem::absolute(argv[1]).lexically_normal();
    const std::filesystem::path game = data.filename().empty() ? data.parent_path().parent_path() : data.parent_path();
    const auto problems = content_check::CheckGameFolder(game.string());
    for (const auto& p : problems) std::printf("%s: %s\n", p.file.c_str(), p.problem.c_str());
    return problems.empty() ? 0 : 1;
}
