#pragma once
// Small icon databases covering the format's branches: every depth and
// compression, colour tables, transparency, families with placeholders,
// information blocks, other resource types and a record database. They seed
// the fuzz corpus (fuzz/icon_database_seeds writes them) and the mutation
// test of the icon database.
#include <string>
#include <utility>
#include <vector>

#include "support/palm_builder.h"

namespace tallowmere::test {

inline std::vector<std::pair<std::string, Bytes>> IconDatabaseSeeds() {
    auto bitmap = [](int depth, int version, Packing packing, int side = 6) {
        TbmpLayout s;
        s.width = side;
        s.height = side - 1;
        s.depth = depth;
        s.version = version;
        s.packing = packing;
        for (int i = 0; i < s.width * s.height; ++i) {
            const std::uint32_t v = static_cast<std::uint32_t>(i * 37 + i / 3);
            s.values.push_back(depth >= 32 ? v * 0x010101 : v & ((1u << depth) - 1));
        }
        return s;
    };
    auto database = [](std::vector<Bytes> icons) {
        PdbLayout layout;
        std::uint16_t id = 1;
        for (Bytes& icon : icons)
            layout.resources.push_back({0x54626D70, id++, std::move(icon)});
        return Pdb(layout);
    };

    std::vector<std::pair<std::string, Bytes>> seeds;
    seeds.emplace_back("empty", Pdb({}));

    std::vector<Bytes> depths;
    for (int depth : {1, 2, 4, 8, 16, 24, 32})
        depths.push_back(Tbmp(bitmap(depth, depth > 8 ? 3 : 1, Packing::kNone)));
    seeds.emplace_back("depths", database(std::move(depths)));

    for (Packing packing : {Packing::kScanLine, Packing::kRunLength, Packing::kPackBits}) {
        const std::string name = packing == Packing::kScanLine    ? "scan_line"
                                 : packing == Packing::kRunLength ? "run_length"
                                                                  : "packbits";
        seeds.emplace_back(name, database({Tbmp(bitmap(8, 2, packing)), Tbmp(bitmap(4, 3, packing)),
                                           Tbmp(bitmap(16, 3, packing))}));
    }

    TbmpLayout table = bitmap(4, 2, Packing::kNone);
    table.colourTable = std::vector<std::uint32_t>{0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    table.transparent = true;
    table.transparentIndex = 2;
    TbmpLayout direct = bitmap(16, 2, Packing::kNone);
    direct.directColour = true;
    direct.transparent = true;
    direct.directTransparent = 0xFF00FF;
    TbmpLayout v3 = bitmap(8, 3, Packing::kRunLength);
    v3.transparent = true;
    v3.transparentValue = 125;
    seeds.emplace_back("colours", database({Tbmp(table), Tbmp(direct), Tbmp(v3)}));

    Bytes placed = Placeholder();
    const Bytes large = Tbmp(bitmap(8, 3, Packing::kScanLine, 12));
    placed.insert(placed.end(), large.begin(), large.end());
    seeds.emplace_back("family",
                       database({Family({Tbmp(bitmap(2, 1, Packing::kNone, 6)),
                                         Tbmp(bitmap(8, 2, Packing::kNone, 9)), placed})}));

    PdbLayout mixed;
    mixed.appInfo = Bytes(6, 0xA5);
    mixed.sortInfo = Bytes(4, 0x5A);
    mixed.resources = {{0x54626D70, 300, Tbmp(bitmap(1, 0, Packing::kNone))},
                       {0x74414942, 300, Bytes(12, 7)},
                       {0x54626D70, 300, Tbmp(bitmap(8, 1, Packing::kNone))}};
    seeds.emplace_back("mixed", Pdb(mixed));

    PdbLayout records;
    records.attributes = 0;
    records.resources = {{0, 0, Bytes(5, 1)}, {0, 0, Bytes(9, 2)}};
    seeds.emplace_back("records", Pdb(records));
    return seeds;
}

}  // namespace tallowmere::test
