// The phase, ground and voltage protection pages on the page model over a
// fake host: what their forms declare alike is alike, curves and the delay
// row standing in place of the multiplier row, the voltage selectors, editor
// texts and relay boxes (their reads, writes and restored blocks are in
// relay_function_pages_test.cpp).

#include "FormPageTest.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPage.h"

#include <gtest/gtest.h>

#include <functional>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace kova;
using kova::test::FakePageHost;

namespace {

struct Protection : kova::test::FormPageTest {};

// A control's stored settings without the keys it may differ in.
std::map<std::string, PropValue> settingsBut(const char* form, const char* control,
                                             std::initializer_list<const char*> own)
{
    const auto f = loadPageForm(form);
    const PropertyBag* bag = f ? f->settings.find(control) : nullptr;
    if (!bag)
        return {};
    auto entries = bag->entries();
    for (const char* key : own)
        entries.erase(key);
    return entries;
}

std::vector<std::string> items(const char* form, const char* selector)
{
    FakePageHost host;
    SetpointPage page(*loadPageForm(form), host);
    page.selector(selector)->Crear_Items();
    return page.selector(selector)->List();
}

} // namespace

TEST(ProtectionForms, WhatThePagesDeclareAlikeIsAlike)
{
    const auto curves = items("SETPAGE3", "Page3C(0)");
    ASSERT_EQ(curves.size(), 13u);
    EXPECT_EQ(curves.front(), "Definite Time");
    EXPECT_EQ(curves.back(), "IEC-C Extrem Inv");
    EXPECT_EQ(items("SETPAGE3", "Page3C(1)"), curves);
    EXPECT_EQ(items("SETPAGE13", "Page3C(0)"), curves);
    FakePageHost host;
    SetpointPage voltage(*loadPageForm("SETPAGE14"), host);
    for (int n = 3; n <= 13; ++n)
        EXPECT_EQ(voltage.selector("Page3C(0)")->Nombre(n), curves[static_cast<std::size_t>(n - 1)]) << n;

    struct Alike {
        std::vector<std::pair<const char*, const char*>> controls;
        std::initializer_list<const char*> own;
    };
    const Alike groups[] = {
        {{{"SETPAGE3", "Word_TresR1(0)"}, {"SETPAGE3", "Word_TresR1(1)"}, {"SETPAGE3", "Word_TresR1(2)"},
          {"SETPAGE3", "Word_TresR1(3)"}, {"SETPAGE3", "Word_TresR1(4)"}, {"SETPAGE13", "Word_TresR1(0)"},
          {"SETPAGE13", "Word_TresR1(1)"}, {"SETPAGE14", "Word_TresR1(0)"}, {"SETPAGE14", "Word_TresR1(1)"},
          {"SETPAGE14", "Word_TresR1(2)"}},
         {"direccion", "titulo", "formatoa"}},
        {{{"SETPAGE3", "Word_DosR1(0)"}, {"SETPAGE13", "Word_DosR1(0)"}}, {"direccion", "titulo"}},
        {{{"SETPAGE14", "Page3C(1)"}, {"SETPAGE14", "Page3C(2)"}}, {"direccion"}},
    };
    for (const Alike& g : groups) {
        const auto first = settingsBut(g.controls[0].first, g.controls[0].second, g.own);
        ASSERT_FALSE(first.empty());
        for (const auto& [form, control] : g.controls)
            EXPECT_EQ(settingsBut(form, control, g.own), first) << form << " " << control;
    }
}

TEST_F(Protection, CurveShowsTheDelayRowInPlaceOfTheMultiplierOnlyForDefiniteTime)
{
    struct Row {
        const char *selector, *frame, *multiplier, *caption, *delay;
    };
    const Row phase{"Page3C(0)", "frmTime", "Byte_UnR1(1)", "Label1(0)", "Word_TresR1(0)"};
    const Row negSeq{"Page3C(1)", "frmNegSeqDelay", "Byte_UnR1(7)", "Label1(13)", "Word_TresR1(4)"};
    struct Case {
        const char* form;
        const Row& r;
        int reg, get, put, putAfter;
        const char* valor;
        bool delayShown;
    };
    const Case cases[] = {
        {"SETPAGE3", phase, 0x1002, 0, 0xFFF0, 0xFFF0, "Definite Time", true},
        {"SETPAGE3", phase, 0x1002, 6, 0x1230, 0x1236, "IAC Inverse", false},
        {"SETPAGE3", phase, 0x1002, 13, 0x0005, 0x0005, "", false},
        {"SETPAGE3", negSeq, 0x100C, 15, 0x0001, 0x0001, "", false},
        {"SETPAGE3", negSeq, 0x100C, 0x0120, 0x0120, 0x0120, "Definite Time", true},
        {"SETPAGE13", phase, 0x1021, 3, 0x0000, 0x0003, "ANSI Very Inv", false},
        {"SETPAGE13", phase, 0x1021, 0, 0x0000, 0x0000, "Definite Time", true},
    };
    for (const Case& c : cases) {
        const Row& r = c.r;
        SCOPED_TRACE(std::string(c.form) + " " + r.selector + " " + std::to_string(c.get));
        host = FakePageHost{};
        host.setGet(c.reg, c.get);
        host.setGet(c.reg + 1, 15);
        host.setGet(c.reg + 2, 25);
        host.setPut(c.reg, c.put);
        open(c.form);
        EXPECT_EQ(page->valor(r.selector), c.valor);
        EXPECT_EQ(page->visible(r.frame), c.delayShown);
        EXPECT_EQ(page->covered(r.multiplier), c.delayShown);
        EXPECT_EQ(page->covered(r.caption), c.delayShown);
        EXPECT_FALSE(page->covered(r.delay));
        EXPECT_EQ(host.put(c.reg), c.putAfter);
        // Both editors keep their texts, shown or not.
        EXPECT_EQ(page->valor(r.multiplier), "1.5 ");
        EXPECT_EQ(page->valor(r.delay), "0.25 Sec");
    }
}

TEST_F(Protection, EachCurveMovesOnlyItsOwnSubFrame)
{
    host.setGet(0x1002, 0);
    host.setGet(0x100C, 0);
    open("SETPAGE3");
    std::vector<std::string> changed;
    page->onVisibility = [&](const std::string& n) { changed.push_back(n); };
    host.setPut(0x100C, 0xABC0);
    page->selector("Page3C(1)")->pick(12);
    EXPECT_EQ(host.put(0x100C), 0xABCC);
    EXPECT_FALSE(page->visible("frmNegSeqDelay"));
    EXPECT_TRUE(page->visible("frmTime"));
    EXPECT_FALSE(page->covered("Byte_UnR1(7)"));
    EXPECT_EQ(changed, (std::vector<std::string>{"frmNegSeqDelay", "Byte_UnR1(7)", "Label1(13)"}));
    page->selector("Page3C(0)")->pick(1);
    EXPECT_FALSE(page->visible("frmTime"));
    page->selector("Page3C(0)")->pick(0);
    EXPECT_TRUE(page->covered("Byte_UnR1(1)"));
}

TEST_F(Protection, VoltageSelectorsWriteTheirBitsAndMoveNoRow)
{
    struct Case {
        int reg, get, put;
        const char* selector;
        const char* shown;
        int pick, putAfter;
    };
    const Case cases[] = {
        {0x1034, 0x0001, 0xFFFF, "Page3C(0)", "Inverse", 0, 0xFFFE},
        {0x1034, 0x0000, 0x8000, "Page3C(0)", "Definite Time", 1, 0x8001},
        {0x1035, 0x0002, 0x0002, "Page3C(1)", "All Three", 1, 0x0001},
        {0x103B, 0x0000, 0x00F0, "Page3C(2)", "Any One", 2, 0x00F2},
        {0x1035, 0x0003, 0x0003, "Page3C(1)", "", -1, 0x0003},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reg);
        host = FakePageHost{};
        host.setGet(c.reg, c.get);
        open("SETPAGE14");
        int visibility = 0;
        page->onVisibility = [&](const std::string&) { ++visibility; };
        EXPECT_EQ(page->valor(c.selector), c.shown);
        host.setPut(c.reg, c.put);
        if (c.pick >= 0)
            page->selector(c.selector)->pick(c.pick);
        EXPECT_EQ(host.put(c.reg), c.putAfter);
        EXPECT_EQ(visibility, 0);
    }
    EXPECT_EQ(page->selector("Page3C(0)")->ListCount(), 2);
}

TEST_F(Protection, EditorTexts)
{
    struct Case {
        const char* form;
        int reg, raw;
        const char *control, *text;
    };
    const Case cases[] = {
        {"SETPAGE3", 0x1004, 5, "Word_TresR1(0)", "0.05 Sec"},
        {"SETPAGE3", 0x1004, 99, "Word_TresR1(0)", "0.99 Sec"},
        {"SETPAGE3", 0x1004, 100, "Word_TresR1(0)", "1.0 Sec"},
        {"SETPAGE3", 0x1004, 999, "Word_TresR1(0)", "10.0 Sec"},
        {"SETPAGE3", 0x1004, 1000, "Word_TresR1(0)", "10 Sec"},
        {"SETPAGE3", 0x1004, 60000, "Word_TresR1(0)", "600 Sec"},
        {"SETPAGE3", 0x1014, 50, "Word_TresR1(1)", "0.50 Sec"},
        {"SETPAGE3", 0x1003, 15, "Byte_UnR1(1)", "1.5 "},
        {"SETPAGE3", 0x1008, 0, "Byte_UnR1(3)", "0 mSec"},
        {"SETPAGE3", 0x1007, 1800, "Word_DosR1(0)", "1800 %CT"},
        {"SETPAGE13", 0x1022, 200, "Byte_UnR1(1)", "20.0 "},
        {"SETPAGE13", 0x1027, 0, "Byte_UnR1(2)", "0 mSec"},
        {"SETPAGE14", 0x1036, 0, "Byte_UnR1(4)", "0 %VT"},
        {"SETPAGE14", 0x1039, 150, "Byte_UnR1(2)", "150 %VT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.control + " " + std::to_string(c.raw));
        host = FakePageHost{};
        host.setGet(c.reg, c.raw);
        open(c.form);
        EXPECT_EQ(page->valor(c.control), c.text);
    }
}

TEST_F(Protection, RelayBoxesChangeOnlyTheirBit)
{
    struct Case {
        const char *form, *box;
        int reg, put, putAfter;
    };
    const Case cases[] = {
        {"SETPAGE3", "ChkGnd(5)", 0x1018, 0xA5F0, 0xA5F2},
        {"SETPAGE3", "ChkGnd(8)", 0x100A, 0x0000, 0x0001},
        {"SETPAGE3", "ChkPhTim(11)", 0x1012, 0x0007, 0x000F},
        {"SETPAGE13", "ChkPhTim(10)", 0x1029, 0xFFF0, 0xFFF4},
        {"SETPAGE14", "ChkPhTim(8)", 0x1045, 0x0100, 0x0101},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.box);
        host = FakePageHost{};
        open(c.form);
        const int was = host.put(c.reg);
        const auto before = host.im.put;
        host.setPut(c.reg, c.put);
        page->clickBox(c.box, true);
        EXPECT_EQ(host.put(c.reg), c.putAfter);
        host.setPut(c.reg, was);
        EXPECT_EQ(host.im.put, before);  // no other register changed
    }
}

TEST(ProtectionForms, ReaderChecksASubFrame)
{
    using Edit = std::function<void(QJsonObject&)>;
    // Edits row 4 of Frame1's column (the phase delay in its sub-frame).
    auto delayRow = [](const Edit& e) {
        return [=](QJsonObject& o) {
            QJsonArray frames = o["frames"].toArray();
            QJsonObject frame = frames[0].toObject();
            QJsonArray columns = frame["columns"].toArray();
            QJsonArray rows = columns[0].toArray();
            QJsonObject row = rows[4].toObject();
            e(row);
            rows[4] = row;
            columns[0] = rows;
            frame["columns"] = columns;
            frames[0] = frame;
            o["frames"] = frames;
        };
    };
    struct Case {
        Edit edit;
        std::string fault;  // "" reads
    };
    const Case cases[] = {
        {delayRow([](QJsonObject&) {}), ""},
        {delayRow([](QJsonObject& r) { r["over"] = "Byte_UnR1(0)"; }), "SETPAGE3: frames[0].columns[0][4].over: "},
        {delayRow([](QJsonObject& r) { r.remove("over"); }), "SETPAGE3: frames[0].columns[0][4].over: "},
        {delayRow([](QJsonObject& r) { r["frame"] = "Frame2"; }), "SETPAGE3: frames[1].name: "},
        {delayRow([](QJsonObject& r) { r["frame"] = "frmNegSeqDelay"; }),
         "SETPAGE3: frames[1].columns[0][10].frame: "},
        {delayRow([](QJsonObject& r) { r["frame"] = ""; }), "SETPAGE3: frames[0].columns[0][4].frame: "},
        {delayRow([](QJsonObject& r) { r["frame"] = "frmDelay"; }), "SETPAGE3: protocol.rules[0].targets: "},
    };
    const QJsonObject good = QJsonDocument::fromJson(QByteArray::fromStdString(pageFormText("SETPAGE3"))).object();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        QJsonObject o = good;
        c.edit(o);
        std::string error;
        const bool read = readPageForm(QJsonDocument(o).toJson().toStdString(), "SETPAGE3", &error).has_value();
        EXPECT_EQ(read, c.fault.empty()) << error;
        EXPECT_EQ(error.substr(0, c.fault.size()), c.fault);
    }
}
