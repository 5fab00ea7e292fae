// Copies a program without one of its named resources, to see how the program copes.
//
// Usage: dropresource SOURCE TARGET TYPE NAME
// TYPE is a number (2 for a bitmap) or a name. Exit code 0 when the copy loads and no longer
// holds the resource, 1 when it could not be made, 2 on a usage error. Paths are best given
// relative to the working directory: Wine reads them as Windows paths. Give it a stripped
// program: the update moves the sections after the resources but not the debugging
// information at the end of the file.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
// A resource type or name: a number, or a string kept here (the pointers that enumeration
// hands out do not outlive it).
struct ResourceId
{
    std::string text;
    WORD number = 0;

    static ResourceId From(LPCSTR id)
    {
        ResourceId result;
        if (IS_INTRESOURCE(id))
            result.number = static_cast<WORD>(reinterpret_cast<uintptr_t>(id));
        else
            result.text = id;
        return result;
    }

    LPCSTR Get() const { return text.empty() ? MAKEINTRESOURCEA(number) : text.c_str(); }

    bool operator==(const ResourceId& other) const
    {
        return text == other.text && number == other.number;
    }
};

struct Resource
{
    ResourceId type;
    ResourceId name;
    WORD language;
    std::vector<char> data;
};

struct Collection
{
    HMODULE module;
    ResourceId type;
    ResourceId name;
    std::vector<Resource> resources;
};

BOOL CALLBACK CollectLanguage(HMODULE module, LPCSTR, LPCSTR, WORD language, LONG_PTR context)
{
    Collection& collection = *reinterpret_cast<Collection*>(context);
    const HRSRC found =
        FindResourceExA(module, collection.type.Get(), collection.name.Get(), language);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return FALSE;
    collection.resources.push_back(
        {collection.type, collection.name, language,
         std::vector<char>(bytes, bytes + SizeofResource(module, found))});
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR context)
{
    Collection& collection = *reinterpret_cast<Collection*>(context);
    collection.name = ResourceId::From(name);
    return EnumResourceLanguagesA(module, type, name, CollectLanguage, context);
}

BOOL CALLBACK CollectType(HMODULE module, LPSTR type, LONG_PTR context)
{
    Collection& collection = *reinterpret_cast<Collection*>(context);
    collection.type = ResourceId::From(type);
    return EnumResourceNamesA(module, type, CollectName, context);
}

// Loaded as data only: nothing of the program runs.
HMODULE LoadAsData(const char* path)
{
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

bool ReadResources(const char* path, std::vector<Resource>& resources)
{
    Collection collection = {LoadAsData(path), {}, {}, {}};
    if (!collection.module)
        return false;
    const bool read =
        EnumResourceTypesA(collection.module, CollectType, reinterpret_cast<LONG_PTR>(&collection));
    FreeLibrary(collection.module);
    resources = collection.resources;
    return read;
}

// Wine 8 keeps a resource that UpdateResource is asked to delete (no data); writing every other
// resource into an emptied resource section drops it there as well as on Windows.
bool WriteResources(const char* target, const std::vector<Resource>& resources)
{
    const HANDLE update = BeginUpdateResourceA(target, TRUE);
    if (!update)
        return false;
    bool written = true;
    for (const Resource& resource : resources)
    {
        std::vector<char> data = resource.data; // UpdateResourceA takes a non-const pointer
        written = written &&
                  UpdateResourceA(update, resource.type.Get(), resource.name.Get(),
                                  resource.language, data.data(), static_cast<DWORD>(data.size()));
    }
    return EndUpdateResourceA(update, !written) && written;
}

bool Holds(const char* path, const ResourceId& type, const ResourceId& name)
{
    const HMODULE module = LoadAsData(path);
    if (!module)
        return false;
    const bool found = FindResourceA(module, name.Get(), type.Get()) != nullptr;
    FreeLibrary(module);
    return found;
}

ResourceId ParseType(const char* argument)
{
    char* end = nullptr;
    const unsigned long number = std::strtoul(argument, &end, 10);
    if (end != argument && *end == '\0')
        return ResourceId::From(MAKEINTRESOURCEA(number));
    return ResourceId::From(argument);
}

int Fail(const char* what, const char* path)
{
    std::fprintf(stderr, "dropresource: %s %s (error %lu)\n", what, path, GetLastError());
    return 1;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: dropresource SOURCE TARGET TYPE NAME\n");
        return 2;
    }
    const char* source = argv[1];
    const char* target = argv[2];
    const ResourceId type = ParseType(argv[3]);
    const ResourceId name = ResourceId::From(argv[4]);

    std::vector<Resource> resources;
    if (!ReadResources(source, resources) || !Holds(source, type, name))
        return Fail("cannot read the resources, or the one to drop, of", source);
    std::vector<Resource> kept;
    for (const Resource& resource : resources)
        if (!(resource.type == type && resource.name == name))
            kept.push_back(resource);
    if (!CopyFileA(source, target, FALSE) || !WriteResources(target, kept))
        return Fail("cannot write", target);

    std::vector<Resource> written;
    if (!ReadResources(target, written) || written.size() != kept.size() ||
        Holds(target, type, name))
        return Fail("the copy does not hold exactly the other resources:", target);
    return 0;
}
