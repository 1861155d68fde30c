#include "reports/KeyedList.h"

#include <algorithm>

namespace kova {

void KeyedList::addColumn(std::string title, std::string key, double width)
{
    columns_.push_back({std::move(title), std::move(key), width});
}

int KeyedList::columnIndex(std::string_view key) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].key == key)
            return static_cast<int>(i) + 1;
    return 0;
}

bool KeyedList::insert(int position, std::string key, std::string text)
{
    if (position < 1 || position > count() + 1)
        return false;
    if (std::any_of(items_.begin(), items_.end(), [&](const Item& it) { return it.key == key; }))
        return false;
    items_.insert(items_.begin() + (position - 1), Item{std::move(key), std::move(text), {}});
    return true;
}

bool KeyedList::setSubItem(int item, std::string_view columnKey, std::string text)
{
    const int column = columnIndex(columnKey);
    if (item < 1 || item > count() || column < 2)
        return false;
    auto& sub = items_[static_cast<std::size_t>(item - 1)].sub;
    const auto k = static_cast<std::size_t>(column - 1);
    if (sub.size() < k)
        sub.resize(k);
    sub[k - 1] = std::move(text);
    return true;
}

std::string KeyedList::subItem(int item, int k) const
{
    const auto& sub = at(item).sub;
    return k >= 1 && static_cast<std::size_t>(k) <= sub.size() ? sub[static_cast<std::size_t>(k - 1)]
                                                               : std::string();
}

} // namespace kova
