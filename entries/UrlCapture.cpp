#include "entries/UrlCapture.h"

namespace ql {

namespace {
constexpr int kUrlWidth = 255;

qsizetype addressStart(const QString& text) {
    const qsizetype http = text.indexOf(QLatin1String("http:"), 0, Qt::CaseInsensitive);
    const qsizetype https = text.indexOf(QLatin1String("https:"), 0, Qt::CaseInsensitive);
    if (http >= 0 && (https < 0 || http < https)) return http;
    if (https >= 0) return https;
    return text.indexOf(QLatin1String("www."), 0, Qt::CaseInsensitive);
}
} // namespace

QString urlInText(const QString& text) {
    const qsizetype start = addressStart(text);
    if (start < 0) return {};
    QString url = text.mid(start, kUrlWidth);
    for (qsizetype i = 0; i < url.size(); ++i) {
        if (url[i].isSpace()) {
            url.truncate(i);
            break;
        }
    }
    const qsizetype quote = url.indexOf(u'"');
    if (quote >= 0) url.truncate(quote);
    return url;
}

} // namespace ql
