#pragma once

#include "text/WidgetNames.h"
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tavlor {

// Names of non-widget targets in the view model.
inline constexpr const char* kTrayIcon = names::TrayIcon;
inline constexpr const char* kLed = names::LEd;
inline constexpr std::uint32_t kRgbRed = 0xFF0000;
inline constexpr std::uint32_t kRgbGreen = 0x00FF00;

// What the core wants the windows to show, keyed by component name (the widgets' objectName).
// The core writes it; the Qt layer applies the changes to the widgets after every handler
// and writes the connection manager's edit fields back into it. Settings are not in it: their
// controls are bound to the Settings themselves.
class ViewModel
{
public:
    enum class Prop
    {
        Text,
        Hint,
        Enabled,
        ReadOnly,
        Checked,
        ItemIndex,
        Color
    };
    using Value = std::variant<std::string, bool, int, std::uint32_t>;
    using Key = std::pair<std::string, Prop>;

    void setText(const std::string& component, std::string text)
    {
        set(component, Prop::Text, std::move(text));
    }
    void setHint(const std::string& component, std::string hint)
    {
        set(component, Prop::Hint, std::move(hint));
    }
    void setEnabled(const std::string& component, bool on) { set(component, Prop::Enabled, on); }
    void setReadOnly(const std::string& component, bool on) { set(component, Prop::ReadOnly, on); }
    void setChecked(const std::string& component, bool on) { set(component, Prop::Checked, on); }
    void setItemIndex(const std::string& component, int index) { set(component, Prop::ItemIndex, index); }
    void setColor(const std::string& component, std::uint32_t rgb) { set(component, Prop::Color, rgb); }

    // Defaults when never set: "" / false / -1 / 0.
    std::string text(const std::string& component) const;
    std::string hint(const std::string& component) const;
    bool enabled(const std::string& component) const;
    bool readOnly(const std::string& component) const;
    bool checked(const std::string& component) const;
    int itemIndex(const std::string& component) const;
    std::uint32_t color(const std::string& component) const;
    bool has(const std::string& component, Prop prop) const;

    void set(const std::string& component, Prop prop, Value value);
    const Value* get(const std::string& component, Prop prop) const;

    // The entries changed since the last call, in no particular order; clears the list.
    std::vector<std::pair<Key, Value>> takeChanges();

private:
    std::map<Key, Value> m_values;
    std::set<Key> m_changed;
};

} // namespace tavlor
