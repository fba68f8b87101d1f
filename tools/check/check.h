// The content checker: what the game relies on in every file under data/, checked before anyone plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "stage/factory.h"

namespace content_check {

struct Problem {
    std::string file;     // path as the game names it, e.g. "data/texture/blood.png"
    std::string problem;  // one line
    int line = 0;         // the file's line, when the problem has one
    bool note = false;    // allowed, but worth knowing: printed, not counted as a failure
};

// "file:line: problem", "file: problem", with "note: " before a note's text.
std::string Format(const Problem& problem);

// Every check of a game folder (the folder that holds data/): pictures, sounds, meshes and, when
// data/stagedata.txt exists (or `stagesRequired`), the stage list and every stage it names. Paths in the
// problems are relative to gameDir.
std::vector<Problem> CheckGameFolder(const std::string& gameDir, bool stagesRequired = false);

// The same for a data folder given by its own path, whatever it is called: a folder not named "data" is
// checked through a temporary game folder in which a link named data leads to it, and the problems then
// name its files by the path as given ("data-test/texture/blood.png"). A path that is not a folder is
// one problem.
std::vector<Problem> CheckDataFolder(const std::string& dataDir, bool stagesRequired = false);

// The stage list and its stages, read with the game's own reader, in the current folder (the game folder).
// Without data/stagedata.txt: nothing to check, or one problem when `required`.
// The kinds of object come from the game's factory table; tests may give a table of their own.
void CheckStages(bool required, std::vector<Problem>& out, const ObjectClass* (*findClass)(uint16_t) = FindObjectClass);

// Single-file checks, also used by the tests. `path` is opened as given; problems name `name`.
void CheckPicture(const std::string& path, const std::string& name, int width, int height, bool needsAlpha,
                  std::vector<Problem>& out);
void CheckWave(const std::string& path, const std::string& name, std::vector<Problem>& out);
// The picture through the game's own texture loader, as the game loads it (path relative to the game folder,
// which is the current directory).
void CheckPictureWithGame(const std::string& path, unsigned width, unsigned height, std::vector<Problem>& out);
// The sound through the game's own WAVE loader, with the game folder as the current directory.
void CheckWaveWithGame(const std::string& name, std::vector<Problem>& out);
// The mesh through the game's own loader, with the game folder as the current directory (the material
// texture names are relative to it). minMaterials 0: no rule on the count. `lamps`: the materials the
// game recolours as lamps, which must be exactly the file's materials named "lamp..." (empty: no rule).
void CheckMesh(const std::string& name, unsigned minMaterials, const std::vector<unsigned>& lamps,
               std::vector<Problem>& out);

// The fixed names the game loads.
struct PictureRule {
    const char* name;
    int width, height;
    bool alpha;
};
const std::vector<PictureRule>& PictureRules();
const std::vector<std::string>& SoundNames();
struct MeshRule {
    const char* name;
    unsigned minMaterials;
    std::vector<unsigned> lamps;
};
const std::vector<MeshRule>& MeshRules();

}  // namespace content_check
