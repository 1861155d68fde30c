// Controls of one kind on a page are alike but for the settings that make
// each one its own (register, bit, keypad title, unit): a value copied into
// one control and not the others is a data-entry fault. Also the texts
// whose odd spelling is the relay's own, kept as they are.

#include "FakePageHost.h"
#include "pages/FormLoader.h"
#include "pages/SetpointPage.h"

#include <gtest/gtest.h>

#include <set>

using namespace kova;
using kova::test::FakePageHost;

namespace {

PropertyBag without(PropertyBag bag, const std::vector<std::string>& keys)
{
    for (const std::string& k : keys)
        bag.erase(k);
    return bag;
}

} // namespace

// Controls of one kind with their own settings; one-bit selectors of a register also take each bit once.
TEST(FormLikeness, ControlsOfAKindDifferOnlyInTheirOwnSettings)
{
    struct Case {
        const char* form;
        std::string array;
        std::vector<int> indexes;
        std::vector<std::string> own;
        std::set<int> bits;
    };
    const Case cases[] = {
        {"SETPAGE16", "Byte_UnR1", {0, 2, 3, 4}, {"Direccion", "Titulo"}, {}},
        {"SETPAGE16", "Word_DosR1", {0, 1, 2, 3}, {"Direccion", "Titulo"}, {}},
        {"SETPAGE16", "Word_TresR1", {0, 1, 2, 3}, {"Direccion", "Titulo", "Medida"}, {}},
        {"SETPAGE15", "Page15W2", {0, 1}, {"Direccion", "Titulo"}, {}},
        {"SETPAGE15", "Page3C", {0, 1}, {"Direccion"}, {}},
        {"SETPAGE17", "Page1C", {0, 1, 2, 3}, {"Bit1"}, {0, 2, 4, 6}},
        {"SETPAGE17", "Byte_UnR1", {0, 1, 2, 3}, {"Direccion", "Titulo"}, {}},
        {"SETPAGE4", "Page1C", {0, 2, 4}, {"Direccion"}, {}},
        {"SETPAGE4", "Page1C", {1, 3, 5}, {"Bit1"}, {0, 1, 2}},
        {"SETPAGE9", "Page9", {0, 1, 2, 3, 4, 5, 6, 7}, {"Bit1"}, {0, 1, 2, 3, 4, 5, 6, 7}},
    };
    FakePageHost host;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.array);
        const auto form = loadPageForm(c.form);
        ASSERT_TRUE(form);
        SetpointPage page(*form, host);
        const PropertyBag* first = form->settings.find(PageForm::boxName(c.array, c.indexes.front()));
        ASSERT_NE(first, nullptr);
        const PropertyBag like = without(*first, c.own);
        std::set<int> bits;
        for (int i : c.indexes) {
            const std::string name = PageForm::boxName(c.array, i);
            const PropertyBag* bag = form->settings.find(name);
            ASSERT_NE(bag, nullptr) << name;
            EXPECT_EQ(without(*bag, c.own).entries(), like.entries()) << name;
            if (!c.bits.empty()) {
                EXPECT_EQ(page.selector(name)->Tipo(), 0) << name;
                bits.insert(page.selector(name)->Bit(1));
            }
        }
        if (!c.bits.empty()) {
            EXPECT_EQ(bits, c.bits);
        }
    }
    // The event classes are listed in bit order, not in index order.
    SetpointPage page(*loadPageForm("SETPAGE9"), host);
    const auto& column = page.form().frames.at(0).columns.at(0);
    for (std::size_t r = 0; r < column.size(); ++r)
        EXPECT_EQ(page.selector(column[r].control)->Bit(1), static_cast<int>(r)) << column[r].control;
}

TEST(FormLikeness, OddTextsKeptAsTheRelayHasThem)
{
    struct Case {
        const char *form, *name, *text;
    };
    const Case cases[] = {
        {"SETPAGE16", "Label1(11)", "P. F. Leading Relays:"},
        {"SETPAGE16", "Label1(14)", "P.F Lagging Delay:"},
        {"SETPAGE16", "Label1(9)", "Forward Power  Relays:"},
        {"SETPAGE16", "Label1(17)", "Amps Demand Pickup:"},
        {"SETPAGE16", "Word_DosR1(2)", "P.F Leading Delay:"},
        {"SETPAGE16", "Word_DosR1(3)", "P.F Lagging Delay:"},
        {"SETPAGE16", "Byte_UnR1(1)", "Amp Demand Pickup:"},
        {"SETPAGE15", "Page15W2(0)", "Frequency 1 Delay"},
        {"SETPAGE15", "Page15W2(1)", "Frequency 2 Delay"},
        {"SETPAGE17", "Label1(1)", "Aux. 1 Relay Puse Time:"},
        {"SETPAGE17", "Label1(3)", "Aux. 3 Relay Puse Time:"},
        {"SETPAGE17", "Byte_UnR1(1)", "Aux. 1 Relay Pulse Time:"},
    };
    FakePageHost host;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.form) + " " + c.name);
        SetpointPage page(*loadPageForm(c.form), host);
        if (ValueEditorModel* e = page.editor(c.name))
            EXPECT_EQ(e->Titulo(), c.text);
        else
            EXPECT_EQ(page.form().labels.at(c.name), c.text);
    }
}
