// BindLibraryFunction, the module cache and its release.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "files/library_binding_internal.h"
#include "support/running_program.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using MathFunction = double (*)(double);
using AddFunction = int (*)(int, int);

class LibraryBinding : public ::testing::Test {
protected:
    void SetUp() override { vtx::ReleaseLibraryModules(); }
    void TearDown() override { vtx::ReleaseLibraryModules(); }
    // Binds and returns the address; module takes the form the command leaves.
    static void* Bind(RtString& module, const char* function) {
        void* address = reinterpret_cast<void*>(&Bind);  // must be overwritten
        BindLibraryFunction(module, RtString(function), address);
        return address;
    }
    static std::string CachedName(int32_t i) { return vtx::LibraryModuleName(i).c_str(); }
    // The file the system loaded for a module name.
    static std::string LoadedFile(const char* name) {
        void* handle = dlopen(name, RTLD_NOW | RTLD_NOLOAD);
        if (handle == nullptr) return {};
        link_map* map = nullptr;
        dlinfo(handle, RTLD_DI_LINKMAP, &map);
        const std::string file = map != nullptr ? map->l_name : "";
        dlclose(handle);
        return file;
    }
    ScratchFolder scratch_{"vtx-library-binding"};
};

TEST_F(LibraryBinding, BindsCosineFromTheMathsLibrary) {
    RtString module("libm.so.6");
    const auto cosine = reinterpret_cast<MathFunction>(Bind(module, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_EQ(cosine(0.0), 1.0);
    EXPECT_NEAR(cosine(M_PI), -1.0, 1e-12);
    EXPECT_EQ(module, "libm.so.6");
    ASSERT_EQ(vtx::LibraryModuleCount(), 1);
    EXPECT_EQ(CachedName(0), "libm.so.6");
}

TEST_F(LibraryBinding, AnyLetterCaseReusesTheLoadedModule) {
    RtString first("libm.so.6");
    void* cosine = Bind(first, "cos");
    ASSERT_NE(cosine, nullptr);
    RtString shouting("LIBM.SO.6");
    EXPECT_EQ(Bind(shouting, "cos"), cosine);
    EXPECT_EQ(shouting, "libm.so.6");  // the caller's text is turned to small letters
    RtString mixed("LibM.So.6");
    EXPECT_NE(Bind(mixed, "sin"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
    EXPECT_EQ(CachedName(0), "libm.so.6");
}

TEST_F(LibraryBinding, SmallLetterNameIsTriedWhenTheSpellingFails) {
    // No file is called LIBM.SO.6: the small-letter form loads it.
    RtString module("LIBM.SO.6");
    const auto sine = reinterpret_cast<MathFunction>(Bind(module, "sin"));
    ASSERT_NE(sine, nullptr);
    EXPECT_EQ(sine(0.0), 0.0);
    EXPECT_EQ(module, "libm.so.6");
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
}

TEST_F(LibraryBinding, TheSpellingIsTriedFirst) {
    // The module's file name has capitals; its small-letter form names nothing.
    const std::string spelled = BOUND_MODULE;
    ASSERT_NE(spelled.find("VtxBoundModule"), std::string::npos);
    RtString module(spelled.c_str());
    const auto add = reinterpret_cast<AddFunction>(Bind(module, "VtxBoundAdd"));
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    std::string small = spelled;
    for (char& c : small) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(std::string(module.c_str()), small);
    EXPECT_EQ(CachedName(0), small);
    std::string capitals = spelled;
    for (char& c : capitals) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    RtString again(capitals.c_str());
    EXPECT_EQ(reinterpret_cast<void*>(add), Bind(again, "VtxBoundAdd"));  // from the cache
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
}

TEST_F(LibraryBinding, AMissingExportLeavesTheModuleCached) {
    RtString module("libm.so.6");
    EXPECT_EQ(Bind(module, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(Bind(module, "COS"), nullptr);  // function names keep their case
    EXPECT_EQ(Bind(module, ""), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
    EXPECT_NE(Bind(module, "cos"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
}

TEST_F(LibraryBinding, AMissingModuleIsNotCachedAndIsTriedAgain) {
    const fs::path later = scratch_.path() / "LaterLib.so";
    RtString module(later.c_str());
    EXPECT_EQ(Bind(module, "cos"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 0);
    RtString none("libvtx-no-such-module.so");
    EXPECT_EQ(Bind(none, "cos"), nullptr);
    RtString empty("");
    EXPECT_EQ(Bind(empty, "cos"), nullptr);
    RtString huge(std::string(100000, 'M').c_str());
    EXPECT_EQ(Bind(huge, "cos"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 0);
    // The module appears: the next attempt loads it.
    const std::string mathsFile = LoadedFile("libm.so.6");
    ASSERT_FALSE(mathsFile.empty());
    fs::create_symlink(mathsFile, later);
    RtString retry(later.c_str());
    EXPECT_NE(Bind(retry, "cos"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
}

TEST_F(LibraryBinding, ReleaseUnloadsEveryModule) {
    RtString module(BOUND_MODULE);
    ASSERT_NE(Bind(module, "VtxBoundAdd"), nullptr);
    RtString maths("libm.so.6");
    ASSERT_NE(Bind(maths, "cos"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 2);
    EXPECT_FALSE(LoadedFile(BOUND_MODULE).empty());
    vtx::ReleaseLibraryModules();
    EXPECT_EQ(vtx::LibraryModuleCount(), 0);
    EXPECT_EQ(vtx::LibraryModuleName(0), "");
    EXPECT_TRUE(LoadedFile(BOUND_MODULE).empty());  // nothing else held it
    // Binding works again afterwards.
    RtString again(BOUND_MODULE);
    EXPECT_NE(Bind(again, "VtxBoundAdd"), nullptr);
    EXPECT_EQ(vtx::LibraryModuleCount(), 1);
}

class BindingProgram : public ::testing::Test {
protected:
    ScratchFolder scratch_{"vtx-binding-program"};
};

TEST_F(BindingProgram, ModulesAreReleasedWhenTheProgramEnds) {
    RunningProgram program("env", std::string("VTX_BOUND_MODULE_REPORT=1 ") + PROBE_PLATFORM + " bindexit=" +
                                      Quoted(BOUND_MODULE),
                           scratch_.path().string());
    ASSERT_EQ(program.WaitForExit(20000), 0) << program.Stderr();
    // Released by the runtime at exit, before the exit handler registered
    // earlier; without that, the system would unload it only after every
    // exit handler.
    EXPECT_EQ(program.Stdout(), "add=5\nquit hook ran\nmodule released\nexit handler ran\n");
}

TEST_F(BindingProgram, AMissingModuleIsReportedToADebugger) {
    RunningProgram alone(PROBE_PLATFORM, "declare=LibVtxMissing.so", scratch_.path().string());
    ASSERT_EQ(alone.WaitForExit(20000), 0);
    EXPECT_EQ(alone.Stdout(), "bound=0\nquit hook ran\n");
    EXPECT_EQ(alone.Stderr(), "");

    // (Leak checking cannot run under a tracer in sanitizer builds.)
    RunningProgram traced("env", std::string("ASAN_OPTIONS=detect_leaks=0 gdb -q -batch -ex run --args ") +
                                     PROBE_PLATFORM + " declare=LibVtxMissing.so",
                          scratch_.path().string());
    ASSERT_EQ(traced.WaitForExit(60000), 0);
    EXPECT_NE(traced.Stdout().find("bound=0\n"), std::string::npos) << traced.Stdout();
    EXPECT_NE(traced.Stderr().find("TXDECLARE module not found: libvtxmissing.so\n"), std::string::npos)
        << traced.Stderr();
}

}  // namespace
