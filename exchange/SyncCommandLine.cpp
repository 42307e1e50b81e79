#include "exchange/SyncCommandLine.h"
#include <initializer_list>

namespace ql {

namespace {

constexpr int kNameWidth = 128;

// Keys the program reads as key=value; positional parameters pass over them.
const QStringList& ownKeys() {
    static const QStringList keys{"Data", "Sync", "SYNC", "User", "Name", "NAME",
                                  "Password", "PASSWORD", "File", "FILE", "Passphrase",
                                  "FilePassword"};
    return keys;
}

QString withoutMark(const QString& argument) {
    return argument.startsWith(u'/') || argument.startsWith(u'-') ? argument.mid(1) : argument;
}

bool isOwnKeyed(const QString& argument) {
    const QString a = withoutMark(argument);
    for (const QString& key : ownKeys())
        if (a.startsWith(key + u'=', key == QLatin1String("Data") || key == QLatin1String("Passphrase") ? Qt::CaseInsensitive : Qt::CaseSensitive))
            return true;
    return false;
}

bool blank(const QString& text) { return text.trimmed().isEmpty(); }

// The first non-blank of the candidates, in order.
QString firstOf(std::initializer_list<QString> candidates) {
    for (const QString& c : candidates)
        if (!blank(c)) return c;
    return {};
}

QChar direction(const CommandLineParameters& p) {
    const QString keyed = firstOf({p.value(QStringLiteral("Sync")), p.value(QStringLiteral("SYNC"))});
    if (!keyed.isEmpty() && keyed.front() != u' ')
        return keyed.front();
    QChar d;
    for (const char* s : {"/SyncIn", "/SYNCIN", "/Syncin"})
        if (p.has(QLatin1String(s))) d = u'I';
    for (const char* s : {"/SyncOut", "/Syncout", "/SYNCOUT"})
        if (p.has(QLatin1String(s))) d = u'O';
    return d;
}

} // namespace

CommandLineParameters::CommandLineParameters(QStringList arguments) : arguments_(std::move(arguments)) {}

QString CommandLineParameters::value(const QString& key) const {
    const QString prefix = key + u'=';
    for (qsizetype i = 1; i < arguments_.size(); ++i) {
        const QString a = withoutMark(arguments_[i]);
        if (a.startsWith(prefix)) return a.mid(prefix.size());
    }
    return {};
}

bool CommandLineParameters::has(const QString& name) const {
    return arguments_.indexOf(name, 1) >= 1;
}

QString CommandLineParameters::at(int n) const {
    int seen = 0;
    for (qsizetype i = 1; i < arguments_.size(); ++i) {
        if (isOwnKeyed(arguments_[i])) continue;
        if (++seen == n) return arguments_[i];
    }
    return {};
}

bool SyncRequest::complete() const { return !blank(user) && !blank(password) && !blank(file); }

std::optional<SyncRequest> syncRequest(const QStringList& arguments) {
    const CommandLineParameters p(arguments);
    SyncRequest r;
    r.direction = direction(p);
    if (r.direction != u'I' && r.direction != u'O')
        return std::nullopt;
    r.user = firstOf({p.value(QStringLiteral("User")), p.value(QStringLiteral("Name")),
                      p.value(QStringLiteral("NAME")), p.at(2)}).left(kNameWidth);
    r.password = firstOf({p.value(QStringLiteral("Password")), p.value(QStringLiteral("PASSWORD")),
                          p.at(3)}).left(kNameWidth);
    r.file = firstOf({p.value(QStringLiteral("File")), p.at(4), p.value(QStringLiteral("FILE"))});
    r.filePassword = p.value(QStringLiteral("FilePassword")).left(kNameWidth);
    return r;
}

} // namespace ql
