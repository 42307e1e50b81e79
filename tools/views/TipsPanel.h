#pragma once
#include "tools/BrowseTips.h"
#include "tools/TipStepper.h"
#include <QWidget>

class QLabel;
class QPushButton;

namespace ql {

class IniStore;

// The tips part of the about window: the current tip and "&Add Tip",
// "&Previous", "&Next". Every opening starts at the first tip.
class TipsPanel : public QWidget {
    Q_OBJECT
public:
    struct Services {
        FileManager& tips;
        ErrorManager& errors;
        Prompter& prompter;
        IniStore& positions;
    };

    explicit TipsPanel(const Services& services, QWidget* parent = nullptr);

    QString shownText() const;
    QPushButton* nextButton() const { return next_; }
    QPushButton* previousButton() const { return previous_; }
    QPushButton* addButton() const { return add_; }

public slots:
    void next();
    void previous();
    void addTip();

private:
    void redraw();

    Services services_;
    DataTable table_;
    TipStepper stepper_;
    QLabel* text_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
};

} // namespace ql
