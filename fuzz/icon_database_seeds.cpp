// Writes the seed corpus of the icon database fuzz target, made by the test
// builder: icon_database_seeds fuzz/corpus/icon_database
#include <cstdio>
#include <string>

#include "support/icon_database_seeds.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& [name, bytes] : tallowmere::test::IconDatabaseSeeds()) {
        const std::string path = std::string(argv[1]) + "/" + name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
