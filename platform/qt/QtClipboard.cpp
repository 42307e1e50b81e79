#include "platform/qt/QtClipboard.h"
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace ql {

QtClipboard::QtClipboard(QObject* parent) : QObject(parent) {
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { ++changes_; });
}

QString QtClipboard::text() { return QGuiApplication::clipboard()->text(); }

void QtClipboard::setText(const QString& text) {
    auto* data = new QMimeData;
    data->setText(text);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    ++changes_; // counted even where the platform does not report our own changes
    QGuiApplication::clipboard()->setMimeData(data);
}

} // namespace ql
