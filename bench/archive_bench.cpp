// Writing and reading a list of 100,000 named records through the object
// stream, in memory (the file write and read are measured elsewhere).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/archive.h"
#include "model/common_list.h"
#include "model/palm_list_item.h"
#include "model/record_id.h"

namespace tallowmere {
namespace {

constexpr int kItems = 100000;

// Shaped like the named records of the list files: base fields, id, name.
class BenchItem : public CCommonListItem {
  public:
    BenchItem(std::string name, RecordId id) : id_(id), name_(std::move(name)) {}
    explicit BenchItem(ForLoad tag) : CCommonListItem(tag) {}
    std::string_view GetClassName() const override { return "CBenchItem"; }
    void Serialize(CArchive& ar) override {
        CPalmListItem::Serialize(ar);
        if (ar.IsStoring()) {
            ar.WriteBytes(id_.bytes.data(), id_.bytes.size());
            ar.WriteString(name_);
            ar.WriteInt32(0);
        } else {
            ar.ReadBytes(id_.bytes.data(), id_.bytes.size());
            name_ = ar.ReadString();
            ar.ReadInt32();
        }
    }
    RecordId GetId() const override { return id_; }
    std::string GetName() const override { return name_; }

  private:
    RecordId id_;
    std::string name_;
};

std::unique_ptr<CCommonList> MakeList() {
    RegisterRuntimeClass({"CBenchItem", &CreateForLoad<BenchItem>});
    auto list = std::make_unique<CCommonList>();
    for (int i = 0; i < kItems; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "Payee number %06d", i);
        RecordId id = RecordId::Fixed(static_cast<std::uint16_t>(i));
        id.bytes[0] = static_cast<std::uint8_t>(i >> 16);
        list->AddItem(std::make_unique<BenchItem>(name, id));
    }
    return list;
}

void BM_WriteList(benchmark::State& state) {
    auto list = MakeList();
    std::size_t bytes = 0;
    for (auto _ : state) {
        CArchive ar;
        list->Serialize(ar);
        bytes = ar.Data().size();
        benchmark::DoNotOptimize(ar.Data().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteList)->Unit(benchmark::kMillisecond);

void BM_ReadList(benchmark::State& state) {
    std::vector<std::uint8_t> data;
    {
        auto list = MakeList();
        CArchive ar;
        list->Serialize(ar);
        data = ar.TakeData();
    }
    for (auto _ : state) {
        CCommonList list;
        if (list.LoadData(data) != 0 || list.GetCount(true) != kItems) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(list.GetAt(0, true));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_ReadList)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tallowmere
