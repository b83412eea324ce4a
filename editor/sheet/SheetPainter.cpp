#include "editor/sheet/SheetPainter.h"

#include "base/Windows1252.h"
#include "editor/form/ConfigSheet.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QString>
#include <QTextDocument>

namespace tarvik {
namespace {

QString Html(const std::string& text) {
    return QString::fromStdString(Windows1252ToUtf8(text)).toHtmlEscaped();
}

void AddRow(QString& html, const std::vector<std::string>& cells, const char* tag) {
    html += QStringLiteral("<tr>");
    for (const std::string& cell : cells) {
        html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), Html(cell));
    }
    html += QStringLiteral("</tr>");
}

} // namespace

QString SheetHtml(const ConfigSheet& sheet) {
    QString html = QStringLiteral("<h1>%1</h1><table cellpadding=\"3\">").arg(Html(sheet.heading));
    const std::pair<const std::string&, const std::string&> heading[] = {
        {sheet.modelLabel, sheet.model},
        {sheet.fileLabel, sheet.fileName},
        {sheet.dateLabel, sheet.date},
    };
    for (const auto& [label, value] : heading) {
        html +=
            QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(Html(label), Html(value));
    }
    html += QStringLiteral("</table>");
    if (!sheet.notes.empty()) {
        html += QStringLiteral("<h3>%1</h3><p>").arg(Html(sheet.notesLabel));
        for (const std::string& line : sheet.notes) {
            html += Html(line) + QStringLiteral("<br/>");
        }
        html += QStringLiteral("</p>");
    }
    for (const ConfigSheet::Page& page : sheet.pages) {
        html += QStringLiteral("<h2>%1</h2>").arg(Html(page.title));
        for (const ConfigSheet::Table& table : page.tables) {
            html += QStringLiteral("<h3>%1</h3>").arg(Html(table.title));
            html += QStringLiteral(
                "<table border=\"1\" cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">");
            if (!table.header.empty()) {
                AddRow(html, table.header, "th");
            }
            for (const auto& row : table.rows) {
                AddRow(html, row, "td");
            }
            html += QStringLiteral("</table>");
        }
    }
    return html;
}

bool PaintSheet(const ConfigSheet& sheet, QPagedPaintDevice& device) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    QTextDocument document;
    // Laid out with the page's own metrics, so fonts keep their point sizes.
    document.documentLayout()->setPaintDevice(&device);
    QFont font(QStringLiteral("Sans Serif"), 10);
    // Without ligatures, so that the PDF's text reads back (and searches) as written.
    font.setStyleStrategy(QFont::PreferNoShaping);
    document.setDefaultFont(font);
    document.setHtml(SheetHtml(sheet));
    const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    document.setPageSize(page.size());
    const int pages = document.pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0) {
            device.newPage();
        }
        painter.save();
        painter.translate(0, -i * page.height());
        document.drawContents(&painter, QRectF(0, i * page.height(), page.width(), page.height()));
        painter.restore();
        painter.setFont(QFont(QStringLiteral("Sans Serif"), 8));
        painter.drawText(QRectF(0, page.height() - 40, page.width(), 40),
                         Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(i + 1).arg(pages));
    }
    return painter.end();
}

} // namespace tarvik
