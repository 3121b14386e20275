// The first start of the program on a machine: where its data lives when
// no data directory is named, and the offer to make an installation there.
//
// The data lives in the user's data folder, $XDG_DATA_HOME/tallybook
// (usually ~/.local/share/tallybook). When that folder holds no
// installation yet, the program offers to make one there, as
// `tallybook --init` does, instead of ending. A data directory named with
// --data is taken as it is.
#ifndef TALLYBOOK_COMPANY_FIRST_START_H_
#define TALLYBOOK_COMPANY_FIRST_START_H_

#include <string>

#include "platform/message.h"

namespace tallybook::company {

// The folder under the user's data folder.
inline constexpr char kDataFolderName[] = "tallybook";
inline constexpr char kFirstStartCaption[] = "Welcome to Tallybook";

// xdg_data_home + "/tallybook" when it is an absolute path, else
// home + "/.local/share/tallybook"; empty when neither is usable. Either
// argument may be null.
std::string DefaultDataDirectory(const char* xdg_data_home, const char* home);
// The same from the environment.
std::string DefaultDataDirectory();

// True when dir holds an installation ("LastCo.Dat").
bool HoldsInstallation(const std::string& dir);

// "There is no Tallybook data in DIR yet. ..." - the offer.
std::string OfferInstallationText(const std::string& dir);

// Asks whether to make a new installation in dir and makes it on Yes,
// telling how that went. True when dir holds an installation afterwards;
// false when the user said No or it could not be made (after a message).
bool OfferInstallation(platform::Messages& messages, const std::string& dir);

}  // namespace tallybook::company

#endif  // TALLYBOOK_COMPANY_FIRST_START_H_
