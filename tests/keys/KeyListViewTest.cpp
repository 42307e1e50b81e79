#include "keys/KeyCodes.h"
#include "keys/view/SelectKeys.h"
#include "tests/support/TestApp.h"
#include <QFile>
#include <QFontInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace ql {
namespace {

TEST(KeyListView, ShowsTheShippedListReadOnlyInAFixedPitchFont) {
    testApp();
    KeyListDialog dialog;
    ASSERT_TRUE(dialog.load(QStringLiteral(QL_KEYCODES_PATH)));
    EXPECT_EQ(dialog.windowTitle(), "List of Key Abbreviations");
    EXPECT_TRUE(dialog.view()->isReadOnly());
    EXPECT_TRUE(QFontInfo(dialog.view()->font()).fixedPitch());
    EXPECT_EQ(dialog.searchButton()->text(), "&Search...");
    EXPECT_EQ(dialog.printButton()->text(), "&Print...");
    EXPECT_EQ(dialog.closeButton()->text(), "&Close");

    EXPECT_TRUE(dialog.findNext("pgdn"));
    EXPECT_EQ(dialog.selectedText(), "PGDN");
    EXPECT_TRUE(dialog.findNext("[MOUSE")); // finds the next one, and wraps
    EXPECT_FALSE(dialog.findNext("no such words in the list"));
}

// Every name the list explains is one the language knows, and every key name
// of the language is in the list.
TEST(KeyListView, ListedNamesAreTheLanguagesNames) {
    QFile file(QStringLiteral(QL_KEYCODES_PATH));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString list = QString::fromUtf8(file.readAll());
    static const QRegularExpression line(QStringLiteral("^\\[([A-Z0-9]+)\\] +\\S"),
                                         QRegularExpression::MultilineOption);
    int names = 0;
    const QStringList tokens = {"PASSWORD", "NAME", "URL", "SERVICE", "NOTES", "MORENOTES", "WAIT"};
    for (auto it = line.globalMatch(list); it.hasNext();) {
        QString name = it.next().captured(1);
        if (tokens.contains(name)) continue;
        EXPECT_NE(LookupKeyName(name), 0) << name.toStdString();
        ++names;
    }
    EXPECT_GE(names, 40);
    for (const char* name : {"BS", "TAB", "ENTER", "PAUSE", "CAPSLOCK", "CAPS", "ESC", "SPACE",
                             "PGUP", "PGDN", "END", "HOME", "LEFT", "UP", "RIGHT", "DOWN",
                             "PRINT", "INSERT", "DELETE", "AST", "PLUS", "MINUS", "DECIMAL",
                             "SLASH", "MOUSE", "MOUSELEFT2", "MOUSECENTER2"})
        EXPECT_TRUE(list.contains(QStringLiteral("[%1]").arg(name))) << name;
}

TEST(KeyListView, AMissingFileShowsNothing) {
    testApp();
    EXPECT_FALSE(SelectKeys(nullptr, nullptr, "/nonexistent/KEYCODES.TXT"));
}

} // namespace
} // namespace ql
