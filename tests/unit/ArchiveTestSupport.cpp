#include "ArchiveTestSupport.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

std::string ArchiveFixture(const std::string& name) {
    return std::string(TAVRIN_TEST_DATA) + "/archive/" + name;
}

TScratchDir::TScratchDir() {
    static std::atomic<int> counter{0};
    std::ostringstream name;
    name << "tavrin-archive-" << std::hex << std::random_device{}() << "-" << counter++;
    FPath = (fs::temp_directory_path() / name.str()).string();
    fs::create_directories(FPath);
}

TScratchDir::~TScratchDir() {
    std::error_code ec;
    // Read-only files would refuse deletion on Windows.
    for (auto it = fs::recursive_directory_iterator(FPath, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(FPath, ec);
}

std::string TScratchDir::operator/(const std::string& relative) const {
#ifdef _WIN32
    return FPath + "\\" + relative;
#else
    std::string path = FPath + "/" + relative;
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
#endif
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return false;
    contents.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void WriteWholeFile(const std::string& path, const std::string& contents) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

int CountTreeItems(const std::string& path) {
    std::error_code ec;
    int count = 0;
    for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        ++count;
    return count;
}
