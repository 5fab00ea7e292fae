// libFuzzer entry: any bytes as the model file; a broken invariant aborts with its description.
#include "LoaderInvariants.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace fs = std::filesystem;

namespace
{
// The fuzzer keeps its own working directory, where it reads and writes its corpus and
// artifacts, so the model file lives in a folder of its own instead.
class FuzzFolder
{
  public:
    FuzzFolder()
    {
        std::random_device seed;
        do
            path = fs::temp_directory_path() / ("tessmere-fuzz-" + std::to_string(seed()));
        while (!fs::create_directory(path));
    }
    ~FuzzFolder() { Remove(); }

    // Also called before an abort, which skips the destructor.
    void Remove() const
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }

    fs::path path;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const FuzzFolder folder;
    const std::string breach = LoaderInvariantBreach(
        std::string(reinterpret_cast<const char*>(data), size), folder.path / "model.dat");
    if (!breach.empty())
    {
        std::fprintf(stderr, "model loader invariant broken: %s\n", breach.c_str());
        folder.Remove();
        std::abort();
    }
    return 0;
}
