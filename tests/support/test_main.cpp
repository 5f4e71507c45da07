#include <QApplication>
#include <gtest/gtest.h>

#include <csignal>

int main(int argc, char* argv[]) {
    // As the program does: a peer that vanishes mid-write is an error to handle, not the test's end.
    std::signal(SIGPIPE, SIG_IGN);
    // Tests never need a real display; a run under a display server may still pick one explicitly.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
