#include "reports/ReportCanvas.h"

#include <stdexcept>

namespace kova {

void ReportGrid::resize(int r, int c) {
    rows = r;
    cols = c;
    cells.assign(static_cast<std::size_t>(r * c), std::string());
    bold.assign(static_cast<std::size_t>(r * c), false);
    cellAlign.assign(static_cast<std::size_t>(r * c), std::nullopt);
    colWidths.resize(static_cast<std::size_t>(c), 0);
    colAlign.resize(static_cast<std::size_t>(c), ReportAlign::Left);
}

ReportCanvas::ReportCanvas(std::string window, int clientWidth, int clientHeight)
    : window_(std::move(window)), width_(clientWidth), height_(clientHeight) {}

ReportItem& ReportCanvas::add(ReportItem item) {
    items_.push_back(std::move(item));
    return items_.back();
}

ReportItem* ReportCanvas::find(std::string_view name) {
    for (auto& item : items_)
        if (!item.name.empty() && item.name == name)
            return &item;
    return nullptr;
}

const ReportItem* ReportCanvas::find(std::string_view name) const {
    return const_cast<ReportCanvas*>(this)->find(name);
}

ReportItem& ReportCanvas::at(std::string_view name) {
    if (auto* item = find(name))
        return *item;
    throw std::out_of_range(window_ + " has no " + std::string(name));
}

const ReportItem& ReportCanvas::at(std::string_view name) const {
    return const_cast<ReportCanvas*>(this)->at(name);
}

bool ReportCanvas::shown(const ReportItem& item) const {
    const ReportItem* cur = &item;
    for (std::size_t depth = 0; cur && depth <= items_.size(); ++depth) {
        if (!cur->visible)
            return false;
        if (cur->parent.empty())
            return true;
        cur = find(cur->parent);
    }
    return cur != nullptr;
}

void ReportCanvas::moveTo(std::string_view name, int left, int top) {
    ReportItem& target = at(name);
    const int dx = left - target.left;
    const int dy = top - target.top;
    const std::string moved = target.name;
    for (auto& item : items_) {
        bool inside = item.name == moved;
        const ReportItem* p = &item;
        for (std::size_t depth = 0; p && !inside && !p->parent.empty() && depth <= items_.size(); ++depth) {
            inside = p->parent == moved;
            p = find(p->parent);
        }
        if (inside) {
            item.left += dx;
            item.top += dy;
        }
    }
}

} // namespace kova
