#pragma once
#include "signin/BrowseUsers.h"
#include "signin/ListColumnFormat.h"
#include "signin/UpdateUsers.h"
#include <QDialog>
#include <memory>

class QTreeWidget;

namespace ql {

class IniStore;

// "Users": the user list with "&Insert", "&Change", "&Delete" and "Cl&ose";
// each of the first three runs the user form for the highlighted user.
class BrowseUsersWindow : public QDialog {
    Q_OBJECT
public:
    static inline const QString kProcedure = QStringLiteral("BrowseUsers");

    struct Services {
        UserFormServices form;
        IniStore& positions;
        PasswordPrompt prompt;   // ConfirmPassword before a protected user changes
        QString dateFormat;      // the DateFormat token for date columns
    };

    // `users` must be open; the window keeps it.
    BrowseUsersWindow(std::unique_ptr<BrowseUsers> users, Services services,
                      QWidget* parent = nullptr);

    QTreeWidget* list() const { return list_; }
    BrowseUsers& users() { return *users_; }
    void setPasswordPrompt(PasswordPrompt prompt) { services_.prompt = std::move(prompt); }

public slots:
    void runForm(int request);
    void done(int result) override;

signals:
    void usersChanged();
    // A user changed through the form, known as `was` until then.
    void userChanged(const QString& was, const QString& now);
    void userDeleted(const QString& name);

private:
    void fill(const QString& select);

    std::unique_ptr<BrowseUsers> users_;
    Services services_;
    ListColumnFormat format_;
    QTreeWidget* list_ = nullptr;
};

class ProgramServices;

// Opens the user list of the program as a window of its own that deletes
// itself when closed; nullptr when the Users table cannot be opened.
BrowseUsersWindow* openBrowseUsers(ProgramServices& services, Clock& clock,
                                   const QString& dateFormat, QWidget* parent);

} // namespace ql
