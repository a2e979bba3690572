// A snapshot that takes over changes without reading the file: its rows, their places and the instant
// search agree with a plain list of the rows changed the same way, over several rounds of changes,
// while the snapshot it came from stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "ado/sql/text.h"
#include "ado/table_snapshot.h"
#include "bank_files.h"
#include "jet/database.h"
#include "support/test_support.h"

namespace {

using Text = std::optional<std::string>;

struct ModelRow {
    jet::RowId where;
    std::int64_t id;
    Text text;
};

std::vector<std::uint32_t> modelFind(const std::vector<ModelRow>& rows, const std::string& loweredNeedle) {
    std::vector<std::uint32_t> found;
    for (std::size_t r = 0; r < rows.size(); ++r)
        if (rows[r].text && ado::sql::lowerCase(*rows[r].text).find(loweredNeedle) != std::string::npos)
            found.push_back(static_cast<std::uint32_t>(r));
    return found;
}

void expectSame(const ado::TableSnapshot& snapshot, const std::vector<ModelRow>& model, const std::string& when) {
    ASSERT_EQ(snapshot.rowCount(), model.size()) << when;
    ASSERT_EQ(snapshot.rowIds().size(), model.size()) << when;
    for (std::size_t r = 0; r < model.size(); ++r) {
        EXPECT_EQ(snapshot.rowIds()[r], model[r].where) << when << " row " << r;
        EXPECT_EQ(snapshot.value(r, 0), jet::Value(model[r].id)) << when << " row " << r;
        const auto view = snapshot.textView(r, 1);
        EXPECT_EQ(view ? Text(std::string(*view)) : std::nullopt, model[r].text) << when << " row " << r;
    }
    ASSERT_TRUE(snapshot.hasSearchIndex(1));
    for (const std::string needle : {"a", "ab", "题", "b题", "z", "xyz", "ab题"}) {
        const ado::Matches all = snapshot.findText(1, needle);
        EXPECT_EQ(all.rows, modelFind(model, needle)) << when << " needle " << needle;
        // Narrowed by an earlier, shorter needle's matches, as the search box's next keystroke does.
        const ado::Matches narrowed = snapshot.findText(1, needle + "c", &all, needle);
        EXPECT_EQ(narrowed.rows, modelFind(model, needle + "c")) << when << " needle " << needle << "c";
    }
}

TEST(SnapshotOverlay, RoundsOfChangesAgreeWithAPlainListOfRows) {
    testing_support::TempDir dir;
    std::mt19937 random(20261211);
    const std::vector<std::string> pieces = {"a", "B", "题", "c", "xyz", "AB题"};
    auto someText = [&]() -> Text {
        if (random() % 7 == 0) return std::nullopt;
        std::string text;
        for (unsigned n = random() % 5; n > 0; --n) text += pieces[random() % pieces.size()];
        return text;
    };
    engine_test::Questions questions;
    for (int i = 0; i < 300; ++i) questions.push_back(someText());
    engine_test::writeBank(dir / "data.mdb", questions);
    auto snapshot = ado::TableSnapshot::read(*jet::Database::open(dir / "data.mdb"), "tiku");
    const auto original = snapshot;

    std::vector<ModelRow> model;
    for (std::size_t r = 0; r < questions.size(); ++r)
        model.push_back({snapshot->rowIds()[r], static_cast<std::int64_t>(r + 1), questions[r]});
    const std::vector<ModelRow> originalModel = model;
    std::uint16_t nextSlot = 0;
    std::int64_t nextId = static_cast<std::int64_t>(questions.size()) + 1;

    for (int round = 0; round < 6; ++round) {
        std::vector<ado::SnapshotChange> changes;
        for (int n = 0; n < 25; ++n) {
            const unsigned kind = random() % 3;
            if (kind == 0 || model.empty()) {
                const ModelRow added{jet::RowId{100000, nextSlot++}, nextId++, someText()};
                changes.push_back({ado::SnapshotChange::Kind::Insert, added.where, {added.id, added.text ? jet::Value(*added.text) : jet::Value()}});
                model.push_back(added);
            } else if (kind == 1) {
                const std::size_t r = random() % model.size();
                model[r].text = someText();
                changes.push_back({ado::SnapshotChange::Kind::Update, model[r].where,
                                   {model[r].id, model[r].text ? jet::Value(*model[r].text) : jet::Value()}});
            } else {
                const std::size_t r = random() % model.size();
                changes.push_back({ado::SnapshotChange::Kind::Remove, model[r].where, {}});
                model.erase(model.begin() + static_cast<std::ptrdiff_t>(r));
            }
        }
        snapshot = snapshot->withChanges(changes);
        expectSame(*snapshot, model, "round " + std::to_string(round));
    }
    expectSame(*original, originalModel, "the snapshot read from the file");
}

TEST(SnapshotOverlay, AChangeOfARowItDoesNotHoldIsRefused) {
    testing_support::TempDir dir;
    engine_test::writeBank(dir / "data.mdb", {"甲", "乙"});
    auto snapshot = ado::TableSnapshot::read(*jet::Database::open(dir / "data.mdb"), "tiku");
    const jet::RowId first = snapshot->rowIds()[0];
    EXPECT_THROW(snapshot->withChanges({{ado::SnapshotChange::Kind::Remove, jet::RowId{9999, 1}, {}}}), std::invalid_argument);
    EXPECT_THROW(snapshot->withChanges({{ado::SnapshotChange::Kind::Remove, first, {}},
                                        {ado::SnapshotChange::Kind::Update, first, {std::int64_t{1}, std::string("x")}}}),
                 std::invalid_argument);
    EXPECT_THROW(snapshot->withChanges({{ado::SnapshotChange::Kind::Update, first, {std::string("one cell")}}}),
                 std::invalid_argument);
    EXPECT_EQ(snapshot->rowCount(), 2u);
}

}  // namespace
