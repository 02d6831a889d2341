#pragma once

#include "dialup/ManagerUi.h"

#include <deque>
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
    void setBusyCursor(bool on) override
    {
        busy = on;
        ++busyChanges;
    }
    void waitMs(int milliseconds) override { waits.push_back(milliseconds); }
    void setWindowWidth(int w) override { width = w; }
};

} // namespace tavlor::test
