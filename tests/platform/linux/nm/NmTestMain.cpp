#include <QCoreApplication>

#include <gtest/gtest.h>

// D-Bus signals and the dial's nested event loop need an application object.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
