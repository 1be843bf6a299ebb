#pragma once
// The handheld-platform libraries: "TeskPlatformMgr.so", which knows the
// platform's users and folders, and "PlatformSync.so", initialised and
// released beside it. Both are loaded from the program's folder at start-up.
// Each export is looked up at every call; a missing one gives the default
// named below and never stops the program. Safe from any thread.
#include <cstdint>
#include <string>

namespace tallowmere::Platform {

// Where the libraries are loaded from: the program's folder unless set (the
// tests point it at their build). Empty restores the program's folder.
void SetLibraryFolder(std::string folder);

// Loads the platform manager and calls its InitializePlatform(flag, product).
// A library that does not load gives its error code (126); a non-zero answer
// is returned as it is. Otherwise "PlatformSync.so" is loaded too and the
// result is its InitializePlatform answer, or 0 when it is missing.
int Initialize(int flag, const std::string& product);

// The platform number, -1 without the export.
int GetPlatform();

// Fills record (460 bytes) with the user at index: 1 filled, 0 none at that
// index and beyond, -1 without the export; other results mean "skip".
int EnumerateUsers(int index, const std::string& product, std::uint8_t* record);

// The platform's root folder for the product; false (path unchanged)
// without the export or when the library gives none.
bool GetRootDir(const std::string& product, std::string& path);

// The data folder of a user; without the export path keeps its contents.
void GetRootDir2(const std::string& product, const std::string& userName,
                 const std::string& folderName, std::string& path);

// Releases and unloads "PlatformSync.so", then the platform manager.
void Release();

}  // namespace tallowmere::Platform
