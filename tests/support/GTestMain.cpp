// The main of every GoogleTest program. The application object comes first, as
// in the programs: the engine's sockets and timers and the application folder
// look for it.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
