#include "framework/Pictures.h"
#include "framework/DateTimePictures.h"
#include <limits>

namespace ql {

namespace {

bool isDigitPlace(QChar c) { return c == u'#' || c == u'<'; }

// The picture without blanks around it and without its leading "@".
QStringView bare(QStringView text) {
    text = text.trimmed();
    if (text.startsWith(u'@')) text = text.mid(1);
    return text;
}

PictureKind kindOf(QChar letter) {
    switch (letter.toLower().unicode()) {
    case u's': return PictureKind::Text;
    case u'n': return PictureKind::Number;
    case u'd': return PictureKind::Date;
    case u't': return PictureKind::Time;
    case u'p': return PictureKind::Pattern;
    default: return PictureKind::Other;
    }
}

int leadingNumber(QStringView text, qsizetype& at) {
    int n = 0;
    while (at < text.size() && text[at].isDigit() && n < 100000) n = n * 10 + text[at++].digitValue();
    return n;
}

QString unsignedDigits(qint64 value) {
    const quint64 magnitude = value < 0 ? 0 - quint64(value) : quint64(value);
    return QString::number(magnitude);
}

} // namespace

std::optional<qint64> parseWholeNumber(QStringView text) {
    text = text.trimmed();
    if (text.isEmpty()) return 0;
    qsizetype at = 0;
    const bool negative = text[0] == u'-';
    if (negative || text[0] == u'+') ++at;
    const qsizetype firstDigit = at;
    quint64 magnitude = 0;
    constexpr quint64 kLimit = quint64(std::numeric_limits<qint64>::max()) + 1;
    for (; at < text.size() && text[at].isDigit(); ++at) {
        magnitude = magnitude * 10 + quint64(text[at].digitValue());
        if (magnitude > kLimit) return std::nullopt;
    }
    if (at == firstDigit) return std::nullopt;
    if (at < text.size() && text[at] == u'.') {
        for (++at; at < text.size() && text[at] == u'0';) ++at;
    }
    if (at != text.size()) return std::nullopt;
    if (!negative && magnitude == kLimit) return std::nullopt;
    return negative ? qint64(0 - magnitude) : qint64(magnitude);
}

Picture::Picture() : text_(QStringLiteral("@s")), code_(QStringLiteral("s")) {}

Picture::Picture(QStringView text) : text_(text.toString()) {
    const QStringView original = bare(text);
    code_ = original.toString().toLower();
    kind_ = code_.isEmpty() ? PictureKind::Other : kindOf(code_[0]);
    if (kind_ == PictureKind::Pattern) {
        parsePattern(original);
        return;
    }
    if (kind_ != PictureKind::Text && kind_ != PictureKind::Other && code_.endsWith(u'b')) {
        blankWhenZero_ = true;
        code_.chop(1);
    }
    number_ = pictureNumber(code_);
    if (kind_ == PictureKind::Number) {
        parseNumber(QStringView(code_).mid(1));
    } else if (kind_ == PictureKind::Text) {
        qsizetype at = 1;
        width_ = leadingNumber(code_, at);
    }
}

void Picture::parseNumber(QStringView code) {
    qsizetype at = 0;
    if (at < code.size() && code[at] == u'-') ++at;
    if (at + 1 < code.size() && (code[at] == u'_' || code[at] == u'*' || code[at] == u'0') &&
        code[at + 1].isDigit()) {
        fill_ = code[at] == u'_' ? QChar(u' ') : code[at];
        ++at;
    }
    width_ = leadingNumber(code, at);
    if (at < code.size() && code[at] == u'.') {
        ++at;
        places_ = std::min(leadingNumber(code, at), 30);
    }
}

// "@p<<<# secondspb": the pattern lies between the two p's, a "b" after the
// closing one blanks a zero. The pattern keeps the case it was written in.
void Picture::parsePattern(QStringView original) {
    QStringView rest = original.mid(1);
    if (rest.size() >= 2 && rest.endsWith(u'b', Qt::CaseInsensitive) &&
        rest[rest.size() - 2].toLower() == u'p') {
        blankWhenZero_ = true;
        rest.chop(2);
    } else if (rest.endsWith(u'p', Qt::CaseInsensitive)) {
        rest.chop(1);
    }
    pattern_ = rest.toString();
}

QString Picture::format(qint64 value) const {
    switch (kind_) {
    case PictureKind::Number: return formatNumber(value);
    case PictureKind::Date:
        return value > 0 && value <= std::numeric_limits<int32_t>::max()
                   ? formatDateNumber(int32_t(value), number_) : QString();
    case PictureKind::Time:
        return value > 0 && value <= std::numeric_limits<int32_t>::max()
                   ? formatTimeNumber(int32_t(value), number_) : QString();
    case PictureKind::Pattern: return formatPattern(value);
    case PictureKind::Text: return formatText(QString::number(value));
    case PictureKind::Other: break;
    }
    return QString::number(value);
}

QString Picture::formatText(QStringView value) const {
    if (kind_ == PictureKind::Text)
        return (width_ > 0 ? value.left(width_) : value).toString();
    if (kind_ == PictureKind::Other) return value.toString();
    const std::optional<qint64> number = parseWholeNumber(value);
    return number ? format(*number) : value.toString();
}

QString Picture::formatNumber(qint64 value) const {
    if (blankWhenZero_ && value == 0) return {};
    QString digits = unsignedDigits(value);
    if (places_ > 0) digits += u'.' + QString(places_, u'0');
    const QString sign = value < 0 ? QStringLiteral("-") : QString();
    const qsizetype pad = std::max<qsizetype>(0, width_ - sign.size() - digits.size());
    if (fill_ == u' ') return QString(pad, u' ') + sign + digits;
    return sign + QString(pad, fill_) + digits;
}

QString Picture::formatPattern(qint64 value) const {
    if (blankWhenZero_ && value == 0) return {};
    const QString digits = unsignedDigits(value);
    QString out = pattern_;
    qsizetype next = digits.size() - 1;
    qsizetype firstPlace = -1;
    for (qsizetype i = out.size() - 1; i >= 0; --i) {
        if (!isDigitPlace(out[i])) continue;
        firstPlace = i;
        if (next >= 0) out[i] = digits[next--];
        else out[i] = out[i] == u'#' ? QChar(u'0') : QChar(u' ');
    }
    if (firstPlace < 0) return out;
    // Never cut digits: the ones left over go before the first place.
    if (next >= 0) out.insert(firstPlace, digits.left(next + 1));
    if (value < 0) {
        // The sign takes the blank right before the first digit shown.
        qsizetype at = firstPlace;
        while (at < out.size() && out[at] == u' ') ++at;
        if (at > firstPlace) out[at - 1] = u'-';
        else out.insert(firstPlace, u'-');
    }
    return out;
}

std::optional<qint64> Picture::unformat(QStringView text) const {
    switch (kind_) {
    case PictureKind::Date: {
        const std::optional<int32_t> day = readDate(text, number_);
        return day ? std::optional<qint64>(*day) : std::nullopt;
    }
    case PictureKind::Time: {
        const std::optional<int32_t> time = readTime(text, number_);
        return time ? std::optional<qint64>(*time) : std::nullopt;
    }
    case PictureKind::Pattern: return unformatPattern(text);
    case PictureKind::Number: {
        QString plain = text.toString();
        plain.remove(u'*');
        if (fill_ == u'0') plain = plain.trimmed();
        return parseWholeNumber(plain);
    }
    case PictureKind::Text:
    case PictureKind::Other: break;
    }
    return parseWholeNumber(text);
}

// Takes the pattern's literal pieces out of the text (wherever they stand,
// ignoring case and blanks around them); what is left must be a whole number.
std::optional<qint64> Picture::unformatPattern(QStringView text) const {
    QString rest = text.toString();
    QString literal;
    auto dropLiteral = [&] {
        const QString piece = literal.trimmed();
        literal.clear();
        if (piece.isEmpty()) return;
        const qsizetype at = rest.indexOf(piece, 0, Qt::CaseInsensitive);
        if (at >= 0) rest.remove(at, piece.size());
    };
    for (QChar c : pattern_) {
        if (isDigitPlace(c)) dropLiteral();
        else literal += c;
    }
    dropLiteral();
    rest.remove(u' ');
    return parseWholeNumber(rest);
}

QString preferredDatePicture(const QString& token) {
    const QString trimmed = token.trimmed();
    const QString picture = trimmed.startsWith(u'@') ? trimmed : u'@' + trimmed;
    return Picture(picture).kind() == PictureKind::Date ? picture : QStringLiteral("@d17");
}

} // namespace ql
