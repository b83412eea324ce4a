// tarvik-guide: writes the user guide as a PDF at build time.
//
//   tarvik-guide OUTPUT.pdf PART.md...
//
// The parts, Markdown texts, are joined in order and typeset on A4 with Qt's own PDF
// writer. Runs on any Qt platform, the offscreen one included.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextStream>
#include <QTextTable>
#include <cstdio>

namespace {

constexpr int kResolution = 300; // dots per inch of the page
constexpr double kMarginMm = 20;

bool ReadParts(int count, char** paths, QString& markdown) {
    for (int i = 0; i < count; ++i) {
        QFile part(QString::fromLocal8Bit(paths[i]));
        if (!part.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "tarvik-guide: cannot read %s\n", paths[i]);
            return false;
        }
        markdown += QString::fromUtf8(part.readAll());
        markdown += QStringLiteral("\n\n");
    }
    return true;
}

// The document's title: the text of its first heading.
QString TitleOf(const QString& markdown) {
    for (const QString& line : markdown.split(u'\n')) {
        if (line.startsWith(QStringLiteral("# "))) {
            return line.mid(2).trimmed();
        }
    }
    return QStringLiteral("Tarvik");
}

// Tables get thin single rules and room around their text.
void StyleTables(QTextDocument& document) {
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(frame)) {
            QTextTableFormat format = table->format();
            format.setBorderCollapse(true);
            format.setBorder(2);
            format.setBorderBrush(QColor(150, 150, 150));
            format.setCellPadding(7);
            format.setCellSpacing(0);
            table->setFormat(format);
        }
    }
}

void Typeset(QTextDocument& document, QPdfWriter& writer) {
    QPainter painter(&writer);
    const QRectF page = writer.pageLayout().paintRectPixels(writer.resolution());
    document.setPageSize(page.size());
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            writer.newPage();
        }
        painter.save();
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
        // Page number at the foot.
        painter.setFont(QFont(QStringLiteral("Sans Serif"), 8));
        painter.drawText(QRectF(0, page.height() - 40, page.width(), 40),
                         Qt::AlignRight | Qt::AlignBottom, QString::number(i + 1));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tarvik-guide OUTPUT.pdf PART.md...\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    QString markdown;
    if (!ReadParts(argc - 2, argv + 2, markdown)) {
        return 1;
    }

    QPdfWriter writer(QString::fromLocal8Bit(argv[1]));
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter));
    writer.setTitle(TitleOf(markdown));
    writer.setCreator(QStringLiteral("Tarvik"));

    QTextDocument document;
    // Lay the text out with the page's own metrics, so fonts keep their point sizes.
    document.documentLayout()->setPaintDevice(&writer);
    QFont font(QStringLiteral("Sans Serif"), 10);
    document.setDefaultFont(font);
    document.setMarkdown(markdown);
    StyleTables(document);
    Typeset(document, writer);
    return 0;
}
