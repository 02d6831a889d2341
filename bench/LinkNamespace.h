#pragma once

#include <memory>

namespace tavlor::bench {

// A private network namespace holding loopback and N tap links, each up with an IPv4 address:
// created once per N and kept until the benchmark program ends, when the kernel removes it
// with its links. Root only.
class LinkNamespace
{
public:
    // nullptr when the namespace or its links cannot be made.
    static LinkNamespace* withLinks(int links);
    ~LinkNamespace();
    LinkNamespace(const LinkNamespace&) = delete;
    LinkNamespace& operator=(const LinkNamespace&) = delete;

    // Puts the calling thread into the namespace for its lifetime.
    class Inside
    {
    public:
        explicit Inside(const LinkNamespace& place);
        ~Inside();
        Inside(const Inside&) = delete;
        Inside& operator=(const Inside&) = delete;

    private:
        int m_home = -1;
    };

private:
    explicit LinkNamespace(int fd) : m_fd(fd) {}
    int m_fd;
};

} // namespace tavlor::bench
