// A file of the tests' own in the temp folder, named after the process so that tests running side by
// side never share one, and the random bytes the tests put in it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/scoped_handle.h"

// length bytes, the same for the same seed.
inline std::vector<uint8_t> RandomBytes(size_t length, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(length);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

// Writes bytes into the temp folder's "digestor_<name><process id>" and gives its path.
inline std::string TempFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "digestor_" + name + std::to_string(GetCurrentProcessId());
    ScopedFile file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL));
    DWORD written = 0;
    EXPECT_TRUE(file.IsValid() &&
                WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL) &&
                written == bytes.size())
        << path;
    return path;
}
