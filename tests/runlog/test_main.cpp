// Qt SQL, with which the tests make and spoil files by hand, loads its SQLite
// driver as a plug-in, which needs an application object.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
