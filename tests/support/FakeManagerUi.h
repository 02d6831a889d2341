#pragma once

#include "dialup/ManagerUi.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tavlor::test {

// The connection manager's window as a record of what it was asked to show; answers to the
// question and the input box are queued by the test.
class FakeManagerUi final : public ManagerUi
{
public:
    std::vector<std::string> entries;
    int selected = -1;
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<std::string> inputPrompts; // caption + "|" + prompt + "|" + prefilled
    std::deque<bool> answers;              // askWarning; No when empty
    std::deque<std::string> inputs;        // inputQuery; Cancel (the prefilled text) when empty
    std::vector<int> waits;
    // askEntryFields: each answer edits the fields it is shown; Cancel when none is queued.
    std::deque<std::function<void(DialupEntryFields&)>> entryAnswers;
    std::vector<std::string> entryDialogs;  // "new" or "edit <name>" (+ " password kept")
    std::vector<std::string> fieldProblems; // what the dialog's check said about the answer
    int width = 0;
    bool busy = false;
    int busyChanges = 0;

    void clearEntries() override
    {
        entries.clear();
        selected = -1;
    }
    void addEntry(const std::string& name) override { entries.push_back(name); }
    int entryCount() const override { return static_cast<int>(entries.size()); }
    int selectedIndex() const override { return selected; }
    void setSelectedIndex(int index) override { selected = index; }
    std::string entryText(int index) const override { return entries.at(static_cast<std::size_t>(index)); }

    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askWarning(const std::string& text) override
    {
        questions.push_back(text);
        if (answers.empty()) {
            return false;
        }
        bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    std::string inputQuery(const std::string& caption, const std::string& prompt,
                           const std::string& prefilled) override
    {
        inputPrompts.push_back(caption + "|" + prompt + "|" + prefilled);
        if (inputs.empty()) {
            return prefilled;
        }
        std::string answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
    bool askEntryFields(DialupEntryFields& fields, bool isNew, bool passwordStored,
                        const FieldsProblem& problem) override
    {
        entryDialogs.push_back(isNew ? "new"
                                     : "edit " + fields.name + (passwordStored ? " password kept" : ""));
        if (entryAnswers.empty()) {
            return false;
        }
        entryAnswers.front()(fields);
        entryAnswers.pop_front();
        const std::string said = problem(fields);
        fieldProblems.push_back(said);
        return said.empty();
    }
    void setBusyCursor(bool on) override
    {
        busy = on;
        ++busyChanges;
    }
    void waitMs(int milliseconds) override { waits.push_back(milliseconds); }
    void setWindowWidth(int w) override { width = w; }
};

} // namespace tavlor::test
