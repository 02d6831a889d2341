// Taking the changes of one component: what a window hidden in the tray still shows (its
// icon's hint) goes out, and every other change waits, none lost, none doubled.
#include "text/ViewModel.h"
#include "text/WidgetNames.h"

#include <gtest/gtest.h>

namespace tavlor {
namespace {

using Changes = std::vector<std::pair<ViewModel::Key, ViewModel::Value>>;

TEST(ViewModelChanges, OneComponentIsTakenAndTheOthersWaitForTheNextTake)
{
    ViewModel view;
    view.setText(names::lOTS, "0 Stunden, 0 Minuten, 1 Sekunden.");
    view.setHint(kTrayIcon, "Offline");
    view.setColor(kLed, kRgbRed);
    view.setHint(kLed, "Offline");
    view.setText(names::lotAll, "1");
    // Names that sort right before and after the taken one must stay.
    view.setText("TrayIcoM", "before");
    view.setText("TrayIconX", "after");

    const Changes tray = view.takeChanges(kTrayIcon);
    ASSERT_EQ(tray.size(), 1u);
    EXPECT_EQ(tray[0].first, (ViewModel::Key{kTrayIcon, ViewModel::Prop::Hint}));
    EXPECT_EQ(std::get<std::string>(tray[0].second), "Offline");
    EXPECT_TRUE(view.takeChanges(kTrayIcon).empty());

    view.setText(names::lotAll, "2"); // changed again while waiting: the newest value goes out once
    const Changes rest = view.takeChanges();
    std::map<ViewModel::Key, ViewModel::Value> byKey(rest.begin(), rest.end());
    EXPECT_EQ(rest.size(), 6u);
    EXPECT_EQ(byKey.size(), 6u);
    EXPECT_EQ(std::get<std::string>(byKey.at({names::lotAll, ViewModel::Prop::Text})), "2");
    EXPECT_EQ(std::get<std::uint32_t>(byKey.at({kLed, ViewModel::Prop::Color})), kRgbRed);
    EXPECT_EQ(std::get<std::string>(byKey.at({kLed, ViewModel::Prop::Hint})), "Offline");
    EXPECT_EQ(byKey.count({kTrayIcon, ViewModel::Prop::Hint}), 0u);
    EXPECT_EQ(byKey.count({"TrayIcoM", ViewModel::Prop::Text}), 1u);
    EXPECT_EQ(byKey.count({"TrayIconX", ViewModel::Prop::Text}), 1u);
    EXPECT_TRUE(view.takeChanges().empty());
}

TEST(ViewModelChanges, EveryPropertyOfTheTakenComponentGoesOut)
{
    ViewModel view;
    view.setColor(kLed, kRgbGreen);
    view.setHint(kLed, "Online");
    view.setText(kLed, "x");
    view.setEnabled(kLed, true);
    const Changes led = view.takeChanges(kLed);
    EXPECT_EQ(led.size(), 4u);
    EXPECT_TRUE(view.takeChanges().empty());
}

} // namespace
} // namespace tavlor
