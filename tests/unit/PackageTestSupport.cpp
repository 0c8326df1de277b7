#include "PackageTestSupport.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string PackageFixture(const std::string& name) {
    return std::string(TAVRIN_TEST_DATA) + "/package/" + name;
}

std::map<std::string, std::string> ReadTree(const std::string& root) {
    std::map<std::string, std::string> tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        const std::string relative = it->path().lexically_relative(root).generic_string();
        std::string contents = "<dir>";
        if (!it->is_directory())
            ReadWholeFile(it->path().string(), contents);
        tree[relative] = contents;
    }
    return tree;
}
