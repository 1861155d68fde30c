#pragma once
// A printable page as plain data: the client area of a report window and the
// items placed on it, all geometry in twips (1/1440 inch) from the top-left
// corner of the client area (items inside a frame are stored with the
// frame's offset already added, so the painter needs no nesting).
// A report's layout file gives the design (reports/layouts/<WINDOW>.json,
// read by ReportLayout); its fill writes texts, visibility and box states by
// instance name ("LblMed(3)"); ReportPrinter paints it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kova {

struct ReportFont {
    std::string family = "MS Sans Serif";
    double points = 8.25;
    bool bold = false;
    bool operator==(const ReportFont&) const = default;
};

enum class ReportAlign { Left, Center, Right };

struct ReportGrid {
    int rows = 0;
    int cols = 0;
    int fixedRows = 1;
    int fixedCols = 1;
    int rowHeight = 240;
    std::vector<int> colWidths;            // twips, one per column
    std::vector<ReportAlign> colAlign;     // one per column
    std::vector<std::string> cells;        // row-major, rows * cols
    std::vector<bool> bold;                // row-major, rows * cols
    std::vector<std::optional<ReportAlign>> cellAlign; // row-major; one set overrides its column's

    std::string& cell(int r, int c) { return cells.at(static_cast<std::size_t>(r * cols + c)); }
    const std::string& cell(int r, int c) const { return cells.at(static_cast<std::size_t>(r * cols + c)); }
    void setBold(int r, int c, bool b) { bold.at(static_cast<std::size_t>(r * cols + c)) = b; }
    bool isBold(int r, int c) const { return bold.at(static_cast<std::size_t>(r * cols + c)); }
    void setAlign(int r, int c, ReportAlign a) { cellAlign.at(static_cast<std::size_t>(r * cols + c)) = a; }
    // The alignment a cell's text is drawn with: its own, else its column's.
    ReportAlign alignAt(int r, int c) const
    {
        const auto& a = cellAlign.at(static_cast<std::size_t>(r * cols + c));
        return a ? *a : colAlign.at(static_cast<std::size_t>(c));
    }
    void resize(int r, int c);
};

struct ReportItem {
    enum class Kind { Label, Frame, Line, CheckBox, Grid };
    Kind kind = Kind::Label;
    std::string name;    // instance name, "" for anonymous design items
    std::string parent;  // instance name of the frame holding it ("" for the client area)
    // Label, frame, check box, grid: left, top, width, height.
    // Line: from (left, top) to (left + width, top + height); lineWidth in pixels of the design.
    // Frame: lineWidth 0 draws no border.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int lineWidth = 1;
    bool visible = true;
    std::string text;  // label text, frame or check box caption
    ReportFont font;
    ReportAlign align = ReportAlign::Left;
    bool autoSize = false;                  // a label grows to its text (no clipping)
    std::optional<std::uint32_t> background;  // 0xRRGGBB; none: transparent
    bool checked = false;                   // check box
    ReportGrid grid;                        // grid
};

class ReportCanvas {
public:
    ReportCanvas() = default;
    ReportCanvas(std::string window, int clientWidth, int clientHeight);

    const std::string& window() const { return window_; }
    int clientWidth() const { return width_; }
    int clientHeight() const { return height_; }

    ReportItem& add(ReportItem item);
    const std::vector<ReportItem>& items() const { return items_; }

    // The item of an instance name; nullptr when the page has none.
    ReportItem* find(std::string_view name);
    const ReportItem* find(std::string_view name) const;
    // As find, but a missing name is a fault of the report (throws
    // std::out_of_range naming the window and the instance).
    ReportItem& at(std::string_view name);
    const ReportItem& at(std::string_view name) const;

    void setText(std::string_view name, std::string text) { at(name).text = std::move(text); }
    void setVisible(std::string_view name, bool visible) { at(name).visible = visible; }
    void setChecked(std::string_view name, bool checked) { at(name).checked = checked; }
    const std::string& text(std::string_view name) const { return at(name).text; }
    bool visible(std::string_view name) const { return at(name).visible; }
    // Whether an item prints: it and every frame holding it are visible.
    bool shown(const ReportItem& item) const;
    bool shown(std::string_view name) const { return shown(at(name)); }
    // Moves an item to (left, top), and everything a frame holds with it.
    void moveTo(std::string_view name, int left, int top);

private:
    std::string window_;
    int width_ = 0;
    int height_ = 0;
    std::vector<ReportItem> items_;
};

} // namespace kova
