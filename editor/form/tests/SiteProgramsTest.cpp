// The programs of the sites of a run over many cards: one program file, each row of the
// table typed into its own form.
#include "editor/form/SitePrograms.h"

#include "editor/form/tests/FormFixture.h"

namespace tarvik::test {
namespace {

using Table = std::vector<std::vector<std::string>>;

class SiteProgramsTest : public FormFixture {
protected:
    std::string BaseFile() {
        type("EDTl1", "0600");
        type("EDTl2", "0700");
        return DocumentFileBytes(doc);
    }
};

TEST_F(SiteProgramsTest, EachRowTypesItsCellsAndAnEmptyCellKeepsTheField) {
    const std::string file = BaseFile();
    const SitePrograms made = MakeSitePrograms(
        file, Table{{"EDTl1", "EDTl2"}, {"0611", ""}, {"", "0722"}, {"0633"}}, language);
    ASSERT_EQ(made.error, "");
    ASSERT_EQ(made.sites.size(), 3u);
    struct Expected {
        int row;
        std::string tl1, tl2;
    };
    const Expected expected[] = {{1, "0611", "0700"}, {2, "0600", "0722"}, {3, "0633", "0700"}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(made.sites[i].row, expected[i].row);
        load(made.sites[i].lines);
        EXPECT_EQ(text("EDTl1"), expected[i].tl1);
        EXPECT_EQ(text("EDTl2"), expected[i].tl2);
    }
}

TEST_F(SiteProgramsTest, AnEditTheFormDoesNotTakeAsGivenFailsTheTableNamingRowAndColumn) {
    const std::string file = BaseFile();
    const std::pair<Table, std::string> cases[] = {
        {{{"EDTl1", "EDX"}, {"1", "2"}}, "row 1, column 2: no field or cell 'EDX'"},
        {{{"EDRed"}, {"5"}, {"999"}}, "row 2, column 1 (EDRed): 999 is above 99, set to 99"},
        {{{"EDTl1"}, {"06 1"}}, "row 1, column 1 (EDTl1): the field refuses \" \""},
        {{{"EDTl1"}, {"06x1"}}, "row 1, column 1 (EDTl1): the field refuses \"x\""},
        {{{"EDRed"}, {"1", "2"}}, "row 1 has 2 cells, the header 1"},
        {{}, "no header row"},
    };
    for (const auto& [table, error] : cases) {
        const SitePrograms made = MakeSitePrograms(file, table, language);
        EXPECT_EQ(made.error.substr(0, error.size()), error);
        EXPECT_TRUE(made.sites.empty());
    }
}

} // namespace
} // namespace tarvik::test
