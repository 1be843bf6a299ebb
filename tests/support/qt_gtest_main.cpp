// The main of the widget tests: a temporary home, then the application
// object on the offscreen platform (unless the run names another), then the
// tests. They drive widgets with QTest's event functions and check with
// GoogleTest.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <clocale>

#include "support/test_env.h"

int main(int argc, char** argv) {
    tallowmere::test::PrepareTestHome();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int result = 0;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        std::setlocale(LC_COLLATE, "C");
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    tallowmere::test::RemoveTestHome();
    return result;
}
