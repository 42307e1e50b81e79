#include "keys/RecordSendFields.h"
#include "keys/SendText.h"
#include "store/Layouts.h"
#include "platform/records/Record.h"
#include <gtest/gtest.h>

namespace ql {
namespace {

const QString kDefaultText = "[Name][Tab][Password][Enter]";

SendFields login(const QString& name, const QString& password) {
    SendFields f;
    f.name = name;
    f.password = password;
    return f;
}

TEST(ExpandSendText, FillsTokensOfAnyCaseAndLeavesKeyNames) {
    EXPECT_EQ(ExpandSendText(kDefaultText, login("jdoe", "x1")), "jdoe[Tab]x1[Enter]");
    EXPECT_EQ(ExpandSendText("[name]/[NAME]/[nAmE]", login("jdoe", "")), "jdoe/jdoe/jdoe");
    SendFields all{"pw", "nm", "http://u", "svc", "n1", "n2"};
    EXPECT_EQ(ExpandSendText("[SERVICE] [URL] [NOTES] [MORENOTES] [Password]", all),
              "svc http://u n1 n2 pw");
    EXPECT_EQ(ExpandSendText("[MORENOTES]|[NOTES]", {"", "", "", "", "short", "long"}),
              "long|short");
}

TEST(ExpandSendText, EmptyFieldsVanishAndBlanksOfValuesAndTextStay) {
    EXPECT_EQ(ExpandSendText(kDefaultText, login("", "")), "[Tab][Enter]");
    // Leading and trailing blanks are part of a password or name, also at the end.
    const SendFields spaced = login("user name with spaces ", "   leading and trailing   ");
    EXPECT_EQ(ExpandSendText(kDefaultText, spaced),
              "user name with spaces [Tab]   leading and trailing   [Enter]");
    EXPECT_EQ(ExpandSendText("[Name][Tab][Password]", spaced),
              "user name with spaces [Tab]   leading and trailing   ");
    EXPECT_EQ(ExpandSendText("[Name]  ", login(" ", "")), "   ");
}

TEST(ExpandSendText, ResultIsCutTo255Characters) {
    SendFields f = login("jdoe", "x1");
    f.notes = QString(300, 'n');
    QString out = ExpandSendText("[Name][Tab][Notes][Enter]", f);
    EXPECT_EQ(out.size(), 255);
    EXPECT_EQ(out, "jdoe[Tab]" + QString(246, 'n'));
    QString longText = QString(250, 'a') + "[Name]";
    // The text itself goes into a 255-character buffer first: a token cut there is gone.
    EXPECT_EQ(ExpandSendText(longText, login("jdoe", "")), QString(250, 'a') + "[Name");
    EXPECT_EQ(ExpandSendText(QString(245, 'a') + "[Name]", login("jdoe", "")),
              QString(245, 'a') + "jdoe");
    EXPECT_EQ(ExpandSendText(QString(300, 'b'), {}).size(), 255);
}

TEST(ExpandSendText, ValuesAreInsertedWithoutEscaping) {
    EXPECT_EQ(ExpandSendText(kDefaultText, login("jdoe", "ab[Tab]cd")),
              "jdoe[Tab]ab[Tab]cd[Enter]");
    // Later tokens also search text brought in by earlier ones.
    EXPECT_EQ(ExpandSendText("[Password]", login("jdoe", "my[name]")), "myjdoe");
    // ...but not the other way round: the name is filled after the password.
    EXPECT_EQ(ExpandSendText("[Name]", login("a[password]", "pw")), "a[password]");
}

TEST(ReplaceAllTokens, SelfContainingValuesTerminate) {
    QString buffer = "[Name] and [Name]";
    ReplaceAllTokens(buffer, 255, "[NAME]", "x[name]y");
    EXPECT_EQ(buffer, "x[name]y and x[name]y");
    QString cut = "[Name][Name]";
    ReplaceAllTokens(cut, 10, "[NAME]", "[NAME][NAME]");
    EXPECT_EQ(cut, "[NAME][NAM");
    QString tokenAcrossValue = "[NA[Name]ME]";
    ReplaceAllTokens(tokenAcrossValue, 255, "[NAME]", "");
    EXPECT_EQ(tokenAcrossValue, "[NAME]"); // the search goes on after the value
}

TEST(ReplaceAllTokens, CaseFoldingKeepsPositions) {
    QString buffer = "ßß[name]ß";
    ReplaceAllTokens(buffer, 255, "[NAME]", "Ж");
    EXPECT_EQ(buffer, "ßßЖß");
}

TEST(ExpandSendText, ReadsTheSixFieldsOfAPasswordsRecord) {
    Record p(passwordsTable());
    p.setText("P_:NAME", u"jdoe");
    p.setText("P_:PASSWORD", u"x1");
    p.setText("P_:URL", u"https://example.org");
    p.setText("P_:SERVICE", u"Mail");
    p.setText("P_:NOTES", u"n");
    p.setText("P_:MORENOTES", u"m");
    EXPECT_EQ(ExpandSendText("[Name][Tab][Password][Enter]", sendFieldsOf(p)), "jdoe[Tab]x1[Enter]");
    EXPECT_EQ(ExpandSendText("[url]|[service]|[notes]|[morenotes]", sendFieldsOf(p)),
              "https://example.org|Mail|n|m");
}

} // namespace
} // namespace ql
