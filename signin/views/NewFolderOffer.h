#pragma once
#include <QString>

namespace ql {

// The offer made on the first start in a new data folder.
inline const QString kNewFolderOfferTitle = QStringLiteral("Protect the Data Folder");
inline const QString kNewFolderOfferText = QStringLiteral(
    "Without a passphrase, the tables of this new data folder are encrypted under a key built into "
    "the program, so anyone who has Quillock can read a copy of them: protect the folder with a "
    "passphrase now?");

// Makes the main program offer it: "Protect..." asks for the new passphrase
// through PassphraseWindow; "Later" (or closing either window) leaves the
// folder under the built-in keys, where Options can still protect it.
void installNewFolderOffer();

} // namespace ql
