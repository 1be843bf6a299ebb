#pragma once
// What the list file tests share: the names a list holds, and a temporary
// folder with the path of the list's file in it.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "model/file_list.h"
#include "model/list_file_names.h"
#include "model/list_test_items.h"
#include "support/test_env.h"

namespace tallowmere::test {

inline std::vector<std::string> Names(const CFileList& list) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < list.GetCount(); ++i)
        names.push_back(list.GetAt(i)->GetName());
    return names;
}

class ListFileTest : public ::testing::Test {
  protected:
    explicit ListFileTest(std::string folder) : folder_(std::move(folder)) {}

    static void SetUpTestSuite() { RegisterTestClasses(); }
    void SetUp() override {
        dir_ = MakeTempDir(folder_);
        path_ = dir_ + "/" + kFiListFile;
    }

    std::string dir_;
    std::string path_;
    CapturingSink sink_;

  private:
    std::string folder_;
};

}  // namespace tallowmere::test
