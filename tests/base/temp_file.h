// A file of the tests' own in the temp folder, named after the process so that tests running side by
// side never share one.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/scoped_handle.h"

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
