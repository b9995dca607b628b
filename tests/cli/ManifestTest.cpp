// The application manifests of the shipped programs, as Windows reads them
// from the files: tolvane-cli.exe runs as its invoker, names the Windows
// versions it supports and takes long paths; Tolvane.exe has none, so its
// controls keep their classic look.
#include "BuildPath.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// The text of the program's manifest, or "" when it has none.
std::string ManifestOf(const std::string& program)
{
    const HMODULE module = ::LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(module, nullptr) << program;
    if (module == nullptr)  // a null module would be this test program's own
        return "";
    std::string text;
    if (const HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const HGLOBAL loaded = ::LoadResource(module, found);
        text.assign(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(module, found));
    }
    ::FreeLibrary(module);
    return text;
}

TEST(Manifest, TheCommandLineRunsAsItsInvokerOnKnownWindowsWithLongPaths)
{
    const std::string manifest = ManifestOf(BuildPath(TOLVANE_CLI_PATH));
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find(">true</longPathAware>"), std::string::npos) << manifest;

    EXPECT_EQ(ManifestOf(BuildPath(TOLVANE_EXE)), "");
}

}  // namespace
