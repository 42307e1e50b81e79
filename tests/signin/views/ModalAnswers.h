#pragma once
#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

namespace ql::test {

// Answers modal windows as they come up, for code that runs exec() itself.
// Each step names the window title it expects and acts on that window; a
// window that was just handled is handled again only after another modal
// window has shown. A poll re-arms itself before acting, so polling goes on
// inside the nested event loops the actions open. Past the time limit every
// modal window is rejected, so a test fails instead of hanging.
class ModalAnswers {
public:
    struct Step {
        QString title;
        std::function<void(QWidget&)> act;
    };

    explicit ModalAnswers(std::vector<Step> steps, int limitMs = 20000)
        : steps_(std::move(steps)), limitMs_(limitMs) {
        clock_.start();
        arm();
    }
    ~ModalAnswers() { *alive_ = false; }
    ModalAnswers(const ModalAnswers&) = delete;
    ModalAnswers& operator=(const ModalAnswers&) = delete;

    // Titles of the modal windows in the order they were handled.
    const std::vector<QString>& handled() const { return handled_; }
    bool finished() const { return next_ == steps_.size(); }
    bool timedOut() const { return timedOut_; }

private:
    void arm() {
        QTimer::singleShot(5, qApp, [this, alive = alive_] {
            if (*alive) poll();
        });
    }

    void poll() {
        arm();
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        if (clock_.elapsed() > limitMs_) {
            timedOut_ = true;
            QMetaObject::invokeMethod(modal, "reject", Qt::QueuedConnection);
            return;
        }
        if (modal != last_) otherSeen_ = true;
        if (modal == last_ && !otherSeen_) return;
        if (finished() || modal->windowTitle() != steps_[next_].title) return;
        last_ = modal;
        otherSeen_ = false;
        handled_.push_back(modal->windowTitle());
        steps_[next_++].act(*modal);
    }

    std::vector<Step> steps_;
    size_t next_ = 0;
    int limitMs_;
    QElapsedTimer clock_;
    QPointer<QWidget> last_;
    bool otherSeen_ = true;
    bool timedOut_ = false;
    std::vector<QString> handled_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace ql::test
