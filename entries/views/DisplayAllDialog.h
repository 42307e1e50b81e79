#pragma once
#include <QDialog>

namespace ql {

class IniStore;
class Record;

// "Display All Information": every field of one entry that a person reads,
// shown read-only, with an "&Ok" button. Its place is kept under "DisplayAll".
class DisplayAllDialog : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("DisplayAll");

    DisplayAllDialog(const Record& entry, IniStore& positions, const QString& datePicture,
                     QWidget* parent = nullptr);

    void done(int result) override;

private:
    IniStore& positions_;
};

} // namespace ql
