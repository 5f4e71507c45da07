#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    // Tests never need a real display; a run under a display server may still pick one explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
