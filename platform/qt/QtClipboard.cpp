#include "platform/qt/QtClipboard.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace ql {
namespace {

// The desktop clipboard, or null in a program without a GUI application.
QClipboard* desktopClipboard() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                       : nullptr;
}

} // namespace

QtClipboard::QtClipboard(QObject* parent) : QObject(parent) {
    if (QClipboard* clipboard = desktopClipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { ++changes_; });
}

QString QtClipboard::text() {
    QClipboard* clipboard = desktopClipboard();
    return clipboard ? clipboard->text() : QString();
}

void QtClipboard::setText(const QString& text) {
    QClipboard* clipboard = desktopClipboard();
    if (!clipboard) return;
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    // Marks the copy as ours, so that clearing it later never clears what the
    // user copied elsewhere meanwhile.
    data->setData(QStringLiteral("application/x-quillock-copy"), QByteArray());
    ++changes_; // counted even where the platform does not report our own changes
    clipboard->setMimeData(data);
}

} // namespace ql
