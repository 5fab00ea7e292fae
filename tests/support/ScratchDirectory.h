// Runs a test inside a fresh temporary working directory, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

class ScratchDirectory
{
  public:
    ScratchDirectory();
    ~ScratchDirectory();

  private:
    std::filesystem::path previous, path;
};

std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);
