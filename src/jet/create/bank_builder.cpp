#include "jet/create/bank_builder.h"

#include <chrono>
#include <ctime>

#include "jet/create/bank_writer.h"
#include "jet/error.h"

namespace jet {
namespace {

// Now as local time in Access's date form, as Access stamps its catalog: days since 1899-12-30
// (the Unix epoch is day 25569).
double accessNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const double seconds = std::chrono::duration<double>(now.time_since_epoch()).count() + double(local.tm_gmtoff);
    return 25569.0 + seconds / 86400.0;
}

}  // namespace

BankBuilder::BankBuilder(std::unique_ptr<BankWriter> writer) : writer_(std::move(writer)) {}
BankBuilder::BankBuilder(BankBuilder&&) noexcept = default;
BankBuilder& BankBuilder::operator=(BankBuilder&&) noexcept = default;
BankBuilder::~BankBuilder() = default;

BankBuilder BankBuilder::create(const std::filesystem::path& path) {
    return BankBuilder(std::make_unique<BankWriter>(path, accessNow()));
}

void BankBuilder::append(std::optional<std::string_view> utf8Question) {
    if (!writer_) throw Error("题库写入器已被移走");
    writer_->append(utf8Question);
}

void BankBuilder::finish() {
    if (!writer_) throw Error("题库写入器已被移走");
    writer_->finish();
}

std::uint32_t BankBuilder::rowCount() const { return writer_ ? writer_->rowCount() : 0; }

void writeBank(const std::filesystem::path& path, const std::vector<std::optional<std::string>>& questions) {
    BankBuilder builder = BankBuilder::create(path);
    for (const auto& q : questions) builder.append(q ? std::optional<std::string_view>(*q) : std::nullopt);
    builder.finish();
}

}  // namespace jet
