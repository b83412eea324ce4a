// The form's pages laid out in every language: nothing clipped, nothing on top of
// anything else, at the smallest window size and at a larger one. With TARVIK_SCREENSHOTS
// set, every page is also rendered to PNG files for a person to look at.

#include "editor/shell/i18n/WindowTranslator.h"
#include "editor/shell/pages/FormPages.h"
#include "editor/shell/pages/tests/FormPagesFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::FormPagesWindow;

LanguageTable Language(const char* file) {
    LanguageTable table;
    if (file) {
        table.loadFile(
            QFile::encodeName(QStringLiteral(TARVIK_LANGUAGES_DIR "/") + QString::fromLatin1(file))
                .toStdString());
        EXPECT_GT(table.size(), 1U) << file;
    }
    return table;
}

std::string Describe(const QWidget& widget) {
    return widget.objectName().toStdString() + " (" + widget.metaObject()->className() + ")";
}

// The size below which a widget cuts off some of its text.
QSize NeededSize(const QWidget& widget) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget); label && label->wordWrap()) {
        return {label->minimumSizeHint().width(), label->heightForWidth(label->width())};
    }
    if (qobject_cast<const QLabel*>(&widget) || qobject_cast<const QAbstractButton*>(&widget) ||
        qobject_cast<const QComboBox*>(&widget)) {
        return widget.sizeHint();
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget)) {
        // The whole text, and the frame and margins around it: what the box's own size
        // hint adds to the 17 characters it asks room for.
        const QFontMetrics metrics = edit->fontMetrics();
        const int around = edit->sizeHint().width() - 17 * metrics.horizontalAdvance(u'x');
        const QSize empty = edit->minimumSizeHint();
        return {std::max(empty.width(), metrics.horizontalAdvance(edit->text()) + around),
                empty.height()};
    }
    return widget.minimumSizeHint();
}

// Every visible child of parent is as large as it needs to be, lies inside parent and
// overlaps no sibling; the same for their children.
void ExpectTidy(const QWidget& parent, const std::string& where) {
    std::vector<const QWidget*> children;
    for (const QObject* object : parent.children()) {
        const auto* child = qobject_cast<const QWidget*>(object);
        if (child && child->isVisible() && !child->isWindow() &&
            !child->objectName().startsWith(QStringLiteral("qt_"))) {
            children.push_back(child);
        }
    }
    for (std::size_t i = 0; i < children.size(); ++i) {
        const QWidget& child = *children[i];
        const QSize needed = NeededSize(child);
        EXPECT_GE(child.width(), needed.width()) << where << ": " << Describe(child) << " clipped";
        EXPECT_GE(child.height(), needed.height())
            << where << ": " << Describe(child) << " clipped";
        EXPECT_TRUE(parent.rect().contains(child.geometry()))
            << where << ": " << Describe(child) << " outside " << Describe(parent);
        for (std::size_t j = i + 1; j < children.size(); ++j) {
            EXPECT_FALSE(child.geometry().intersects(children[j]->geometry()))
                << where << ": " << Describe(child) << " overlaps " << Describe(*children[j]);
        }
        if (qobject_cast<const QGroupBox*>(&child) || child.objectName().isEmpty()) {
            ExpectTidy(child, where);
        }
    }
}

class FormPagesLayoutTest : public ::testing::TestWithParam<const char*> {};

TEST_P(FormPagesLayoutTest, EveryPageIsTidyAtTheSmallestAndALargerSize) {
    const LanguageTable table = Language(GetParam());
    FormPagesWindow pages(table);
    WindowTranslator translator(pages.window, table);
    translator.TranslateForm(pages.window);
    // Values as long as the fields take, so that nothing is measured empty.
    pages.doc.program.text().assign({"RED=99", "NET=I TIM", "V1=*123#", "V2PRE CRE SIN=*124#",
                                     "V3=*125#", "SPH=9999", "IP1=7", "IP2=5", "OA11=40", "OP1=243",
                                     "OP2=238", "TL0S=+390123456789", "TO9:5=+390123456789",
                                     "TK9=+390123456789", "#0ABCDEFGHIJKLMN=0", "LK0=1234",
                                     "RR23456789:15=+39123456789", "TR999=+390123456789"});
    pages.form.decodeProgram();
    pages.pages->refresh();

    const QString language = GetParam() ? QString::fromLatin1(GetParam()).mid(4, 2) : "en";
    // A small window scrolls the pages instead of squeezing them; a large one shows them
    // whole.
    for (const QSize size : {QSize(500, 400), QSize(1920, 1080)}) {
        pages.window.resize(size);
        for (int i = 0; i < pages.tabs->count(); ++i) {
            if (!pages.tabs->isTabVisible(i)) {
                continue;
            }
            pages.tabs->setCurrentIndex(i);
            pages.window.layout()->activate();
            QApplication::processEvents();
            QWidget& page = PageOf(*pages.tabs, i);
            const std::string where =
                language.toStdString() + " " + page.objectName().toStdString() + " at " +
                std::to_string(size.width()) + "x" + std::to_string(size.height());
            EXPECT_GE(page.width(), page.minimumSizeHint().width()) << where;
            EXPECT_GE(page.height(), page.minimumSizeHint().height()) << where;
            ExpectTidy(page, where);
        }
    }

    pages.window.resize(500, 400); // the small window, scrolling its pages
    const QString folder = qEnvironmentVariable("TARVIK_SCREENSHOTS");
    if (!folder.isEmpty()) {
        RenderPages(*pages.tabs, folder, QStringLiteral("pages-") + language);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, FormPagesLayoutTest,
    ::testing::Values(nullptr, "LAN_Italiano.ini", "LAN_Deutsch.ini"), [](const auto& info) {
        return std::string(
            info.param ? QString::fromLatin1(info.param).mid(4).section('.', 0, 0).toStdString()
                       : "English");
    });

} // namespace
} // namespace tarvik
