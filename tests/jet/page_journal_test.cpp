// A write to a bank is whole or nothing: a writer stopped at any write or flush point leaves, after the
// next roll-back, the bank exactly as before or exactly as after.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "jet/error.h"
#include "jet/write/bank_lock.h"
#include "jet/write/page_journal.h"
#include "support/test_support.h"

namespace {

constexpr std::uint32_t kPageSize = 4096;

std::string readBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// A bank of four pages filled with 'a'..'d'.
std::string originalBank()
{
    std::string bytes;
    for (char c : {'a', 'b', 'c', 'd'})
        bytes.append(kPageSize, c);
    return bytes;
}

// The change: page 1 and page 3 rewritten, one page added.
void applyChange(const std::filesystem::path& bank, jet::WriteStepObserver observer)
{
    jet::BankLock lock(bank);
    jet::PageTransaction change(bank, lock.fd(), kPageSize, std::move(observer));
    change.write(1, std::vector<std::uint8_t>(kPageSize, 'X'));
    change.write(3, std::vector<std::uint8_t>(kPageSize, 'Y'));
    change.appendPage(std::vector<std::uint8_t>(kPageSize, 'Z'));
    change.commit();
}

std::string changedBank()
{
    std::string bytes = originalBank();
    bytes.replace(kPageSize, kPageSize, std::string(kPageSize, 'X'));
    bytes.replace(3 * kPageSize, kPageSize, std::string(kPageSize, 'Y'));
    bytes.append(kPageSize, 'Z');
    return bytes;
}

class StoppedWriter : public ::testing::TestWithParam<const char*> {};

TEST_P(StoppedWriter, LeavesTheBankWholeBeforeOrAfter)
{
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    const std::string stopAt = GetParam();

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        applyChange(bank, [&](std::string_view step) {
            if (step == stopAt)
                _exit(42);  // as abrupt as a kill: no destructors, no flushing of our own
        });
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 42) << "the writer never reached " << stopAt;

    jet::rollBackInterruptedWrite(bank);
    std::string after = readBytes(bank);
    EXPECT_TRUE(after == originalBank() || after == changedBank()) << "stopped at " << stopAt;
    EXPECT_FALSE(std::filesystem::exists(jet::journalPathFor(bank)));
    // Points before the journal is removed must roll back to the original.
    if (stopAt != "journal-removed") {
        EXPECT_EQ(after, originalBank()) << "stopped at " << stopAt;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryPoint, StoppedWriter,
                         ::testing::Values("journal-half-written", "journal-written", "journal-flushed",
                                           "first-page-written", "last-page-written", "bank-flushed",
                                           "journal-removed"));

TEST(PageTransaction, CommitWritesEveryPageAndRemovesTheJournal)
{
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    applyChange(bank, {});
    EXPECT_EQ(readBytes(bank), changedBank());
    EXPECT_FALSE(std::filesystem::exists(jet::journalPathFor(bank)));
    EXPECT_FALSE(jet::rollBackInterruptedWrite(bank));
}

TEST(PageTransaction, ReadSeesItsOwnWrites)
{
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    jet::BankLock lock(bank);
    jet::PageTransaction change(bank, lock.fd(), kPageSize);
    EXPECT_EQ(change.read(2).front(), 'c');
    change.write(2, std::vector<std::uint8_t>(kPageSize, 'Q'));
    EXPECT_EQ(change.read(2).front(), 'Q');
    EXPECT_EQ(readBytes(bank)[2 * kPageSize], 'c') << "nothing reaches the bank before commit";
    EXPECT_THROW(change.read(99), jet::Error);
}

TEST(PageTransaction, DamagedJournalIsDroppedAndTheBankKept)
{
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    writeBytes(jet::journalPathFor(bank), "TSRNJRN1 cut off");
    EXPECT_FALSE(jet::rollBackInterruptedWrite(bank));
    EXPECT_EQ(readBytes(bank), originalBank());
    EXPECT_FALSE(std::filesystem::exists(jet::journalPathFor(bank)));
}

TEST(BankLock, SecondWriterWaitsThenGivesUpWithAClearMessage)
{
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    jet::BankLock first(bank);
    EXPECT_FALSE(jet::BankLock::writable(bank));
    try {
        jet::BankLock second(bank, std::chrono::milliseconds(50));
        FAIL() << "two writers held the lock at once";
    } catch (const jet::Error& e) {
        EXPECT_NE(std::string(e.what()).find("data.mdb"), std::string::npos) << e.what();
    }
}

TEST(BankLock, ReadOnlyFileIsNotWritable)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes to read-only files; the permission check cannot be seen as root";
    testing_support::TempDir dir;
    auto bank = dir / "data.mdb";
    writeBytes(bank, originalBank());
    std::filesystem::permissions(bank, std::filesystem::perms::owner_read);
    EXPECT_FALSE(jet::BankLock::writable(bank));
    EXPECT_THROW(jet::BankLock{bank}, jet::Error);
}

}  // namespace
