#pragma once

#include "platform/win32/NetworkCost.h"

#include <functional>
#include <memory>

struct IUnknown;

namespace tavlor::win32 {

// What the metered-link source's own thread asks of the system. Made and used on that thread
// only; the COM objects behind it belong to that thread's apartment.
class NetworkList
{
public:
    virtual ~NetworkList() = default;
    // Subscribes to the system's change signals. `changed` may run on any thread, any number of
    // times. Returns how many kinds of signal the system took the subscription for.
    virtual int subscribe(std::function<void()> changed) = 0;
    // false when the list could not be read.
    virtual bool read(NetworkListSnapshot& list) = 0;
};

// The network list manager (connections, networks, costs) with IP Helper's adapters and route
// table; its signals are the network list manager's events and the route table's change
// notification. Needs COM initialised on the calling thread; nullptr without a network list
// manager.
std::unique_ptr<NetworkList> MakeSystemNetworkList();

// The one sink for every change signal of the network list manager: connectivity, connections,
// networks, the cost manager's and the connections' costs. Each of them calls `changed`. Returned
// with one reference held by the caller.
IUnknown* MakeNetworkEventSink(std::function<void()> changed);

} // namespace tavlor::win32
