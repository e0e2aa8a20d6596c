// fotello-filter as users run it: results, exit codes, messages, and no
// output left behind on failure.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "reference_filters.h"

namespace fotello::testing {
namespace {

namespace fs = std::filesystem;

// A 24-bit bottom-up BMP of the picture's blue, green and red.
void WriteBmp(const fs::path& path, const Picture& pic) {
    const unsigned rowBytes = (pic.w * 3 + 3) / 4 * 4, size = rowBytes * pic.h;
    std::string s = "BM";
    // File size, reserved, data offset, header size, width, height, planes and
    // bits per pixel, compression, data size, resolution, palette.
    for (unsigned v : {54 + size, 0u, 54u, 40u, unsigned(pic.w), unsigned(pic.h), 1u | 24u << 16,
                       0u, size, 2835u, 2835u, 0u, 0u})
        for (int i = 0; i < 4; ++i)
            s += char((v >> (8 * i)) & 255);
    for (int y = pic.h; y >= 1; --y) {
        for (int x = 1; x <= pic.w; ++x)
            for (int c = 1; c <= 3; ++c)
                s += char(pic.at(c, x, y));
        s.append(rowBytes - pic.w * 3, '\0');
    }
    std::ofstream(path, std::ios::binary) << s;
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class FilterTool : public ::testing::Test {
protected:
    void SetUp() override {
        const char* bin = std::getenv("FOTELLO_BIN_DIR");
        ASSERT_NE(bin, nullptr);
        tool_ = fs::path(bin) / "fotello-filter";
        ASSERT_TRUE(fs::exists(tool_));
        dir_ = fs::temp_directory_path() /
               ("fotello-filter-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        input_ = RandomPicture(11, 7, 51);
        for (std::size_t i = 3; i < input_.bytes.size(); i += 4)
            input_.bytes[i] = 0xFF;
        WriteBmp(dir_ / "in.bmp", input_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool with `args`; returns the exit code and keeps stderr and stdout.
    int Run(const std::string& args) {
        const std::string cmd = "cd '" + dir_.string() + "' && '" + tool_.string() + "' " + args +
                                " >out.txt 2>err.txt";
        const int status = std::system(cmd.c_str());
        out_ = ReadAll(dir_ / "out.txt");
        err_ = ReadAll(dir_ / "err.txt");
        fs::remove(dir_ / "out.txt");
        fs::remove(dir_ / "err.txt");
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::set<fs::path> Names() { return {fs::directory_iterator(dir_), fs::directory_iterator()}; }
    void ExpectFailure(const std::string& args, int code) {
        SCOPED_TRACE(args);
        const std::set<fs::path> before = Names();
        EXPECT_EQ(Run(args), code);
        EXPECT_FALSE(err_.empty());
        EXPECT_EQ(err_.find('\n'), err_.size() - 1) << err_; // one line
        EXPECT_EQ(Names(), before) << "something left behind";
    }

    fs::path tool_, dir_;
    Picture input_;
    std::string out_, err_;
};

TEST_F(FilterTool, EngineFilterGivesTheEnginesBytes) {
    for (auto [number, parameter] : {std::pair{7, 0xFFFFFF}, std::pair{21, 15}}) {
        ASSERT_EQ(Run(std::to_string(number) + " " + std::to_string(parameter) + " in.bmp out.bmp"),
                  0)
            << err_;
        EXPECT_TRUE(err_.empty());
        FilterEngine engine;
        WriteBmp(dir_ / "want.bmp", RunEngine(engine, number, input_, parameter));
        EXPECT_EQ(ReadAll(dir_ / "out.bmp"), ReadAll(dir_ / "want.bmp")) << number;
    }
}

TEST_F(FilterTool, OtherEffectsAndPng) {
    ASSERT_EQ(Run("flip-h in.bmp out.bmp"), 0) << err_;
    ASSERT_EQ(Run("flip-h out.bmp back.bmp"), 0) << err_;
    EXPECT_NE(ReadAll(dir_ / "out.bmp"), ReadAll(dir_ / "in.bmp"));
    EXPECT_EQ(ReadAll(dir_ / "back.bmp"), ReadAll(dir_ / "in.bmp"));
    ASSERT_EQ(Run("rotate 33 cw in.bmp out.bmp"), 0) << err_;
    const std::string turned = ReadAll(dir_ / "out.bmp");
    EXPECT_EQ(turned.substr(18, 4), std::string("\x0d\0\0\0", 4)); // width round(sqrt(121 + 49))
    for (const char* args : {"mosaic in.bmp o.png", "shake 4 4 7 in.bmp o.png"}) {
        ASSERT_EQ(Run(args), 0) << args << ": " << err_;
        EXPECT_EQ(ReadAll(dir_ / "o.png").substr(1, 3), "PNG") << args;
    }
    ASSERT_EQ(Run("--list"), 0);
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 40);
    EXPECT_NE(out_.find("17\t-10\tmnuContrastMin\tContrast -\n"), std::string::npos);
    // Names that are not UTF-8 keep their bytes.
    fs::copy_file(dir_ / "in.bmp", dir_ / "in\xff.bmp");
    ASSERT_EQ(Run("flip-h 'in\xff.bmp' 'out\xe9.png'"), 0) << err_;
    EXPECT_TRUE(fs::is_regular_file(dir_ / "out\xe9.png"));
}

TEST_F(FilterTool, BadArguments) {
    for (const char* args :
         {"", "32 0 in.bmp out.bmp", "blur 0 in.bmp out.bmp", "2 99999999999 in.bmp out.bmp",
          "2 0 in.bmp out.bmp extra", "2 0 in.bmp out.jpg", "rotate 400 cw in.bmp out.bmp",
          "rotate 45 left in.bmp out.bmp", "shake 0 4 7 in.bmp out.bmp",
          // Circles past width + height (11 + 7) never touch the picture.
          "shake 4 4 19 in.bmp out.bmp"})
        ExpectFailure(args, 2);
    EXPECT_EQ(Run("shake 4 4 18 in.bmp out.bmp"), 0) << err_;
}

TEST_F(FilterTool, UnreadableInputsAndOutputsThatAreNotRegularFiles) {
    std::ofstream(dir_ / "old.bmp") << "old";
    fs::create_symlink("old.bmp", dir_ / "link.bmp");
    ASSERT_EQ(::mkfifo((dir_ / "fifo.bmp").c_str(), 0600), 0);
    for (const char* output : {"link.bmp", "fifo.bmp"})
        ExpectFailure(std::string("2 0 in.bmp ") + output, 4);
    EXPECT_EQ(fs::read_symlink(dir_ / "link.bmp"), "old.bmp");
    EXPECT_TRUE(fs::is_fifo(dir_ / "fifo.bmp"));
    std::ofstream(dir_ / "notapicture.bmp") << "not a picture at all";
    ExpectFailure("2 0 missing.bmp out.bmp", 3);
    ExpectFailure("2 0 notapicture.bmp old.bmp", 3);
    EXPECT_EQ(ReadAll(dir_ / "old.bmp"), "old");
    ExpectFailure("2 0 in.bmp no/such/folder/out.bmp", 4);
    fs::create_directory(dir_ / "folder.bmp");
    ExpectFailure("2 0 in.bmp folder.bmp", 4);
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.bmp"));
}

} // namespace
} // namespace fotello::testing
