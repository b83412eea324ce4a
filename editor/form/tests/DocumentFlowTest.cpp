#include "editor/form/DeviceModels.h"
#include "editor/form/tests/FormFixture.h"
#include "program/DocumentFiles.h"
#include "testing/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tarvik::test {
namespace {

using Lines = std::vector<std::string>;

class DocumentFlowTest : public FormFixture {
protected:
    tarvik::testing::TemporaryFolder folder;
    const std::filesystem::path& dir = folder.path();
};

TEST_F(DocumentFlowTest, MemoTypingReachesFormOnlyWhenLeavingMemo) {
    form.userEditMemoSim("TL1=123\r\nRED=7");
    EXPECT_TRUE(form.memoSimModified());
    EXPECT_EQ(text("EDTl1"), "");
    form.focusField(F("EDTl2"));
    EXPECT_EQ(text("EDTl1"), "123");
    EXPECT_EQ(value("EDRed"), 7);
    EXPECT_FALSE(form.memoSimModified());
}

TEST_F(DocumentFlowTest, NotesChangeDecodesPendingMemoTyping) {
    form.focusField(F("MemoSim"));
    doc.program.text().setText("TK1=5");
    form.fields().setFocus(-1); // focus gone without an exit event
    form.userEditNotes({"first note"});
    EXPECT_EQ(text("EDTk1"), "5");
    EXPECT_EQ(doc.notes, Lines{"first note"});
}

TEST_F(DocumentFlowTest, ModifiedFollowsEveryProgramChangeButNotNotes) {
    doc.modified = false;
    form.userEditNotes({"a note"});
    EXPECT_FALSE(doc.modified);

    type("EDTl1", "5");
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    ASSERT_TRUE(form.userEditTrCell(1, "77"));
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    ASSERT_TRUE(form.userEditRampCell(1, 0, "555"));
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    form.userEditMemoSim("X=1");
    EXPECT_TRUE(doc.modified);

    doc.modified = false;
    form.focusField(-1); // decoding alone changes nothing
    EXPECT_FALSE(doc.modified);

    NewDocument(doc, form.documentHooks());
    EXPECT_TRUE(doc.modified);
}

TEST_F(DocumentFlowTest, NewEmptiesFormButKeepsModel) {
    load({"TL1=5", "RR123:1=123"});
    form.chooseDeviceMenuItem(1);
    NewDocument(doc, form.documentHooks());
    EXPECT_EQ(text("EDTl1"), "");
    EXPECT_EQ(form.rampGrid().cell(0, 1), "");
    EXPECT_EQ(form.deviceIndex(), 1);
    EXPECT_EQ(doc.program.remoteText(), "");
}

TEST_F(DocumentFlowTest, OpenLowersModelDecodesAndClearsModified) {
    const std::string path = (dir / "first.sim").string();
    {
        ProgramDocument saved{kDefaultModelIndex};
        LanguageTable none;
        FormModel writer(saved, none);
        writer.chooseDeviceMenuItem(0);
        ASSERT_TRUE(writer.userEditText(FormModel::fieldIndex("EDLanet"), "02"));
        ASSERT_TRUE(writer.userSetChecked(FormModel::fieldIndex("CBLanet"), true));
        ASSERT_TRUE(writer.userEditText(FormModel::fieldIndex("EDTl4"), "333"));
        ASSERT_TRUE(SaveDocument(saved, path).ok);
    }
    EXPECT_TRUE(form.barrierTabVisible());
    const FileResult result = OpenDocument(doc, path, form.documentHooks());
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(form.deviceIndex(), 0);
    EXPECT_EQ(form.checkedDeviceMenuItem(), 0);
    EXPECT_FALSE(form.barrierTabVisible());
    EXPECT_FALSE(form.fields().state(F("EDLanet")).readOnly);
    EXPECT_EQ(text("EDLanet"), "02");
    EXPECT_TRUE(checked("CBLanet"));
    EXPECT_EQ(text("EDTl4"), "333");
    EXPECT_FALSE(doc.modified);
}

TEST_F(DocumentFlowTest, OpenNeverRaisesModel) {
    const std::string path = (dir / "third.sim").string();
    {
        ProgramDocument saved{kDefaultModelIndex};
        saved.program.text().assign({"TL1=1"});
        ASSERT_TRUE(SaveDocument(saved, path).ok); // model index 2
    }
    form.chooseDeviceMenuItem(1);
    ASSERT_TRUE(OpenDocument(doc, path, form.documentHooks()).ok);
    EXPECT_EQ(form.deviceIndex(), 1);
    EXPECT_EQ(text("EDTl1"), "1");
}

TEST_F(DocumentFlowTest, InvalidFileLeavesFormAndProgramAlone) {
    load({"TL1=9"});
    const std::string path = (dir / "bad.sim").string();
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("123456\r\n", f);
        std::fclose(f);
    }
    const FileResult result = OpenDocument(doc, path, form.documentHooks());
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(lines(), Lines{"TL1=9"});
    EXPECT_EQ(text("EDTl1"), "9");
    EXPECT_EQ(form.deviceIndex(), 2);
}

TEST_F(DocumentFlowTest, FormOutlivedByDocumentLeavesNoDanglingListener) {
    ProgramDocument longLived{kDefaultModelIndex};
    {
        LanguageTable none;
        FormModel shortLived(longLived, none);
    }
    longLived.program.text().append("TL1=1"); // must not reach the destroyed form
    EXPECT_TRUE(longLived.modified);
}

} // namespace
} // namespace tarvik::test
