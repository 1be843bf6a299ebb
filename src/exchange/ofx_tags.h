#pragma once
// The two tag tables: OFX 1.x replies and the institution directory's replies.
#include <cstddef>

#include "exchange/sgml_tag_table.h"

namespace tallowmere::exchange {

// 112 aggregates (CREDITCARDMSGSRSV2 included, which the statement walk looks
// for), 231 data tags and MSGBODY.
class COfxSgmlTagTable final : public CSgmlTagTable {
  public:
    static constexpr std::size_t kCount = 344;
    std::size_t GetCount() const override;
    const SgmlTagEntry* GetEntries() const override;
};

// The directory lists the end tags of its data elements as data tags, so
// "</UID>" reads as a harmless empty child.
class CFidbSgmlTagTable final : public CSgmlTagTable {
  public:
    static constexpr std::size_t kCount = 20;
    std::size_t GetCount() const override;
    const SgmlTagEntry* GetEntries() const override;
};

}  // namespace tallowmere::exchange
