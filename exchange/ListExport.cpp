#include "exchange/ListExport.h"
#include "platform/core/FileDialogs.h"
#include "platform/core/PrivateFile.h"
#include "platform/core/Prompter.h"
#include "store/FileTargets.h"
#include <QAbstractItemModel>

namespace ql {

namespace {

const QString kTextFilter = QStringLiteral("Text Files|*.TXT|All Files|*.*");
const QString kHtmlFilter = QStringLiteral("Web Pages|*.HTML|All Files|*.*");

QString escapedForText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\t': out += QStringLiteral("\\t"); break;
        case u'\n': out += QStringLiteral("\\n"); break;
        case u'\r': out += QStringLiteral("\\r"); break;
        case u'\\': out += QStringLiteral("\\\\"); break;
        default: out += c;
        }
    }
    return out;
}

// Characters no page may hold (controls, non-characters, halves of a pair
// standing alone) show as the replacement character.
QString escapedForHtml(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += text[i];
            out += text[++i];
            continue;
        }
        switch (c) {
        case u'&': out += QStringLiteral("&amp;"); break;
        case u'<': out += QStringLiteral("&lt;"); break;
        case u'>': out += QStringLiteral("&gt;"); break;
        case u'"': out += QStringLiteral("&quot;"); break;
        case u'\'': out += QStringLiteral("&#39;"); break;
        case u'\t':
        case u'\n': out += QChar(c); break;
        default:
            if (c < 0x20 || (c >= 0x7f && c < 0xa0) || c == 0xfffe || c == 0xffff || QChar::isSurrogate(c))
                out += QChar(0xfffd);
            else
                out += QChar(c);
        }
    }
    return out;
}

const char kPageStart[] =
    "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
    "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; style-src 'unsafe-inline'\">\n"
    "<meta name=\"referrer\" content=\"no-referrer\">\n"
    "<style>\nbody { font-family: sans-serif; margin: 1em; }\n"
    "table { border-collapse: collapse; }\n"
    "th, td { border: 1px solid #999; padding: 2px 6px; text-align: left; vertical-align: top; "
    "white-space: pre-wrap; }\nth { background: #e8e8e8; }\n</style>\n";

QString withSuffix(const QString& name, ListExportFormat format) {
    const qsizetype slash = name.lastIndexOf(u'/');
    if (name.indexOf(u'.', slash + 1) >= 0) return name;
    return name + (format == ListExportFormat::Html ? QStringLiteral(".html") : QStringLiteral(".txt"));
}

} // namespace

ListExportTable shownTable(const QAbstractItemModel& model, const std::vector<int>& columns,
                           const QString& title) {
    ListExportTable table;
    table.title = title;
    for (int column : columns)
        table.headers << model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
    table.rows = model.rowCount();
    table.cell = [&model, columns](int row, int column) {
        return model.data(model.index(row, columns[size_t(column)])).toString();
    };
    return table;
}

void addExportColumn(ListExportTable& table, const QString& header, std::function<QString(int row)> cell) {
    const int at = int(table.headers.size());
    table.headers << header;
    table.cell = [before = std::move(table.cell), at, cell = std::move(cell)](int row, int column) {
        return column == at ? cell(row) : before(row, column);
    };
}

QByteArray listAsText(const ListExportTable& table) {
    QString out;
    QStringList line;
    for (const QString& header : table.headers) line << escapedForText(header);
    out += line.join(u'\t') + u'\n';
    for (int row = 0; row < table.rows; ++row) {
        line.clear();
        for (int column = 0; column < table.headers.size(); ++column)
            line << escapedForText(table.cell(row, column));
        out += line.join(u'\t') + u'\n';
    }
    return out.toUtf8();
}

QByteArray listAsHtml(const ListExportTable& table) {
    QString out = QString::fromLatin1(kPageStart);
    const QString title = escapedForHtml(table.title);
    out += QStringLiteral("<title>") + title + QStringLiteral("</title>\n</head>\n<body>\n<h1>") + title +
           QStringLiteral("</h1>\n<table>\n<thead>\n<tr>");
    for (const QString& header : table.headers)
        out += QStringLiteral("<th>") + escapedForHtml(header) + QStringLiteral("</th>");
    out += QStringLiteral("</tr>\n</thead>\n<tbody>\n");
    for (int row = 0; row < table.rows; ++row) {
        out += QStringLiteral("<tr>");
        for (int column = 0; column < table.headers.size(); ++column)
            out += QStringLiteral("<td>") + escapedForHtml(table.cell(row, column)) + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    out += QStringLiteral("</tbody>\n</table>\n</body>\n</html>\n");
    return out.toUtf8();
}

QString ListExporter::chooseFile(ListExportFormat format, const QString& suggestedName) {
    const QString& filter = format == ListExportFormat::Html ? kHtmlFilter : kTextFilter;
    QString path, initial = withSuffix(suggestedName, format);
    while (path.isEmpty()) { // a refused file asks again
        const QString chosen = files_.saveFile({kTitle, filter, initial});
        if (chosen.isEmpty()) return {};
        initial = chosen;
        path = withSuffix(chosen, format);
        if (refuseDataFolderFile(path, prompter_) || !acceptReadableByOthers(path, prompter_)) path.clear();
    }
    return path;
}

QString ListExporter::run(const ListExportTable& table, ListExportFormat format,
                          const QString& suggestedName) {
    const QString path = chooseFile(format, suggestedName);
    if (path.isEmpty()) return {};
    const QByteArray bytes = format == ListExportFormat::Html ? listAsHtml(table) : listAsText(table);
    // Whether others may read it was settled when the file was chosen.
    const QString error = private_file::write(path, bytes, private_file::Privacy::BestEffort);
    if (error.isEmpty()) return path;
    prompter_.ask({kTitle, QStringLiteral("The list could not be written to ") + path +
                               QStringLiteral(".\n\n") + error,
                   int(PromptButton::Ok), PromptButton::Ok, PromptIcon::Exclamation});
    return {};
}

} // namespace ql
