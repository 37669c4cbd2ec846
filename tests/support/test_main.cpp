// One application per test process, on the offscreen platform, with a HOME of its own so that
// preferences, the Desktop and the trash never touch the real ones. The application object is the
// richest the tested layer may have: QCoreApplication for core, QGuiApplication for image (no
// widgets), the framework's own for gui and the program.
#if QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_CORE
#include <QCoreApplication>
#elif QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_IMAGE
#include <QGuiApplication>
#else
#include "framework/gui/runtime.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path makeSandboxHome()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quobly-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    std::filesystem::path home(pattern);
    for (const char* sub : { ".config", ".local/share", ".cache", "Desktop" })
        std::filesystem::create_directories(home / sub);
    return home;
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const auto home = makeSandboxHome();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("XDG_DESKTOP_DIR", (home / "Desktop").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    unsetenv("LANGUAGE");
    setenv("LC_ALL", "C.UTF-8", 1);

    ::testing::InitGoogleTest(&argc, argv);
#if QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_CORE
    QCoreApplication application(argc, argv);
#elif QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_IMAGE
    QGuiApplication application(argc, argv);
#else
    RuntimeInit(argc, argv);
#endif
    const int result = RUN_ALL_TESTS();

    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
