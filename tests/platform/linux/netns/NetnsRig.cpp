#include "NetnsRig.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace tavlor::test {

bool Sh(const std::string& command)
{
    return std::system(command.c_str()) == 0;
}

std::uint64_t KernelBytes(const char* link, const char* direction)
{
    const std::string command = std::string("ip -j -s link show dev ") + link + " 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    std::string json;
    char chunk[4096];
    for (std::size_t got; pipe != nullptr && (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) {
        json.append(chunk, got);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    const std::string key = std::string("\"") + direction + "\":{\"bytes\":";
    const std::size_t at = json.find(key);
    return at == std::string::npos ? 0 : std::stoull(json.substr(at + key.size()));
}

void SendDatagrams(const char* address, int count, std::size_t bytes)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        return;
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, address, &to.sin_addr);
    const std::vector<char> payload(bytes, 'x');
    for (int i = 0; i < count; ++i) {
        ::sendto(fd, payload.data(), payload.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    ::close(fd);
}

bool MakeVethPair(const char* a, const char* b, int indexA, const std::string& subnet)
{
    const std::string index = indexA > 0 ? " index " + std::to_string(indexA) : "";
    const std::string peerIndex = indexA > 0 ? " index " + std::to_string(indexA + 1) : "";
    return Sh(std::string("ip link add ") + a + index + " type veth peer name " + b + peerIndex) &&
           Sh(std::string("ip link set ") + a + " mtu 65535 && ip link set " + b + " mtu 65535") &&
           Sh("ip addr add " + subnet + ".1/24 dev " + a) &&
           Sh(std::string("ip link set ") + a + " up && ip link set " + b + " up") &&
           Sh("ip neigh replace " + subnet + ".2 lladdr 02:00:00:00:00:02 dev " + a + " nud permanent");
}

bool SetUpCountedPair(int indexA)
{
    return MakeVethPair("tva", "tvb", indexA, "10.9.0") && Sh("ip addr add 10.9.1.2/24 dev tvb") &&
           Sh("ip route add 10.9.5.0/24 dev tvb") &&
           Sh("ip neigh replace 10.9.5.1 lladdr 02:00:00:00:00:01 dev tvb nud permanent") &&
           Sh("ip route replace default via 10.9.0.2 dev tva");
}

} // namespace tavlor::test
