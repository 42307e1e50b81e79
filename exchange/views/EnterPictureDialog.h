#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

namespace ql {

class Prompter;

// "Enter Picture...": one 30-character entry that must begin with "@".
class EnterPictureDialog : public QDialog {
    Q_OBJECT
public:
    EnterPictureDialog(const QString& picture, Prompter& prompter, QWidget* parent = nullptr);

    // The picture entered on "&OK"; blank on "&Cancel" or when the window was
    // closed (callers then keep the picture they had).
    static QString enterPicture(const QString& picture, Prompter& prompter, QWidget* parent = nullptr);

public slots:
    void accept() override;

private:
    bool checkEntry();
    void leftEntry();

    Prompter& prompter_;
    QLineEdit* entry_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

} // namespace ql
