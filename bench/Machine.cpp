#include "Machine.h"

#include <cpuid.h>

#include <cstdio>
#include <cstring>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

namespace
{
const unsigned kFirstBrandLeaf = 0x80000002;
const unsigned kLastBrandLeaf = 0x80000004;

std::string Platform()
{
#ifdef _WIN32
    // Wine announces itself through an export of its ntdll; Windows has none.
    typedef const char*(CDECL * WineVersion)();
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    WineVersion version = ntdll ? reinterpret_cast<WineVersion>(reinterpret_cast<void*>(
                                      GetProcAddress(ntdll, "wine_get_version")))
                                : nullptr;
    if (version != nullptr)
        return std::string("Windows build under Wine ") + version();
    return "Windows";
#else
    utsname name = {};
    if (uname(&name) != 0)
        return "native";
    return std::string("native ") + name.sysname + " " + name.release;
#endif
}
} // namespace

std::string CpuModel()
{
    if (__get_cpuid_max(0x80000000, nullptr) < kLastBrandLeaf)
        return "unknown processor";
    unsigned words[12] = {};
    for (unsigned leaf = kFirstBrandLeaf; leaf <= kLastBrandLeaf; ++leaf)
    {
        unsigned* at = words + 4 * (leaf - kFirstBrandLeaf);
        __get_cpuid(leaf, &at[0], &at[1], &at[2], &at[3]);
    }
    char brand[sizeof words + 1] = {};
    std::memcpy(brand, words, sizeof words);
    std::string model(brand);
    const size_t first = model.find_first_not_of(' ');
    const size_t last = model.find_last_not_of(' ');
    return first == std::string::npos ? "unknown processor" : model.substr(first, last - first + 1);
}

void PrintMachine(const char* benchmark)
{
    std::printf("%s\nmachine: %s, %u logical cores; %s\n", benchmark, CpuModel().c_str(),
                std::thread::hardware_concurrency(), Platform().c_str());
    std::fflush(stdout);
}
