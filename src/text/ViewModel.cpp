#include "text/ViewModel.h"

namespace tavlor {

namespace {
template <typename T> T valueOr(const ViewModel::Value* value, T fallback)
{
    if (value == nullptr) {
        return fallback;
    }
    if (const T* typed = std::get_if<T>(value)) {
        return *typed;
    }
    return fallback;
}
} // namespace

void ViewModel::set(const std::string& component, Prop prop, Value value)
{
    Key key{component, prop};
    auto it = m_values.find(key);
    if (it != m_values.end() && it->second == value) {
        return;
    }
    m_values[key] = std::move(value);
    m_changed.insert(std::move(key));
}

const ViewModel::Value* ViewModel::get(const std::string& component, Prop prop) const
{
    auto it = m_values.find(Key{component, prop});
    return it == m_values.end() ? nullptr : &it->second;
}

bool ViewModel::has(const std::string& component, Prop prop) const
{
    return get(component, prop) != nullptr;
}

std::string ViewModel::text(const std::string& component) const
{
    return valueOr<std::string>(get(component, Prop::Text), {});
}
std::string ViewModel::hint(const std::string& component) const
{
    return valueOr<std::string>(get(component, Prop::Hint), {});
}
bool ViewModel::enabled(const std::string& component) const
{
    return valueOr(get(component, Prop::Enabled), false);
}
bool ViewModel::readOnly(const std::string& component) const
{
    return valueOr(get(component, Prop::ReadOnly), false);
}
bool ViewModel::checked(const std::string& component) const
{
    return valueOr(get(component, Prop::Checked), false);
}
int ViewModel::itemIndex(const std::string& component) const
{
    return valueOr(get(component, Prop::ItemIndex), -1);
}
std::uint32_t ViewModel::color(const std::string& component) const
{
    return valueOr<std::uint32_t>(get(component, Prop::Color), 0u);
}

std::vector<std::pair<ViewModel::Key, ViewModel::Value>> ViewModel::takeChanges()
{
    std::vector<std::pair<Key, Value>> out;
    out.reserve(m_changed.size());
    for (const Key& key : m_changed) {
        out.emplace_back(key, m_values.at(key));
    }
    m_changed.clear();
    return out;
}

} // namespace tavlor
