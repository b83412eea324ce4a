// Timings of the form's pages with real widgets on the offscreen platform, over the full
// 1,500-line program:
// - a full decoding shown in every widget, the memos and the grids (aim: under 50 ms);
// - one character typed into EDTl3 until MemoSim shows it (aim: under 16 ms, one frame).
#include "bench/editor/FullProgram.h"
#include "editor/form/DeviceModels.h"
#include "editor/form/FormModel.h"
#include "editor/shell/pages/FormPages.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QVBoxLayout>
#include <benchmark/benchmark.h>
#include <memory>

namespace {

using tarvik::FormModel;
using tarvik::FormPages;
using tarvik::bench::FullProgram;

// The pages in a shown window over a form holding the full program.
struct LoadedPages {
    ~LoadedPages() { delete tabs; }
    LoadedPages() {
        doc.program.text().assign(FullProgram());
        form.decodeProgram();
        auto* layout = new QVBoxLayout(&window);
        tabs = new QTabWidget;
        pages = &FormPages::Build(*tabs, form, [] {});
        layout->addWidget(&pages->CBDevice());
        layout->addWidget(tabs);
        window.resize(window.sizeHint());
        window.show();
        QApplication::setActiveWindow(&window);
        QApplication::processEvents();
    }
    tarvik::ProgramDocument doc{tarvik::kDefaultModelIndex};
    tarvik::LanguageTable language;
    FormModel form{doc, language};
    QWidget window;
    QTabWidget* tabs = nullptr;
    FormPages* pages = nullptr; // goes with tabs
};

// A program replaced as Open or Read SIM replace it: the text, the decoding, and whatever
// the window then shows of both before the next event.
void BM_DecodeIntoWidgets(benchmark::State& state) {
    LoadedPages loaded;
    const std::vector<std::string> programs[] = {FullProgram(1), FullProgram(2)};
    int next = 0;
    for (auto _ : state) {
        loaded.doc.program.text().assign(programs[next]);
        next = 1 - next;
        loaded.form.decodeProgram();
        QApplication::processEvents();
    }
    if (!loaded.pages->MemoSim().toPlainText().startsWith(QStringLiteral("RED=3"))) {
        state.SkipWithError("the memo does not show the program");
    }
}
BENCHMARK(BM_DecodeIntoWidgets)->Unit(benchmark::kMillisecond);

// One key typed into EDTl3 (a digit, then Backspace), through the key filter, the handler
// and the entry, until the program memo and the remote text show it.
void BM_TypeIntoEDTl3(benchmark::State& state) {
    LoadedPages loaded;
    auto* edit = loaded.window.findChild<QLineEdit*>(QStringLiteral("EDTl3"));
    loaded.tabs->setCurrentWidget(loaded.window.findChild<QWidget*>(QStringLiteral("TSTelephone")));
    edit->setFocus();
    edit->end(false);
    QApplication::processEvents();
    bool digit = true;
    for (auto _ : state) {
        if (digit) {
            QTest::keyClick(edit, Qt::Key_7);
        } else {
            QTest::keyClick(edit, Qt::Key_Backspace);
        }
        digit = !digit;
        QApplication::processEvents();
    }
    if (!loaded.pages->MemoSim().toPlainText().contains(QStringLiteral("TL3=0039333023437")) &&
        !loaded.pages->MemoSim().toPlainText().contains(QStringLiteral("TL3=003933302343"))) {
        state.SkipWithError("the memo does not show the typing");
    }
}
BENCHMARK(BM_TypeIntoEDTl3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
