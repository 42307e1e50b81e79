#include "framework/ProgramOptions.h"
#include <gtest/gtest.h>

using namespace ql;

namespace {

OptionCheck check(QStringList arguments) {
    arguments.prepend(QStringLiteral("quillock"));
    return checkOptions(arguments);
}

struct Answer {
    std::optional<int> code;
    QString out, err;
};

Answer answer(QStringList arguments) {
    arguments.prepend(QStringLiteral("quillock"));
    Answer a;
    QTextStream out(&a.out), err(&a.err);
    a.code = answerOptions(arguments, {"quillock", "2.72", "Usage: quillock [Data=FOLDER]\n"}, out, err);
    return a;
}

} // namespace

TEST(ProgramOptionsTest, ProgramParametersAreNotOptions) {
    EXPECT_EQ(check({}).request, OptionRequest::Start);
    EXPECT_EQ(check({"Data=/tmp/q", "-Data=/tmp/q", "/Data=/tmp/q"}).request, OptionRequest::Start);
    EXPECT_EQ(check({"/SyncIn", "joe", "-", "quillock.syn"}).request, OptionRequest::Start);
    EXPECT_EQ(check({"Sync=O", "User=joe", "Password=-", "File=a.syn"}).request, OptionRequest::Start);
    EXPECT_EQ(check({"-x"}).request, OptionRequest::Start); // single dash: the toolkit's or nobody's
}

TEST(ProgramOptionsTest, HelpVersionAndUnknownOptions) {
    EXPECT_EQ(check({"--help"}).request, OptionRequest::Help);
    EXPECT_EQ(check({"Data=/tmp/q", "-h"}).request, OptionRequest::Help);
    EXPECT_EQ(check({"--version", "--help"}).request, OptionRequest::Version);
    const OptionCheck unknown = check({"--verbose", "--help"});
    EXPECT_EQ(unknown.request, OptionRequest::Unknown);
    EXPECT_EQ(unknown.option, "--verbose");
    EXPECT_EQ(check({"--"}).request, OptionRequest::Unknown);
    EXPECT_EQ(check({"--Data=/tmp/q"}).option, "--Data=/tmp/q"); // the parameter takes one mark
    EXPECT_EQ(check({"--help=yes"}).request, OptionRequest::Unknown);
}

TEST(ProgramOptionsTest, ToolkitOptionsPassWithTheirValues) {
    EXPECT_EQ(check({"--platform", "offscreen", "--style=fusion", "--reverse"}).request,
              OptionRequest::Start);
    // A value that looks like an option belongs to the toolkit's option.
    EXPECT_EQ(check({"--qwindowtitle", "--odd title"}).request, OptionRequest::Start);
    EXPECT_EQ(check({"--platform=offscreen", "--oops"}).option, "--oops");
    EXPECT_EQ(check({"--reverse=1"}).request, OptionRequest::Unknown); // a flag takes no value
}

TEST(ProgramOptionsTest, AnswersPrintAndGiveTheExitCode) {
    const Answer start = answer({"Data=/tmp/q"});
    EXPECT_FALSE(start.code.has_value());
    EXPECT_TRUE(start.out.isEmpty() && start.err.isEmpty());

    const Answer version = answer({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "quillock 2.72\n");

    const Answer help = answer({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, "Usage: quillock [Data=FOLDER]\n");
    EXPECT_TRUE(help.err.isEmpty());

    const Answer unknown = answer({"--colour"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(unknown.out.isEmpty());
    EXPECT_EQ(unknown.err, "quillock: unknown option '--colour'\n"
                           "Try 'quillock --help' for the parameters it takes.\n");
}

TEST(ProgramOptionsTest, VersionNamesTheDesktopOnlyWhenAskedForTheVersion) {
    int asked = 0;
    const auto answerWith = [&asked](const QString& detail, QStringList arguments) {
        arguments.prepend(QStringLiteral("quillock"));
        Answer a;
        QTextStream out(&a.out), err(&a.err);
        ProgramUsage usage{"quillock", "2.72", "Usage: quillock\n", [&asked, detail] {
                               ++asked;
                               return detail;
                           }};
        a.code = answerOptions(arguments, usage, out, err);
        return a;
    };
    EXPECT_EQ(answerWith("Keystrokes: X11 XTest", {"--version"}).out,
              "quillock 2.72\nKeystrokes: X11 XTest\n");
    // No desktop: the version line alone, as before.
    EXPECT_EQ(answerWith("", {"--version"}).out, "quillock 2.72\n");
    EXPECT_EQ(asked, 2);
    // Starting or asking for help never connects to the desktop.
    answerWith("Keystrokes: X11 XTest", {"--help"});
    answerWith("Keystrokes: X11 XTest", {"Data=/tmp/q"});
    EXPECT_EQ(asked, 2);
}
