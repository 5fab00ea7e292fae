// The registry of named child objects through which one part of the program finds another.
#pragma once

#include <map>
#include <string>

// Maps a name ("STATUS", "EDITOR") to an object it does not own.
extern std::map<std::string, void*> childWindows;

// Stores object under name, replacing an earlier entry of that name.
void RegisterChild(std::string name, void* object);

// The object registered under name, or null; never inserts.
void* FindChild(std::string name);
