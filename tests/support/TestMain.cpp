#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Tests never need a screen; a developer's DISPLAY must not leak in.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", "/tmp");
    // Preferences and anything else a test saves go to a folder of its own,
    // never to the developer's configuration.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // What a client writes to the user's folders goes to a test folder.
    QStandardPaths::setTestModeEnabled(true);
    return RUN_ALL_TESTS();
}
