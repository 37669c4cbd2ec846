#pragma once

// Files for the framework's own tests, made and read with the standard library, so that what the
// framework wrote is seen by other eyes than its own.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace test_files {

// A fresh folder in the test's HOME, so that it lies on the disk of the home trash.
inline std::filesystem::path MakeFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::path(std::getenv("HOME")) / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

inline std::string Read(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void Write(const std::filesystem::path& path, const std::string& bytes = "x")
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The folder's names, sorted: what a test expects, and no file left beside it.
inline std::vector<std::string> Names(const std::filesystem::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        found.push_back(entry.path().filename().string());
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace test_files
