// Which libraries are loaded as plug-ins, read without a display.

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../shell/settings_db_maker.h"
#include "plugins/plugin_loader.h"

using namespace fotello;
namespace fs = std::filesystem;

namespace {

const std::string kProgId = "Plimsol.clsPluginInterface";

std::string testPlugin(const std::string& name) {
    return std::string(FOTELLO_TEST_PLUGINS) + "/" + name + ".so";
}

class PluginLoader : public ::testing::Test {
protected:
    void SetUp() override {
        program = test::MakeTempDir();
        elsewhere = test::MakeTempDir();
        marker = elsewhere + "/carregado";
        ::setenv("FOTELLO_PLUGIN_MARKER", marker.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("FOTELLO_PLUGIN_MARKER");
        test::RemoveTree(program);
        test::RemoveTree(elsewhere);
    }
    // Puts a library in folder under the name Plimsol.so.
    std::string place(const std::string& library, const std::string& folder, mode_t mode = 0644) {
        const std::string target = folder + "/Plimsol.so";
        fs::copy_file(library, target, fs::copy_options::overwrite_existing);
        EXPECT_EQ(::chmod(target.c_str(), mode), 0);
        return target;
    }
    bool loaded() const { return fs::exists(marker); }

    std::string program, elsewhere, marker;
};

} // namespace

TEST(PluginNames, ProgIdFromFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"Plimsol.so", "Plimsol.clsPluginInterface"},
        {"lib.x.so", "lib.x.clsPluginInterface"},
        {"Plimsol.SO", ""},
        {".so", ""},
        {"Plimsol", ""},
        {"a/b.so", ""},
    };
    for (const auto& [file, progId] : cases)
        EXPECT_EQ(PluginProgId(file), progId) << file;
}

TEST(PluginNames, ProgIdToLibraryStaysInTheFolder) {
    const std::pair<const char*, const char*> cases[] = {
        {"Plimsol.clsPluginInterface", "Plimsol.so clsPluginInterface"},
        {"a.b.cls", "a.b.so cls"},
        {"../x/Plimsol.clsPluginInterface", "refused"},
        {"Plimsol", "refused"},
        {".clsPluginInterface", "refused"},
        {"Plimsol.", "refused"},
    };
    for (const auto& [progId, want] : cases) {
        const auto ref = ParsePluginProgId(progId);
        EXPECT_EQ(ref ? ref->fileName + " " + ref->className : "refused", want) << progId;
    }
}

TEST_F(PluginLoader, OnlyFilesNobodyElseCanChangeAreLoaded) {
    const struct {
        const char* what;
        mode_t folder, file;
        PluginFailure expected;
    } cases[] = {
        {"usual install", 0755, 0644, PluginFailure::None},
        {"world-writable folder", 0777, 0644, PluginFailure::Unsafe},
        {"group-writable folder", 0775, 0644, PluginFailure::Unsafe},
        {"group-writable file", 0755, 0664, PluginFailure::Unsafe},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(marker);
        place(testPlugin("tp_quiet"), program, c.file);
        ASSERT_EQ(::chmod(program.c_str(), c.folder), 0);
        const PluginCall found = IdentifyPlugin(program, kProgId);
        EXPECT_EQ(found.failure, c.expected);
        const bool ok = c.expected == PluginFailure::None;
        EXPECT_EQ(found.text, ok ? "Silencioso" : "");
        EXPECT_EQ(loaded(), ok) << "the constructor ran";
        ::chmod(program.c_str(), 0700);
    }
}

TEST_F(PluginLoader, LinksAndOtherOwnersAreRefused) {
    const std::string inProgram = program + "/Plimsol.so";
    fs::create_symlink(place(testPlugin("tp_quiet"), elsewhere), inProgram);
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::Unsafe);
    EXPECT_FALSE(loaded());

    // Nor a pipe, which nobody would ever write to.
    fs::remove(inProgram);
    ASSERT_EQ(::mkfifo(inProgram.c_str(), 0644), 0);
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::Unsafe);

    fs::remove(inProgram);
    place(testPlugin("tp_quiet"), program);
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file to another user needs root";
    for (const std::string& path : {inProgram, program}) {
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534), 0);
        EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::Unsafe) << path;
        EXPECT_FALSE(loaded());
        ASSERT_EQ(::chown(path.c_str(), 0, 0), 0);
    }
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::None);
    EXPECT_TRUE(loaded()) << "the same file, given back, loads";
}

TEST_F(PluginLoader, WhatIsNoPluginIsNeverLoaded) {
    place(testPlugin("tp_no_entry"), program);
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::NoEntryPoint);
    EXPECT_FALSE(loaded()) << "read from the file, not found by loading it";

    // Not a library, or a cut one: refused without a crash.
    std::ofstream(program + "/Plimsol.so", std::ios::trunc) << "não é uma biblioteca";
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::NoEntryPoint);
    std::ifstream in(std::string(FOTELLO_BIN_DIR_DEFAULT) + "/Plimsol.so", std::ios::binary);
    const std::string sample{std::istreambuf_iterator<char>(in), {}};
    // Its code said to reach past the end of the file: loading it would fault.
    std::string longer = sample;
    ElfW(Ehdr) eh;
    std::memcpy(&eh, longer.data(), sizeof eh);
    for (unsigned i = eh.e_phnum; i-- > 0;) {
        char* at = longer.data() + eh.e_phoff + i * sizeof(ElfW(Phdr));
        ElfW(Phdr) ph;
        std::memcpy(&ph, at, sizeof ph);
        if (ph.p_type != PT_LOAD)
            continue;
        ph.p_filesz = longer.size() - ph.p_offset + 65536;
        ph.p_memsz = std::max(ph.p_memsz, ph.p_filesz);
        std::memcpy(at, &ph, sizeof ph);
        break;
    }
    std::ofstream(program + "/Plimsol.so", std::ios::trunc | std::ios::binary) << longer;
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::NoEntryPoint);
    for (std::size_t keep : {std::size_t{64}, sample.size() / 2}) {
        std::ofstream(program + "/Plimsol.so", std::ios::trunc | std::ios::binary)
            << sample.substr(0, keep);
        EXPECT_NE(IdentifyPlugin(program, kProgId).failure, PluginFailure::None) << keep;
    }

    fs::remove(program + "/Plimsol.so");
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::NotLoaded);
}

TEST_F(PluginLoader, TheWorkingFolderIsNoProgramFolder) {
    place(testPlugin("tp_quiet"), program);
    const fs::path before = fs::current_path();
    fs::current_path(program);
    EXPECT_EQ(IdentifyPlugin(".", kProgId).failure, PluginFailure::Unsafe);
    EXPECT_EQ(IdentifyPlugin("", kProgId).failure, PluginFailure::Unsafe);
    fs::current_path(before);
    EXPECT_FALSE(loaded());
}

TEST_F(PluginLoader, ClassesAreAskedForByNameAndVersion) {
    place(testPlugin("tp_version2"), program);
    EXPECT_EQ(IdentifyPlugin(program, kProgId).failure, PluginFailure::NoClass);
    place(testPlugin("tp_quiet"), program);
    EXPECT_EQ(IdentifyPlugin(program, "Plimsol.clsOutra").failure, PluginFailure::NoClass);
    EXPECT_EQ(IdentifyPlugin(program, kProgId).text, "Silencioso");
}
