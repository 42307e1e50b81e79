#include "TestApp.h"
#include "platform/qt/QtFileDialogs.h"
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace ql;

namespace {

// Runs a dialog and lets `act` handle it once it is up.
QString runAndAct(bool save, const FileDialogRequest& request,
                  const std::function<void(QFileDialog&)>& act) {
    testApp();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        poll.stop();
        act(*dialog);
    });
    poll.start();
    QtFileDialogs dialogs;
    return save ? dialogs.saveFile(request) : dialogs.openFile(request);
}

} // namespace

TEST(QtFileDialogs, WritesFiltersAsQtDoesAndMatchesEitherCase) {
    EXPECT_EQ(QtFileDialogs::qtFilter("Synchronization Files|*.SYN"),
              "Synchronization Files (*.SYN *.syn)");
    EXPECT_EQ(QtFileDialogs::qtFilter("Text|*.TXT;*.CSV|All Files|*.*"),
              "Text (*.TXT *.txt *.CSV *.csv);;All Files (*.*)");
}

TEST(QtFileDialogs, ReturnsTheChosenPathAndKeepsTheCurrentFolder) {
    QTemporaryDir data, elsewhere;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(data.path());
    QString title;
    const QString target = elsewhere.filePath("home.syn");
    const QString chosen = runAndAct(true, {"File to Send to...", "Synchronization Files|*.SYN", "quillock.syn"},
                                     [&](QFileDialog& dialog) {
                                         title = dialog.windowTitle();
                                         dialog.setDirectory(elsewhere.path());
                                         dialog.findChild<QLineEdit*>("fileNameEdit")->setText("home.syn");
                                         QMetaObject::invokeMethod(&dialog, "accept");
                                     });
    EXPECT_EQ(title, "File to Send to...");
    EXPECT_EQ(chosen, target);
    EXPECT_EQ(QDir::currentPath(), QDir(data.path()).canonicalPath());

    const QString cancelled = runAndAct(false, {"File to Receive from...", "Synchronization Files|*.SYN", ""},
                                        [](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_TRUE(cancelled.isEmpty());
    QDir::setCurrent(previous);
}
