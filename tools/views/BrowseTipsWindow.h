#pragma once
#include "tools/BrowseTips.h"
#include <QDialog>

class QTreeWidget;

namespace ql {

class IniStore;

// "Browse Tips": the tips in identifier order, one column "Tip"; "&Insert"
// and "&Change" open the tip form, "&Delete" deletes after the usual question.
class BrowseTipsWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("BrowseTips");

    BrowseTipsWindow(BrowseTips& tips, Prompter& prompter, IniStore& positions,
                     QWidget* parent = nullptr);
    QTreeWidget* list() const { return list_; }

public slots:
    void insertTip();
    void changeTip();
    void deleteTip();
    void done(int result) override;

private:
    void fill(qint64 select);
    qint64 selectedId() const;

    BrowseTips& tips_;
    Prompter& prompter_;
    IniStore& positions_;
    QTreeWidget* list_ = nullptr;
};

} // namespace ql
