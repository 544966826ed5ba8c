#pragma once
// What the main window shares with the panels and windows it hosts: the data it owns, the
// user who is logged in, and the way to reach the user. Tests provide their own.

#include <QString>

namespace vexamo {

class Catalogue;
class Dialogs;
class TArchivoVexamousers;

// Roles: -2 guest, -1 administrator, 0 or more a named user.
inline constexpr int kRoleGuest = -2;
inline constexpr int kRoleAdministrator = -1;

class Session {
public:
    virtual ~Session() = default;

    virtual Catalogue& GetCatalogue() = 0;
    virtual TArchivoVexamousers& Users() = 0;
    virtual Dialogs& GetDialogs() = 0;
    virtual int CurrentRole() const = 0;
    virtual QString CurrentUserName() const = 0;
    // Reloads the catalogue view after a change: rebuilds the subject lists and totals.
    virtual void RebuildLists() = 0;

    bool IsAdministrator() const { return CurrentRole() == kRoleAdministrator; }
    bool IsNamedUser() const { return CurrentRole() >= 0; }
};

} // namespace vexamo
