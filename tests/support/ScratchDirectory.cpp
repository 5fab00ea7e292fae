#include "ScratchDirectory.h"

#include <fstream>
#include <iterator>
#include <random>

ScratchDirectory::ScratchDirectory() : previous(std::filesystem::current_path())
{
    std::random_device seed;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    do
        path = base / ("tessmere-test-" + std::to_string(seed()));
    while (!std::filesystem::create_directory(path));
    std::filesystem::current_path(path);
}

ScratchDirectory::~ScratchDirectory()
{
    std::filesystem::current_path(previous);
    std::error_code ignored;
    // Tests may leave read-only entries behind; make them removable first.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path, ignored);
}

std::string ReadBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
