// GoogleTest inside a QApplication, for the tests that drive the real window offscreen and those of
// the D-Bus layer.
// A Qt warning that no test expects fails the running test.
#include <QApplication>
#include <QByteArray>
#include <gtest/gtest.h>

namespace {

void FailOnWarning(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    // The test environment's own: the offscreen platform's size hints and what it cannot do for a
    // popup (raise, grab the keyboard); a runtime folder not set or not private.
    for (const char* noise :
         {"propagateSizeHints", "This plugin does not support", "XDG_RUNTIME_DIR", "QStandardPaths"})
        if (message.contains(QLatin1String(noise))) return;
    if (::testing::UnitTest::GetInstance()->current_test_info() != nullptr) {
        ADD_FAILURE() << "Unexpected Qt message: " << message.toStdString();
    } else {
        fprintf(stderr, "Qt message outside a test: %s\n", qPrintable(message));
    }
    if (type == QtFatalMsg) abort();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qInstallMessageHandler(FailOnWarning);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
