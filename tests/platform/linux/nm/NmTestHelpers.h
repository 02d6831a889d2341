#pragma once

#include "platform/linux/nm/NmDialupService.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QtTest>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace tavlor::test {

// Waits, with the event loop running, for the service's answer to one request.
template <typename T> struct Answer
{
    std::optional<DialupResult> result;
    T value{};
    bool wait(int ms = 5000)
    {
        return QTest::qWaitFor([this] { return result.has_value(); }, ms);
    }
};

inline DialupService::Done into(Answer<int>& answer)
{
    return [&answer](const DialupResult& r) { answer.result = r; };
}

// The stand-in's mock interface, over a bus connection of the test's own.
inline QDBusMessage mockCall(const QString& method, const QVariantList& args = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.NetworkManager"), QStringLiteral("/org/freedesktop/NetworkManager"),
        QStringLiteral("org.freedesktop.DBus.Mock"), method);
    message.setArguments(args);
    // A connection per call: the test restarts the bus under its feet.
    static int count = 0;
    const QString name = QStringLiteral("tavlor-test-mock-%1").arg(++count);
    QDBusMessage reply = QDBusConnection::connectToBus(QDBusConnection::SystemBus, name).call(message);
    QDBusConnection::disconnectFromBus(name);
    return reply;
}

inline std::vector<DialupEntry> listed(DialupService& service)
{
    Answer<std::vector<DialupEntry>> answer;
    service.listEntries([&answer](const DialupResult& r, std::vector<DialupEntry> e) {
        answer.value = std::move(e);
        answer.result = r;
    });
    answer.wait();
    return answer.value;
}

// The id of the `nth` entry of that name, as the manager would take it from the list.
inline std::string idOf(DialupService& service, const std::string& name, int nth = 0)
{
    for (const DialupEntry& e : listed(service)) {
        if (e.name == name && nth-- == 0) {
            return e.id;
        }
    }
    return "(no entry " + name + ")";
}

inline DialupResult request(const std::function<void(DialupService::Done)>& start, int ms = 5000)
{
    Answer<int> answer;
    start(into(answer));
    if (!answer.wait(ms)) {
        return DialupResult::failure(DialupResult::Status::Failed, "(no answer in time)");
    }
    return *answer.result;
}

inline DialupEntryDetails details(DialupService& service, const std::string& name,
                                  DialupResult* result = nullptr)
{
    Answer<DialupEntryDetails> answer;
    service.readEntry(name, [&answer](const DialupResult& r, DialupEntryDetails d) {
        answer.value = std::move(d);
        answer.result = r;
    });
    answer.wait();
    if (result != nullptr && answer.result) {
        *result = *answer.result;
    }
    return std::move(answer.value);
}

inline DialupEntryFields fields(std::string name, std::string kind, std::string user, std::string password,
                                std::string number = {}, std::string apn = {})
{
    DialupEntryFields f{std::move(name), std::move(kind), std::move(number),
                        std::move(apn),  std::move(user), {}};
    if (!password.empty()) {
        f.password.emplace(password);
    }
    return f;
}

inline int runHelper(const char* variable)
{
    const char* command = std::getenv(variable);
    return command == nullptr ? -1 : std::system(command);
}

} // namespace tavlor::test
