#pragma once

#include "platform/DialupService.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavlor::test {

// The dial-up service as a record: entries and active connections the test sets, the requests
// it received, and answers that arrive at once or, with `deferred`, when the test releases them.
class FakeDialupService final : public DialupService
{
public:
    struct Entry
    {
        std::string name;
        std::string user;
        std::string number;
        std::string password;
        bool readable = true; // false: a password is stored but not ours to read
    };
    struct Dialled
    {
        std::string entry;
        std::string user;
        std::string number;
        std::string password;
    };

    bool running = true;
    bool deferred = false;
    std::vector<Entry> entries;
    std::vector<ActiveDialup> active;
    std::vector<std::string> requests;
    std::vector<Dialled> dials;
    std::vector<std::string> edits;              // name|user|number|password or "(kept)"
    std::map<std::string, DialupResult> results; // a request's answer instead of success
    std::deque<std::function<void()>> pending;
    std::string throwOn; // a request that raises, as a RAS function missing from its library does

    bool available() const override { return running; }
    std::vector<ActiveDialup> activeConnections() const override { return active; }
    std::string missingReason() const override { return "Dienst fehlt."; }

    // Releases the answers held back so far, oldest first.
    void answerAll()
    {
        while (!pending.empty()) {
            auto next = std::move(pending.front());
            pending.pop_front();
            next();
        }
    }

    void listEntries(EntriesDone done) override
    {
        answer("list", [this, done](const DialupResult& r) {
            std::vector<DialupEntry> listed;
            for (const Entry& e : entries) {
                listed.push_back({e.name, "gsm"});
            }
            done(r, r.ok() ? listed : std::vector<DialupEntry>{});
        });
    }
    void readEntry(const std::string& name, DetailsDone done) override
    {
        answer("read " + name, [this, name, done](const DialupResult& r) {
            DialupEntryDetails details;
            const Entry* e = find(name);
            if (!r.ok() || e == nullptr) {
                done(r.ok() ? DialupResult::failure(DialupResult::Status::NotFound, "weg") : r,
                     std::move(details));
                return;
            }
            details.kind = "gsm";
            details.user = e->user;
            details.number = e->number;
            details.passwordStored = !e->password.empty();
            details.passwordReadable = e->readable && !e->password.empty();
            if (details.passwordReadable) {
                details.password = SecretText(e->password);
            }
            done(r, std::move(details));
        });
    }
    void createEntry(DialupEntryFields fields, Done done) override
    {
        const std::string pw = fields.password ? std::string(fields.password->view()) : "";
        const Entry created{fields.name, fields.user, fields.number, pw, true};
        answer("create " + fields.name, [this, created, done](const DialupResult& r) {
            if (r.ok()) {
                entries.push_back(created);
            }
            done(r);
        });
    }
    void editEntry(const std::string& name, DialupEntryFields fields, Done done) override
    {
        const std::string pw = fields.password ? std::string(fields.password->view()) : "(kept)";
        edits.push_back(name + "|" + fields.user + "|" + fields.number + "|" + pw);
        answer("edit " + name,
               [this, name, user = fields.user, number = fields.number, pw, done](const DialupResult& r) {
                   if (Entry* e = find(name); r.ok() && e != nullptr) {
                       e->user = user;
                       e->number = number;
                       if (pw != "(kept)") {
                           e->password = pw;
                       }
                   }
                   done(r);
               });
    }
    void renameEntry(const std::string& from, const std::string& to, Done done) override
    {
        answer("rename " + from + ">" + to, [this, from, to, done](const DialupResult& r) {
            if (Entry* e = find(from); r.ok() && e != nullptr) {
                e->name = to;
            }
            done(r);
        });
    }
    void deleteEntry(const std::string& name, Done done) override
    {
        answer("delete " + name, [this, name, done](const DialupResult& r) {
            if (r.ok()) {
                std::erase_if(entries, [&name](const Entry& e) { return e.name == name; });
            }
            done(r);
        });
    }
    void dial(const std::string& entry, DialValues values, Done done) override
    {
        dials.push_back({entry, values.user, values.number, std::string(values.password.view())});
        answer("dial " + entry, [this, entry, done](const DialupResult& r) {
            if (r.ok()) {
                active.push_back({"/active/" + entry, entry, "ttyUSB0", "ppp0"});
            }
            done(r);
        });
    }
    void hangUp(const std::string& id, Done done) override
    {
        answer("hangup " + id, [this, id, done](const DialupResult& r) {
            if (r.ok()) {
                std::erase_if(active, [&id](const ActiveDialup& a) { return a.id == id; });
            }
            done(r);
        });
    }

private:
    Entry* find(const std::string& name)
    {
        for (Entry& e : entries) {
            if (e.name == name) {
                return &e;
            }
        }
        return nullptr;
    }
    void answer(const std::string& request, std::function<void(const DialupResult&)> respond)
    {
        requests.push_back(request);
        const std::string kind = request.substr(0, request.find(' '));
        if (kind == throwOn) {
            throw std::runtime_error("Function RasRenameEntry not found!");
        }
        DialupResult result;
        if (!running) {
            result = DialupResult::failure(DialupResult::Status::ServiceMissing, missingReason());
        } else if (auto it = results.find(kind); it != results.end()) {
            result = it->second;
        }
        if (deferred) {
            pending.push_back([respond, result] { respond(result); });
        } else {
            respond(result);
        }
    }
};

} // namespace tavlor::test
