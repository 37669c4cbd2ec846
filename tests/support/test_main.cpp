// One application per test process, on the offscreen platform. Every test gets a sandbox of its
// own: a fresh HOME with its XDG folders and a temporary folder inside it, so that preferences,
// the Desktop, the trash and whatever a run writes beside a temporary folder never touch the real
// ones, never reach the next test, and are gone when the test ends. State the framework keeps for
// the process (windows, threads, the application, file types, seams, a quit) is reset between tests
// too, so an executable passes whole in one process as it does one test per process.
//
// An executable built with QUOBLY_TEST_WITHOUT_READ_OVERRIDE reads files as an ordinary user does,
// on every thread, even when the tests run as root.
//
// The application object is the richest the tested layer may have: QCoreApplication for the
// framework's core, QGuiApplication for its pictures (no widgets), the framework's own for its gui
// and for the program; what is reset between tests follows the layer as well.
#include "framework/core/file_type.h"
#include "framework/core/thread.h"
#include "framework/core/private/thread_internals.h"
#include "tests/support/read_permissions.h"
#include "tests/support/spin.h"

#if QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_CORE
#include <QCoreApplication>
#elif QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_IMAGE
#include <QGuiApplication>
#else
#include "framework/gui/application.h"
#include "framework/gui/runtime.h"
#include "framework/gui/window.h"
#endif
#if QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_PROGRAM
#include "shell/startup.h"
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path makeTemporaryFolder(const fs::path& parent, const std::string& prefix)
{
    std::string pattern = (parent / (prefix + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}

// Makes `home` a home as a desktop session has it, and points the environment at it.
void enterHome(const fs::path& home)
{
    for (const char* sub : { ".config", ".local/share", ".cache", "Desktop", "tmp" })
        fs::create_directories(home / sub);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("XDG_DESKTOP_DIR", (home / "Desktop").c_str(), 1);
    // mkdtemp made the home private to its user, as a runtime folder must be.
    setenv("XDG_RUNTIME_DIR", home.c_str(), 1);
    // Temporary folders of the tests, and the output folders that runs make beside them.
    setenv("TMPDIR", (home / "tmp").c_str(), 1);
}

// Removes the folder whatever a test did to its permissions.
void removeAll(const fs::path& folder)
{
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied, ignored);
         it != fs::recursive_directory_iterator(); it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::remove_all(folder, ignored);
}

class SandboxPerTest final : public ::testing::EmptyTestEventListener {
public:
    explicit SandboxPerTest(fs::path root) : m_root(std::move(root)) {}

    void OnTestStart(const ::testing::TestInfo&) override
    {
        // The same path for every test, emptied between them: the system libraries keep the home
        // and data folders they saw first (GLib caches them for the process), so a new path per
        // test would leave them looking at the previous test's folders.
        m_home = m_root / "home";
        removeAll(m_home);
        enterHome(m_home);
#if QUOBLY_TEST_LAYER >= QUOBLY_TEST_LAYER_GUI
        Seams::ResetAll();
        Seams::ResetQuitState();
#endif
        FileTypeRegistry::ResetForTesting();
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        // What a test left open or going would reach into the next one. Windows close without
        // their closing work: a test that wanted the preferences written has written them.
#if QUOBLY_TEST_LAYER >= QUOBLY_TEST_LAYER_GUI
        for (const auto& window : OpenWindows()) {
            window->OnClose = nullptr;
            window->Close();
        }
#endif
        EndAllThreads();
        SpinPending();
#if QUOBLY_TEST_LAYER == QUOBLY_TEST_LAYER_PROGRAM
        Finalization();
#endif
#if QUOBLY_TEST_LAYER >= QUOBLY_TEST_LAYER_GUI
        Seams::ResetAll();
        Seams::ResetQuitState();
#endif
        removeAll(m_home);
    }

private:
    fs::path m_root;
    fs::path m_home;
};

} // namespace

int main(int argc, char** argv)
{
#ifdef QUOBLY_TEST_WITHOUT_READ_OVERRIDE
    // Before any thread starts, so that the workers and Qt's own threads read as a user does.
    if (!DropReadOverrideForProcess()) {
        std::fprintf(stderr, "cannot take the read override away from this process\n");
        return 1;
    }
#endif
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const fs::path root = makeTemporaryFolder(fs::temp_directory_path(), "quobly-test");
    // The application starts inside a sandbox too; each test then gets its own.
    enterHome(root);
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
    ::testing::UnitTest::GetInstance()->listeners().Append(new SandboxPerTest(root));
    const int result = RUN_ALL_TESTS();

    removeAll(root);
    return result;
}
