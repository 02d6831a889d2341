#include "platform/win32/SessionEndMessages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

namespace tavlor::win32 {
namespace {

struct Message
{
    UINT id;
    WPARAM wParam;
    LRESULT answer; // the window's answer the system must get
};

struct Sequence
{
    const char* name;
    std::vector<Message> messages;
    int ends; // how often the program's end ran
};

constexpr Message kQuery{WM_QUERYENDSESSION, 0, TRUE};
constexpr Message kEnd{WM_ENDSESSION, TRUE, 0};
constexpr Message kCancelled{WM_ENDSESSION, FALSE, 0};

TEST(SessionEndMessages, EveryWayTheSessionEndsEndsTheProgramExactlyOnce)
{
    const Sequence sequences[] = {
        {"query, then end", {kQuery, kEnd}, 1},
        {"the query reaches every window", {kQuery, kQuery, kQuery, kEnd, kEnd}, 1},
        {"end without a query (forced log-off)", {kEnd}, 1},
        {"query, then cancelled by another program", {kQuery, kCancelled}, 1},
        {"cancelled without a query", {kCancelled}, 0},
    };
    for (const Sequence& sequence : sequences) {
        int ends = 0;
        SessionEndMessages messages([&ends] { ++ends; });
        for (const Message& message : sequence.messages) {
            std::intptr_t answer = -7;
            EXPECT_TRUE(messages.handle(message.id, message.wParam, answer)) << sequence.name;
            EXPECT_EQ(answer, message.answer) << sequence.name;
        }
        EXPECT_EQ(ends, sequence.ends) << sequence.name;
    }
}

TEST(SessionEndMessages, OtherMessagesAreLeftToTheWindow)
{
    int ends = 0;
    SessionEndMessages messages([&ends] { ++ends; });
    for (UINT id :
         {UINT(WM_CLOSE), UINT(WM_QUIT), UINT(WM_DESTROY), UINT(WM_POWERBROADCAST), UINT(WM_TIMER)}) {
        std::intptr_t answer = -7;
        EXPECT_FALSE(messages.handle(id, TRUE, answer)) << id;
        EXPECT_EQ(answer, -7) << id;
    }
    EXPECT_EQ(ends, 0);
    EXPECT_FALSE(messages.ended());
}

// Real windows of this process with their window procedure, each sent the query and the end
// as the system sends them. Message-only windows: the tests run without a display.
SessionEndMessages* g_messages = nullptr;

LRESULT CALLBACK windowProcedure(HWND window, UINT id, WPARAM wParam, LPARAM lParam)
{
    std::intptr_t answer = 0;
    if (g_messages != nullptr && g_messages->handle(id, wParam, answer)) {
        return answer;
    }
    return DefWindowProcA(window, id, wParam, lParam);
}

TEST(SessionEndMessages, TwoWindowsConsentAndTheProgramEndsOnce)
{
    int ends = 0;
    SessionEndMessages messages([&ends] { ++ends; });
    g_messages = &messages;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.lpszClassName = "TavlorSessionEndTest";
    RegisterClassA(&windowClass);
    HWND first =
        CreateWindowA("TavlorSessionEndTest", "one", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    HWND second =
        CreateWindowA("TavlorSessionEndTest", "two", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    EXPECT_EQ(SendMessageA(first, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(SendMessageA(second, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    EXPECT_EQ(ends, 1);
    SendMessageA(first, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    SendMessageA(second, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(ends, 1);

    DestroyWindow(first);
    DestroyWindow(second);
    UnregisterClassA("TavlorSessionEndTest", nullptr);
    g_messages = nullptr;
}

} // namespace
} // namespace tavlor::win32
