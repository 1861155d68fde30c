#pragma once
// A report list as the events page keeps it: columns with a title, a key and
// a width, items inserted at a position under a unique key, and each item's
// sub-items set through a column's key and read back by number (sub-item n
// belongs to column n + 1; column 1 is the item's own text).
//
// Positions and numbers are 1-based. Inserting at a position past the end
// of the list, or under a key already used, is refused; the caller treats
// that as the failure it is.

#include <string>
#include <string_view>
#include <vector>

namespace kova {

class KeyedList {
public:
    struct Column {
        std::string title;
        std::string key;
        double width = 0; // twips
    };

    void clearColumns() { columns_.clear(); }
    void addColumn(std::string title, std::string key, double width);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    // Column n (1-based).
    const Column& column(int n) const { return columns_.at(static_cast<std::size_t>(n - 1)); }
    // The number of the column with this key, 0 when none has it.
    int columnIndex(std::string_view key) const;

    int count() const { return static_cast<int>(items_.size()); }
    void clear() { items_.clear(); }
    // Inserts an item at `position` (1..count + 1); false when the position
    // is out of range or the key is in use, and nothing changes then.
    bool insert(int position, std::string key, std::string text);
    // Sets sub-item of `item` in the column keyed `columnKey`; false when
    // the item or the column (other than column 1) does not exist.
    bool setSubItem(int item, std::string_view columnKey, std::string text);

    // Item n's text and key; sub-item k (1..columns - 1) of item n, "" when
    // never set.
    const std::string& text(int item) const { return at(item).text; }
    const std::string& key(int item) const { return at(item).key; }
    std::string subItem(int item, int k) const;

private:
    struct Item {
        std::string key;
        std::string text;
        std::vector<std::string> sub;
    };
    const Item& at(int item) const { return items_.at(static_cast<std::size_t>(item - 1)); }

    std::vector<Column> columns_;
    std::vector<Item> items_;
};

} // namespace kova
