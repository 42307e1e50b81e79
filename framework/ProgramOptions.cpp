#include "framework/ProgramOptions.h"

namespace ql {

namespace {

// The window toolkit's own options that take a value, written "--name value"
// or "--name=value", and those that stand alone.
const QStringList& toolkitValueOptions() {
    static const QStringList names{"platform", "platformpluginpath", "platformtheme", "plugin",
                                   "qwindowgeometry", "qwindowicon", "qwindowtitle", "display",
                                   "geometry", "session", "style", "stylesheet"};
    return names;
}

const QStringList& toolkitFlags() {
    static const QStringList names{"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};
    return names;
}

bool isOption(const QString& argument) {
    return argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-h");
}

} // namespace

OptionCheck checkOptions(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (!isOption(a)) continue;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) return {OptionRequest::Help, {}};
        if (a == QLatin1String("--version")) return {OptionRequest::Version, {}};
        const QString name = a.mid(2).section(u'=', 0, 0);
        const bool joinedValue = a.contains(u'=');
        if (toolkitValueOptions().contains(name)) {
            if (!joinedValue) ++i; // its value is not ours to check
            continue;
        }
        if (name.startsWith(QLatin1String("qmljsdebugger")) || (toolkitFlags().contains(name) && !joinedValue))
            continue;
        return {OptionRequest::Unknown, a};
    }
    return {};
}

std::optional<int> answerOptions(const QStringList& arguments, const ProgramUsage& usage,
                                 QTextStream& out, QTextStream& err) {
    const OptionCheck check = checkOptions(arguments);
    switch (check.request) {
    case OptionRequest::Start:
        return std::nullopt;
    case OptionRequest::Help:
        out << usage.usage;
        out.flush();
        return 0;
    case OptionRequest::Version:
        out << usage.program << ' ' << usage.version << '\n';
        if (usage.versionDetail)
            if (const QString detail = usage.versionDetail(); !detail.isEmpty()) out << detail << '\n';
        out.flush();
        return 0;
    case OptionRequest::Unknown:
        err << usage.program << ": unknown option '" << check.option << "'\n"
            << "Try '" << usage.program << " --help' for the parameters it takes.\n";
        err.flush();
        return 2;
    }
    return std::nullopt;
}

} // namespace ql
