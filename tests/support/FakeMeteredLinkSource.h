#pragma once

#include "platform/MeteredLinkSource.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavlor::test {

// The primary connection as a test sets it, the profiles it names over links, how often the
// primary was asked, and the connections taken down.
class FakeMeteredLinkSource final : public MeteredLinkSource
{
public:
    std::optional<PrimaryConnection> primary;
    std::map<std::string, std::string> profileOver; // interface -> profile name
    std::vector<std::string> deactivated;
    mutable int asked = 0;

    std::optional<PrimaryConnection> primaryConnection() const override
    {
        ++asked;
        return primary;
    }
    std::string connectionNameOf(const std::string& interfaceName) const override
    {
        const auto it = profileOver.find(interfaceName);
        return it == profileOver.end() ? std::string() : it->second;
    }
    void deactivate(const std::string& id, DialupService::Done done) override
    {
        deactivated.push_back(id);
        done({});
    }
};

} // namespace tavlor::test
