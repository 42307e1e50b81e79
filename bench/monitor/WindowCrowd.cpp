// bench_window_crowd N: shows N small windows titled "Bench Window 0" ...
// "Bench Window N-1" for the monitor benchmark to search among, until ended.
#include <QApplication>
#include <QWidget>
#include <memory>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    std::vector<std::unique_ptr<QWidget>> windows;
    for (int i = 0; i < count; ++i) {
        auto w = std::make_unique<QWidget>();
        w->setWindowTitle(QStringLiteral("Bench Window %1").arg(i));
        w->resize(120, 80);
        w->show();
        windows.push_back(std::move(w));
    }
    return app.exec();
}
