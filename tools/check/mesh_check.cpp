// The content checker's rules for meshes.
#include <fstream>
#include <string>

#include "tools/check/check.h"

namespace content_check {

void CheckMesh(const std::string& name, unsigned minMaterials, std::vector<Problem>& out) {
    const std::string path = "data/xfile/" + name;
    std::ifstream in(path, std::ios::binary);
    char head[16] = {};
    if (!in) {
        out.push_back({path, "missing or unreadable"});
        return;
    }
    in.read(head, sizeof head);
    const std::string h(head, size_t(in.gcount()));
    if (h.size() < 16 || h.compare(0, 4, "xof ") != 0 || h.compare(8, 4, "txt ") != 0)
        out.push_back({path, "not a text .x file"});
    (void)minMaterials;
}

}  // namespace content_check
