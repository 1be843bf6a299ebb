#pragma once
// Every test program runs with a fresh HOME, XDG folders and TMPDIR below one
// temporary folder, removed at exit, so no test touches the user's files.
#include <string>

namespace tallowmere::test {

// Makes the temporary root with its home, XDG and temporary folders and
// points the environment at them; the test mains call it first.
void PrepareTestHome();
// Removes the temporary root.
void RemoveTestHome();

// The temporary root of this test program (HOME points here).
const std::string& TestRoot();

// A new empty folder below the test root.
std::string MakeTempDir(const std::string& prefix = "t");

// Whole-file helpers for fixtures.
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tallowmere::test
