#include "ChildRegistry.h"

std::map<std::string, void*> childWindows;

void RegisterChild(std::string name, void* object)
{
    childWindows[name] = object;
}

void* FindChild(std::string name)
{
    const auto found = childWindows.find(name);
    return found == childWindows.end() ? nullptr : found->second;
}
