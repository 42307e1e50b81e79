// The tips a new data folder starts with. Each must stay true of the program
// as it is: change a tip when the behaviour it describes changes.
#include "tools/BrowseTips.h"

namespace ql {

const std::vector<QString>& shippedTips() {
    static const std::vector<QString> tips{
        QStringLiteral("One send text serves every entry: \"[Name][Tab][Password][Enter]\" types the "
                       "entry's login name, presses Tab, types its password and presses Enter. "
                       "[Service], [URL], [Notes] and [MoreNotes] work the same way."),
        QStringLiteral("Add [Wait] to a send text to pause half a second, or [Wait=200] to pause two "
                       "seconds (the number counts hundredths), for a login window that is slow to "
                       "show its second field."),
        QStringLiteral("Values are put into the send text as they stand: a password that contains "
                       "a key name in brackets, such as ab[Tab]cd, is typed with a Tab in the middle."),
        QStringLiteral("Check \"Monitor\" on an entry and give it a window title: whenever a window "
                       "with that title appears, Quillock types the entry's send text into it by "
                       "itself, and again after the entry's do-not-repeat interval."),
        QStringLiteral("A window contents text makes a watched entry fit only windows that show "
                       "that text. Quillock reads it through the desktop's accessibility bus; for Qt "
                       "programs start them with QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1, or leave the "
                       "contents text blank and rely on the title."),
        QStringLiteral("Keystrokes go to the window that has the focus. Let go of Ctrl, Alt, Shift "
                       "and Super while Quillock types: a send waits up to two seconds for them to "
                       "be released, then stops with \"Send Stopped\"."),
        QStringLiteral("Sending keystrokes and watching windows need an X11 session. Under Wayland "
                       "the status bar says so and those features stay off; copying to the clipboard "
                       "still works."),
        QStringLiteral("Options can clear the clipboard a number of seconds after something was put "
                       "on it; the countdown shows in the status bar, and on closing Quillock leaves "
                       "\"Cleared by Quillock.\" on the clipboard."),
        QStringLiteral("Options can also close Quillock after some minutes without a click or key "
                       "press in any of its windows. A countdown window gives you ten seconds to "
                       "cancel."),
        QStringLiteral("Edit, Filter Clipboard Contents cleans up the clipboard text: control "
                       "characters and characters such as [ ] _ { } are removed, leading and "
                       "trailing blanks go and runs of blanks shrink to one."),
        QStringLiteral("The three buttons beside \"Users\" open the password list straight for the "
                       "first three users. A user whose password is \"Not Required\" is let in "
                       "without a question."),
        QStringLiteral("Renaming a user in User Setup moves all of his entries to the new name; "
                       "deleting a user deletes all of his entries. The last user cannot be deleted."),
        QStringLiteral("Quillock keeps its tables in the folder it is started in, or in the one "
                       "named on its command line with Data=/path/to/folder. Keep that folder "
                       "readable by you alone: both programs warn at start-up when it is not, with "
                       "the chmod command that fixes it."),
        QStringLiteral("Stored send texts and these tips are kept in plain files. Keep secrets in "
                       "an entry's own fields and refer to them with tokens such as [Password]."),
        QStringLiteral("File, Synchronize carries one user's entries to another installation in a "
                       "sealed file that only the same user's password opens. From a script: "
                       "quillock Sync=Out User=joe Password=- File=quillock.syn reads the password "
                       "from standard input."),
        QStringLiteral("File, Export writes the fields you choose to a comma-separated file, and "
                       "File, Import reads one back, in UTF-8 or Windows-1252 with any line ends."),
        QStringLiteral("qlmon, the tray companion, lists one user's entries and sends them "
                       "without the main program running. It starts only in a data folder where "
                       "the main program has run once."),
        QStringLiteral("The generator draws every character or word from the operating system's "
                       "random generator; word passwords come from the system dictionary, two short "
                       "words joined by +, - or a digit if you like."),
        QStringLiteral("Add your own tips with \"Add Tip\" in the About window; they are shown in "
                       "the order they were added."),
    };
    return tips;
}

} // namespace ql
