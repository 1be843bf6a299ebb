#include "ui/logic/split_lines.h"

namespace tallowmere::ui {

SplitLines ReadSplitLines(const CTransaction& t) {
    SplitLines lines;
    for (std::size_t i = 0; i < kSplitLineCount; ++i) {
        SplitLine& line = lines[i];
        line.category = t.GetSplitCategoryId(i);
        line.classId = t.GetSplitClassId(i);
        line.amount = t.GetSplitAmount(i);
        line.linked = t.GetSplitLinkedId(i);
        line.memo = t.GetSplitMemo(i);
    }
    return lines;
}

void WriteSplitLines(const SplitLines& lines, CTransaction& t) {
    for (std::size_t i = 0; i < kSplitLineCount; ++i) {
        const SplitLine& line = lines[i];
        t.SetSplitCategoryId(i, line.category);
        t.SetSplitClassId(i, line.classId);
        t.SetSplitAmount(i, line.amount);
        t.SetSplitLinkedId(i, line.linked);
        t.SetSplitMemo(i, line.memo);
    }
}

}  // namespace tallowmere::ui
