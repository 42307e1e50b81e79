#pragma once
#include "tools/Calendar.h"
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace ql {

class IniStore;

// The date picker window: a thin view over Calendar.
class CalendarDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("Calendar");

    // A blank title shows "Select Date".
    CalendarDialog(Calendar& logic, IniStore& positions, const QString& title,
                   QWidget* parent = nullptr);

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* buildGrid();
    QWidget* buildNavigation();
    QLineEdit* stepEntry(QLayout* row, const char* name, int digits, void (Calendar::*back)(),
                         void (Calendar::*forward)());
    void fillGrid();
    void leaveEntry(QLineEdit* entry, bool (Calendar::*enter)(int));
    void pressDay(int cell);

    Calendar& logic_;
    IniStore& positions_;
    std::array<QPushButton*, Calendar::kCells> days_{};
    QLabel* caption_ = nullptr;
    QLineEdit* month_ = nullptr;
    QLineEdit* year_ = nullptr;
    bool checking_ = false;
};

// Runs the date picker from `date` (0: today's month) and returns the chosen
// date, or `date` when the window was closed without a choice.
int32_t runCalendar(const Clock& clock, Prompter& prompter, IniStore& positions, int32_t date,
                    const QString& title = {}, QWidget* parent = nullptr);

} // namespace ql
