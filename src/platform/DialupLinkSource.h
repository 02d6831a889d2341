#pragma once

#include <string>

namespace tavlor {

// Which kernel interface carries the active dial-up or mobile-broadband connection (for example
// "ppp0" or "wwan0"), so the counters follow the link that is really online. The dial-up service
// answers from state it already holds: a call never waits on a bus or a socket. Empty when no
// such connection is up or its interface is not known yet.
class DialupLinkSource
{
public:
    virtual ~DialupLinkSource() = default;
    virtual std::string activeDialupInterface() const = 0;
};

} // namespace tavlor
