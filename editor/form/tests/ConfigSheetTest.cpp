#include "editor/form/ConfigSheet.h"

#include "editor/form/tests/FormFixture.h"

#include <map>

namespace tarvik::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class ConfigSheetTest : public FormFixture {
protected:
    // The page titles, and each table as "page/table" with its rows.
    std::map<std::string, Rows> Tables(const ConfigSheet& sheet) {
        std::map<std::string, Rows> tables;
        for (const auto& page : sheet.pages) {
            for (const auto& table : page.tables) {
                tables[page.title + "/" + table.title] = table.rows;
            }
        }
        return tables;
    }
};

TEST_F(ConfigSheetTest, OnlyWhatIsSetInTheChosenLanguage) {
    language.load({"Telephone=Telefono", "Telephone numbers (TL)=Numeri di telefono (TL)",
                   "Call + SMS=Chiamata + SMS", "Configuration sheet=Scheda di configurazione"});
    load({"TL1=0039123", "TL3=0039333", "TO2:4=0612", "RR555:13=555", "TR004=777"});
    doc.notes = {"Cliente Rossi"};
    const ConfigSheet sheet = BuildConfigSheet(form, language, "alarm.sim", "2026-12-08");

    EXPECT_EQ(sheet.heading, "Scheda di configurazione");
    EXPECT_EQ(sheet.model, "TQ4+ BARRIER");
    EXPECT_EQ(sheet.fileName, "alarm.sim");
    EXPECT_EQ(sheet.notes, std::vector<std::string>{"Cliente Rossi"});
    const auto tables = Tables(sheet);
    const std::map<std::string, Rows> expected = {
        {"Telefono/Numeri di telefono (TL)",
         {{"1", "Chiamata + SMS", "0039123"}, {"3", "Chiamata + SMS", "0039333"}}},
        {"Telefono/CLIP numbers (TO)", {{"2", "Output 4", "0612"}}},
        {"BARRIER Telephone/BARRIER Telephone numbers", {{"555", "1", "0", "1", "1"}}},
        {"BARRIER Telephone/TR Telephone number", {{"004", "777"}}},
    };
    EXPECT_EQ(tables, expected);
}

TEST_F(ConfigSheetTest, InputTableHasItsColumnHeadingsAndSmsTableNoUnsetTexts) {
    load({"IP1=1", "DL1=30", "IC2=5", "#1Ladri=1", "$9OK=9"});
    const ConfigSheet sheet = BuildConfigSheet(form, language, "", "");
    std::map<std::string, ConfigSheet::Table> tables;
    for (const auto& page : sheet.pages) {
        for (const auto& table : page.tables) {
            tables[table.title] = table;
        }
    }
    const ConfigSheet::Table& input = tables["Input (IP)"];
    EXPECT_EQ(input.header,
              (std::vector<std::string>{"", "Mode", "Delay (DL)", "Filter (IF, IFA)", "",
                                        "Direct alarm (OA)", "Counter trigger (IC)",
                                        "Counter reset (IR)", "Re-send SMS (IA)"}));
    for (const auto& row : input.rows) {
        EXPECT_EQ(row.size(), input.header.size()) << row[0];
    }
    ASSERT_GE(input.rows.size(), 2u);
    EXPECT_EQ(input.rows[0][0], "Alarm 1");
    EXPECT_EQ(input.rows[0][1], "NC"); // IP1=1
    EXPECT_EQ(input.rows[0][2], "30");
    // Only the texts that are set, each with its caption.
    EXPECT_EQ(tables["SMS"].rows, (Rows{{"#1 - Alarm input", "Ladri"}, {"$9 - Battery OK", "OK"}}));
}

TEST_F(ConfigSheetTest, EmptyProgramHasNoPagesAndAModelWithoutBarriersNoGrids) {
    EXPECT_TRUE(BuildConfigSheet(form, language, "", "").pages.empty());
    EXPECT_EQ(BuildConfigSheet(form, language, "", "").fileName, "(not saved)");
    load({"RR555:13=555", "TR004=777"});
    choose("CBDevice", 0);
    EXPECT_TRUE(BuildConfigSheet(form, language, "", "").pages.empty());
}

} // namespace
} // namespace tarvik::test
