#pragma once

#include <string>
#include <vector>

namespace tavlor {

// The contact address lContact opens (a mailto: URL) and its caption and hint.
extern const char* const kContactAddress;
extern const char* const kContactCaption;
extern const char* const kContactHint;

// Memo1's design-time freeware notice: nine lines, two paragraphs.
std::vector<std::string> FreewareNotice();
// The eleven lines btnSpendeClick shows.
std::vector<std::string> DonationLines();

} // namespace tavlor
