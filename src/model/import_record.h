#pragma once
// One transaction as an importer read it from a file, before the data set
// turns it into a register entry with its transfer mirrors.
#include <array>
#include <cstdint>
#include <string>

#include "model/money.h"
#include "model/palm_time.h"
#include "model/record_id.h"
#include "model/transaction.h"

namespace tallowmere {

struct ImportSplitLine {
    RecordId categoryId;
    RecordId classId;
    Cents amount = 0;
    std::string memo;
};

struct ImportRecord {
    // None: the transaction gets a new id.
    RecordId id;
    PalmTime date = 0;
    // A magnitude; the type gives the direction.
    Cents amount = 0;
    RecordId typeId;
    // 0 open, 1 cleared, 2 reconciled, 3 void.
    std::uint8_t status = 0;
    std::uint32_t checkNumber = 0;
    std::string payee;
    std::string memo;
    RecordId classId;
    // An account's id makes a transfer; the split marker uses the lines.
    RecordId categoryId;
    std::array<ImportSplitLine, kSplitLineCount> splits{};
};

}  // namespace tallowmere
