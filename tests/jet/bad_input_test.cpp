// Files that are not sound Access files give a jet::Error that names the file and the problem, and
// never a crash, a hang or a read outside the file.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

#include "jet/database.h"
#include "jet/format.h"
#include "jet/header_reader.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Opens the file and reads every row of every local table.
std::size_t readEverything(const fs::path& file) {
    auto db = jet::Database::open(file);
    std::size_t rows = 0;
    std::vector<jet::Value> row;
    for (const auto& entry : db->catalog()) {
        if (entry.type != 1) continue;
        auto reader = db->read(entry.name);
        while (reader.next(row)) ++rows;
    }
    return rows;
}

// The error reading the file gives; fails the test when there is none.
std::string errorOf(const fs::path& file) {
    try {
        readEverything(file);
    } catch (const jet::Error& e) {
        return e.what();
    }
    ADD_FAILURE() << "no error for " << file;
    return {};
}

void expectClearError(const std::string& message, const fs::path& file, const std::string& problem) {
    EXPECT_NE(message.find(file.string()), std::string::npos) << message;
    EXPECT_NE(message.find(problem), std::string::npos) << message;
    ASSERT_FALSE(message.empty());
    EXPECT_NE(message.back(), '.');
    EXPECT_FALSE(message.ends_with("。")) << message;
}

TEST(BadInput, MissingFile) {
    TempDir dir;
    expectClearError(errorOf(dir / "data.mdb"), dir / "data.mdb", "不存在");
}

TEST(BadInput, AFolder) {
    TempDir dir;
    expectClearError(errorOf(dir.path()), dir.path(), "文件夹");
}

struct ContentCase {
    const char* name;
    std::string bytes;
    const char* problem;
};

class BadContent : public ::testing::TestWithParam<ContentCase> {};

TEST_P(BadContent, IsRefused) {
    TempDir dir;
    const fs::path file = dir / "data.mdb";
    writeBytes(file, GetParam().bytes);
    expectClearError(errorOf(file), file, GetParam().problem);
}

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (auto& c : s) c = char(rng());
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadContent,
    ::testing::Values(ContentCase{"Empty", "", "空"}, ContentCase{"Text", "select * from tiku\r\n", "不是 Access 数据库"},
                      ContentCase{"RandomBytes", randomBytes(8192, 1), "不是 Access 数据库"},
                      ContentCase{"MagicOnly", std::string("\0\1\0\0Standard Jet DB\0", 20), "不是 Access 数据库"}),
    [](const auto& info) { return std::string(info.param.name); });

// A fixture's bytes, changed by `change`, written to a temporary file.
class ChangedFixture {
public:
    ChangedFixture(const char* name, const std::function<void(std::string&)>& change) {
        bytes_ = readBytes(fixturesDir() / name);
        change(bytes_);
        file_ = dir_ / name;
        writeBytes(file_, bytes_);
    }
    const fs::path& file() const { return file_; }

private:
    TempDir dir_;
    std::string bytes_;
    fs::path file_;
};

struct TruncationCase {
    const char* file;
    std::int64_t size;  // negative: counted from the end
    const char* problem;
};

class Truncated : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(Truncated, IsRefused) {
    TESSARIN_REQUIRE_FIXTURES();
    const auto& c = GetParam();
    ChangedFixture f(c.file, [&](std::string& b) { b.resize(c.size < 0 ? b.size() + std::size_t(c.size) : std::size_t(c.size)); });
    expectClearError(errorOf(f.file()), f.file(), c.problem);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, Truncated,
    ::testing::Values(TruncationCase{"testV2000.mdb", 1, "不是 Access 数据库"},
                      TruncationCase{"testV2000.mdb", 100, "不是 Access 数据库"},
                      TruncationCase{"testV2000.mdb", 4095, "截断"}, TruncationCase{"testV2000.mdb", 4097, "截断"},
                      TruncationCase{"testV2000.mdb", -1, "截断"}, TruncationCase{"testV2000.mdb", 4096, "超出文件末尾"},
                      TruncationCase{"testV2000.mdb", 3 * 4096, "超出文件末尾"},
                      TruncationCase{"testV2000.mdb", 20 * 4096, "超出文件末尾"},
                      TruncationCase{"testV1997.mdb", 2047, "截断"}, TruncationCase{"testV1997.mdb", -1000, "截断"},
                      TruncationCase{"testV1997.mdb", 2 * 2048, "超出文件末尾"},
                      TruncationCase{"testV1997.mdb", 20 * 2048, "超出文件末尾"}),
    [](const auto& info) {
        std::string size = info.param.size < 0 ? "minus" + std::to_string(-info.param.size) : std::to_string(info.param.size);
        return std::string(info.param.file).substr(0, 9) + "_" + size;
    });

// Sets a database password the way Access stores it: in the masked header area, Jet 4 masking it once
// more with the creation date.
void setPassword(std::string& bytes, const std::string& password) {
    std::vector<std::uint8_t> page0(bytes.begin(), bytes.begin() + 2048);
    const int version = page0[jet::format::VersionOffset] == 0 ? 3 : 4;
    jet::detail::toggleHeaderMask(page0, version);
    for (std::size_t i = 0; i < password.size(); ++i) {
        if (version == 3) {
            page0[jet::format::PasswordOffset + i] = std::uint8_t(password[i]);
        } else {
            // UTF-16 characters, each byte XORed with the whole days of the creation date.
            double days;
            std::memcpy(&days, &page0[jet::format::CreationDateOffset], 8);
            const auto mask = std::uint32_t(std::int32_t(days));
            for (std::size_t k = 0; k < 2; ++k) {
                const std::size_t at = 2 * i + k;
                const std::uint8_t plain = k == 0 ? std::uint8_t(password[i]) : 0;
                page0[jet::format::PasswordOffset + at] = plain ^ std::uint8_t(mask >> (8 * (at % 4)));
            }
        }
    }
    jet::detail::toggleHeaderMask(page0, version);
    std::copy(page0.begin(), page0.end(), bytes.begin());
}

class PasswordSet : public ::testing::TestWithParam<const char*> {};

TEST_P(PasswordSet, IsRefusedAndNotCracked) {
    TESSARIN_REQUIRE_FIXTURES();
    ChangedFixture f(GetParam(), [](std::string& b) { setPassword(b, "secret"); });
    const std::string message = errorOf(f.file());
    expectClearError(message, f.file(), "密码");
    EXPECT_EQ(message.find("secret"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PasswordSet, ::testing::Values("testV1997.mdb", "testV2000.mdb", "emptyJet4.mdb"),
                         [](const auto& info) { return std::string(info.param).substr(0, 9); });

TEST(BadInput, NewerFormatsAreNamed) {
    TESSARIN_REQUIRE_FIXTURES();
    ChangedFixture ace("emptyJet4.mdb", [](std::string& b) { b.replace(4 + 9, 3, "ACE"); });
    expectClearError(errorOf(ace.file()), ace.file(), "ACCDB");
    ChangedFixture v5("emptyJet4.mdb", [](std::string& b) { b[jet::format::VersionOffset] = 5; });
    expectClearError(errorOf(v5.file()), v5.file(), "版本");
}

// Random damage anywhere after the header: whatever the reader makes of it, it either reads or
// throws jet::Error naming the file.
class FlippedBytes : public ::testing::TestWithParam<const char*> {};

TEST_P(FlippedBytes, ReadOrFailCleanly) {
    TESSARIN_REQUIRE_FIXTURES();
    const std::string original = readBytes(fixturesDir() / GetParam());
    const std::size_t pageSize = original[jet::format::VersionOffset] == 0 ? 2048 : 4096;
    TempDir dir;
    const fs::path file = dir / GetParam();
    int failures = 0;
    for (unsigned seed = 0; seed < 150; ++seed) {
        std::mt19937 rng(seed);
        std::string bytes = original;
        const int flips = 1 + int(rng() % 64);
        for (int i = 0; i < flips; ++i) {
            // Mostly the catalog, definition and data pages near the start, where damage matters.
            const std::size_t limit = std::min(bytes.size(), pageSize * 40) - pageSize;
            bytes[pageSize + rng() % limit] ^= char(1 + rng() % 255);
        }
        writeBytes(file, bytes);
        try {
            readEverything(file);
        } catch (const jet::Error& e) {
            ++failures;
            EXPECT_NE(std::string(e.what()).find(file.string()), std::string::npos) << e.what();
        }
    }
    RecordProperty("failures", failures);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FlippedBytes,
                         ::testing::Values("testV1997.mdb", "overflowTestV1997.mdb", "testV2000.mdb",
                                           "overflowTestV2000.mdb", "compIndexTestV2000.mdb", "testUnicodeCompV2003.mdb"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
