#include "ScratchDirectory.h"

#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

ScratchDirectory::ScratchDirectory() : previous(fs::current_path())
{
    std::random_device seed;
    do
        path = fs::temp_directory_path() / ("tessmere-test-" + std::to_string(seed()));
    while (!fs::create_directory(path));
    fs::current_path(path);
}

ScratchDirectory::~ScratchDirectory()
{
    fs::current_path(previous);
    std::error_code ignored;
    // Tests may leave read-only entries behind; make them removable first.
    for (const auto& entry : fs::recursive_directory_iterator(path, ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path, ignored);
}

std::string ReadBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}
