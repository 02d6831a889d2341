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
        std::string id{};     // the entry's identity; its first name when not given
    };
    // What a dial used: the typed values, the stored ones where nothing was sent (`sent` says
    // which were sent, e.g. "user,password").
    struct Dialled
    {
        std::string entry; // the id
        std::string user;
        std::string number;
        std::string password;
        std::string sent;
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
            for (Entry& e : entries) {
                listed.push_back({e.name, "gsm", idOf(e)});
            }
            done(r, r.ok() ? listed : std::vector<DialupEntry>{});
        });
    }
    void readEntry(const std::string& id, DetailsDone done) override
    {
        answer("read " + id, [this, id, done](const DialupResult& r) {
            DialupEntryDetails details;
            const Entry* e = find(id);
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
        const Entry created{fields.name, fields.user, fields.number, pw, true, "new:" + fields.name};
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
                idOf(*e);
                e->name = to;
            }
            done(r);
        });
    }
    void deleteEntry(const std::string& name, Done done) override
    {
        answer("delete " + name, [this, name, done](const DialupResult& r) {
            if (r.ok()) {
                std::erase_if(entries, [this, &name](Entry& e) { return idOf(e) == name; });
            }
            done(r);
        });
    }
    void dial(const std::string& id, DialValues values, Done done) override
    {
        const Entry* e = find(id);
        Dialled d{id, values.user.value_or(e ? e->user : ""), values.number.value_or(e ? e->number : ""),
                  values.typedPassword() ? std::string(values.password->view()) : (e ? e->password : ""), ""};
        for (const auto& [typed, what] :
             {std::pair{values.user.has_value(), "user"}, std::pair{values.number.has_value(), "number"},
              std::pair{values.typedPassword(), "password"}}) {
            if (typed) {
                d.sent += d.sent.empty() ? what : std::string(",") + what;
            }
        }
        dials.push_back(d);
        const std::string name = e ? e->name : id;
        answer("dial " + id, [this, id, name, done](const DialupResult& r) {
            if (r.ok()) {
                active.push_back({"/active/" + id, name, "ttyUSB0", "ppp0", id});
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
    static const std::string& idOf(Entry& e)
    {
        if (e.id.empty()) {
            e.id = "id:" + e.name;
        }
        return e.id;
    }
    Entry* find(const std::string& id)
    {
        for (Entry& e : entries) {
            if (idOf(e) == id) {
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
