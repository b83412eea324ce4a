// Showing program lines in a memo by rewriting only the block that changed.

#include "editor/shell/pages/MemoLines.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using Lines = std::vector<std::string>;

TEST(MemoLines, TheMemoShowsTheNewLinesWhateverChanged) {
    struct Case {
        const char* what;
        Lines before;
        Lines after;
    };
    const Case cases[] = {
        {"one line changed in the middle", {"a", "b", "c"}, {"a", "x", "c"}},
        {"a line added in the middle", {"a", "c"}, {"a", "b", "c"}},
        {"a line removed from the middle", {"a", "b", "c"}, {"a", "c"}},
        {"a line added at the end", {"a", "b"}, {"a", "b", "c"}},
        {"the last line removed", {"a", "b", "c"}, {"a", "b"}},
        {"a line added at the start", {"b", "c"}, {"a", "b", "c"}},
        {"the first line removed", {"a", "b", "c"}, {"b", "c"}},
        {"a block replaced by a longer one", {"a", "b", "c", "d"}, {"a", "x", "y", "z", "d"}},
        {"a block at the end replaced", {"a", "b", "c"}, {"a", "y"}},
        {"everything replaced", {"a", "b"}, {"x", "y", "z"}},
        {"emptied", {"a", "b"}, {}},
        {"filled", {}, {"a", "b"}},
        {"repeated lines", {"a", "a", "a"}, {"a", "a"}},
        {"repeated lines grow", {"a", "a"}, {"a", "a", "a"}},
        {"empty lines", {"a", "", "b"}, {"a", "", "", "b"}},
        {"accented text", {"#1caf\xE9=1"}, {"#1caf\xE9=1", "TL1=5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QPlainTextEdit memo;
        memo.setPlainText(MemoText(c.before, 0, c.before.size()));
        int changes = 0;
        QObject::connect(&memo, &QPlainTextEdit::textChanged, [&] { ++changes; });
        ShowLines(memo, c.before, c.after);
        EXPECT_EQ(memo.toPlainText(), MemoText(c.after, 0, c.after.size()));
        EXPECT_EQ(changes, 0) << "an update from the program must not look like typing";
    }
}

TEST(MemoLines, ALineBreakTypedAtTheEndStaysWhenALineIsAdded) {
    // The program drops a line break typed after its last line; the memo still shows it.
    QPlainTextEdit memo;
    memo.setPlainText("a\nb\n");
    ShowLines(memo, {"a", "b"}, {"a", "b", "c"});
    EXPECT_EQ(memo.toPlainText(), "a\nb\nc");
    ShowLines(memo, {"a", "b", "c"}, {"x", "a", "b", "c"});
    EXPECT_EQ(memo.toPlainText(), "x\na\nb\nc");
}

} // namespace
} // namespace tarvik
