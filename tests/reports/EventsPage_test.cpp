#include "FakeEventsHost.h"
#include "pages/FormLoader.h"
#include "pages/ValuePage.h"
#include "reports/EventsPage.h"

#include <gtest/gtest.h>

#include <numeric>
#include <set>
#include <string>
#include <vector>

namespace kova {
namespace {

using test::eventRow;
using test::eventRun;
using test::FakeEventsHost;
using Strings = std::vector<std::string>;

Strings items(const EventsPage& page)
{
    Strings out;
    for (int i = 1; i <= page.ListView1().count(); ++i) out.push_back(page.ListView1().text(i));
    return out;
}

Strings countDown(long first, int count)
{
    Strings out;
    for (int i = 0; i < count; ++i) out.push_back(std::to_string(first - i));
    return out;
}

Strings with(Strings rows, std::size_t index, const std::string& text)
{
    if (rows.size() <= index) rows.resize(index + 1);
    rows[index] = text;
    return rows;
}

// Columns, and the fields of a listed event by sub-item number in the
// order printable pages read them.
TEST(EventsPageColumns, ColumnsAndSubItems)
{
    FakeEventsHost host;
    host.isOnline = true;
    host.setRows(with(eventRun(150, 20), 0, eventRow(150, " Phase Timed OverCurrent ")));
    EventsPage page(host);
    page.Form_Load();
    page.Crear_Col(); // made again, not added twice
    const KeyedList& list = page.ListView1();
    ASSERT_EQ(list.columnCount(), 13);
    std::set<std::string> keys;
    double width = 0;
    for (int n = 1; n <= 13; ++n) {
        keys.insert(list.column(n).key);
        width += list.column(n).width;
    }
    EXPECT_EQ(keys.size(), 13u);
    EXPECT_NEAR(width, 1.6 * EventsPage::kAnchoLista, 1e-6);
    EXPECT_EQ(list.column(8).title + "/" + list.column(8).key, "Neg. Seq. I(Amp)/Negative Seq");
    EXPECT_EQ(list.column(12).title + "/" + list.column(12).key, "Freq.(Hz)/Frequency");

    ASSERT_EQ(list.count(), 20);
    const Strings fields = {" Phase Timed OverCurrent", "01/02/2024 10:00:00", "1.1", "2.1", "3.1", "4.1",
                            "5.1", "6.1", "7.1", "8.1", "9.1", "10.1"};
    for (int k = 1; k <= 12; ++k) EXPECT_EQ(list.subItem(1, k), fields[k - 1]) << k;
    EXPECT_EQ(list.subItem(20, 3), "1.20");
    EXPECT_EQ(list.key(1) + " " + list.key(20), "Event1 Event20");
}

TEST(EventsPageRows, Split)
{
    struct Case { const char* text; bool split, complete; const char *number, *cause, *date; };
    const Case cases[] = {
        {"150, Phase Timed OverCurrent ,01/02/2024 10:00:00", true, true, "150", " Phase Timed OverCurrent",
         "01/02/2024 10:00:00"},
        {" 7  , a  ,  d  ", true, true, " 7", " a", "  d"},
        {"3,,01/02/2024 10:00:00", true, true, "3", "", "01/02/2024 10:00:00"},
        {"4, x ,", true, true, "4", " x", ""},
        {"149,abc", true, false, "149", "", ""},
        {" No Trip ", false, false, "", "", ""},
        {"", false, false, "", "", ""},
    };
    for (const Case& c : cases) {
        const auto f = EventsPage::partir(c.text);
        ASSERT_EQ(f.has_value(), c.split) << c.text;
        if (!f) continue;
        EXPECT_EQ(f->completa, c.complete) << c.text;
        EXPECT_EQ(f->numero, c.number) << c.text;
        if (!c.complete) continue;
        EXPECT_EQ(f->causa, c.cause) << c.text;
        EXPECT_EQ(f->fecha, c.date) << c.text;
    }
}

TEST(EventsPageRows, EventNumberConversion)
{
    const std::pair<const char*, long> cases[] = {
        {"150", 150}, {"40000", 40000}, {"65535", 65535}, {" 12", 12}, {"012", 12}, {"12.5", 12},
        {"13.5", 14}, {"0", 0}, {"65536", -1}, {"-1", -1}, {"abc", -1}, {"", -1}, {"1 2", -1},
    };
    for (const auto& [text, value] : cases) {
        const auto n = EventsPage::numeroEvento(text);
        EXPECT_EQ(n ? long(*n) : -1L, value) << text;
    }
}

// One pass per step over the engine's table as the step leaves it.
struct Step {
    Strings rows;         // rows 1..20 ("" never read)
    Strings items;        // the list after the pass
    unsigned last;        // Ultimo_Numero_Listado after the pass
    int redraws;          // redraws by this pass
};
struct OnlineCase { const char* name; std::vector<Step> steps; };

TEST(EventsPageOnline, Passes)
{
    const Strings five = eventRun(5, 5);
    const Strings stale = [] {
        Strings r = {eventRow(58)};
        for (const auto& s : eventRun(56, 19)) r.push_back(s);
        return r;
    }();
    const OnlineCase cases[] = {
        {"never read", {{{}, {}, 0, 0}, {{}, {}, 0, 0}}},
        {"rows arriving",
         {{eventRun(5, 3), countDown(5, 3), 5, 1}, {five, countDown(5, 5), 5, 1}, {five, countDown(5, 5), 5, 0}}},
        {"twenty of 150", {{eventRun(150, 20), countDown(150, 20), 150, 1}}},
        {"no events", {{{eventRow(0)}, {}, 0, 0}, {{eventRow(0)}, {}, 0, 0}}},
        {"cause no event", {{with(five, 2, eventRow(3, "no event ")), {"5", "4"}, 5, 1}}},
        {"empty cause", {{with(five, 2, eventRow(3, "")), {"5", "4"}, 5, 1}}},
        {"blank before no event", {{with(five, 2, eventRow(3, " No Event ")), countDown(5, 5), 5, 1}}},
        {"row without a second comma",
         {{with(eventRun(150, 20), 1, "149,abc"), {"150"}, 0, 0},
          {with(eventRun(150, 20), 1, "149,abc"), {"150"}, 0, 0},
          {eventRun(150, 20), countDown(150, 20), 150, 1}}},
        {"number that does not convert", {{with(five, 1, eventRow(0).replace(0, 1, "x4")), {"5"}, 0, 0}}},
        {"newest that does not convert", {{five, countDown(5, 5), 5, 1}, {with(five, 0, "?, a ,d"), countDown(5, 5), 5, 0}}},
        {"rows of the previous newest",
         {{stale, {"58"}, 58, 1}, {stale, {"58"}, 58, 1}, {eventRun(58, 20), countDown(58, 20), 58, 1},
          {eventRun(58, 20), countDown(58, 20), 58, 0}}},
        {"gap in the middle", {{with(eventRun(30, 20), 4, ""), countDown(30, 4), 30, 1}}},
        {"cleared relay",
         {{eventRun(25, 20), countDown(25, 20), 25, 1}, {{" No Trip "}, {}, 0, 1}, {{" No Trip "}, {}, 0, 0},
          {{eventRow(1, " Events Clear ")}, {"1"}, 1, 1}}},
        {"beyond 32767", {{eventRun(40000, 20), countDown(40000, 20), 40000, 1}}},
        {"number as split", {{{" 7 , a ,d"}, {" 7"}, 7, 1}}},
    };
    for (const OnlineCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEventsHost host;
        host.isOnline = true;
        EventsPage page(host);
        page.Form_Load();
        const int before = page.Redibujos();
        ASSERT_TRUE(page.ListView1().count() == 0 && before == 0);
        for (std::size_t s = 0; s < c.steps.size(); ++s) {
            const Step& step = c.steps[s];
            host.setRows(step.rows);
            const int redraws = page.Redibujos();
            page.Actualiza_Valores();
            EXPECT_EQ(items(page), step.items) << "step " << s;
            EXPECT_EQ(page.Ultimo_Numero_Listado(), step.last) << "step " << s;
            EXPECT_EQ(page.Redibujos() - redraws, step.redraws) << "step " << s;
        }
    }
}

// An events page online that listed events 5 to 1 at its load.
struct PollingPage {
    FakeEventsHost host;
    EventsPage page{host};
    PollingPage()
    {
        host.isOnline = true;
        host.setRows(eventRun(5, 5));
        page.Form_Load();
    }
};

// Once a reply has told the relay's newest number, a list whose newest row
// is above it is shown empty; events the relay still holds stay listed.
TEST(EventsPageOnline, NoRowAboveTheRelaysNewest)
{
    struct Case { const char* name; bool told; int newest; Strings rows, items; };
    const Strings stale = {eventRow(5), eventRow(4), eventRow(3), eventRow(2), " No Trip "};
    const Case cases[] = {
        {"cleared, the record not read since", true, 1, stale, {}},
        {"cleared, the record read", true, 1, {eventRow(1, " Events Clear "), " No Trip "}, {"1"}},
        {"cleared to no event", true, 0, stale, {}},
        {"a new event not read yet", true, 26, eventRun(25, 20), countDown(25, 20)},
        {"the newest listed", true, 5, eventRun(5, 5), countDown(5, 5)},
        {"no reply has told the newest yet", false, 1, stale, countDown(5, 5)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PollingPage polling;
        auto& [host, page] = polling;
        ASSERT_EQ(items(page), countDown(5, 5));
        host.setNewest(c.newest);
        host.setRows(c.rows);
        page.Timer1_Timer();
        if (c.told) host.pass(EventsPage::kLeerUltimoEvento);
        page.Timer1_Timer();
        EXPECT_EQ(items(page), c.items);
        EXPECT_EQ(page.Numero_Mas_Nuevo().has_value(), c.told);
    }
}

// The reads of the newest number (30) and of the record (90) failing as often in a row as the link gives a request:
// the status line says so and polling goes on; passed replies of other requests do not hide it. When the link gives
// one of them up, or is lost, the page polls no more and says why (a late reply passing after does not hide it).
// Steps: p/P pass 30/90, f/F fail 30/90, x a failure of 90 the page did not hear (before it opened), o/q another
// request fails/passes, G/g the link gives 30/90 up, L link lost.
TEST(EventsPageOnline, EventReadsFailingInARowAreTold)
{
    const std::string trying = EventsPage::Texto_Sin_Lectura(5), lost = EventsPage::Texto_Enlace_Perdido();
    const std::string newestGivenUp = EventsPage::Texto_Abandonada(EventsPage::kLeerUltimoEvento, 5);
    const std::string recordGivenUp = EventsPage::Texto_Abandonada(EventsPage::kLeerRegistroEvento, 5);
    struct Case { const char* name; const char* steps; std::string told; };
    const Case cases[] = {
        {"record refused five times, the newest read between", "pFpFpFpFpF", trying}, {"four times", "pFpFpFpF", ""},
        {"read again", "FFFFFP", ""}, {"a read passed between", "FFFFPF", ""},
        {"the newest number refused five times", "fffff", trying}, {"other requests failing", "ooooo", ""},
        {"other requests passing between", "FqFqFqFqF", trying}, {"link lost", "FFFFFL", lost},
        {"the newest number given up, its box open", "fffffG", newestGivenUp},
        {"the newest number given up, the link lost", "fffffGL", newestGivenUp},
        {"the record given up, a late reply after", "FFFFFgLP", recordGivenUp},
        {"the record refused before the page opened", "xxxFF", trying},
        {"seven refusals given up", "xxFFFFFgL", EventsPage::Texto_Abandonada(EventsPage::kLeerRegistroEvento, 7)},
        {"another request given up", "oooooL", lost},
        {"the newest number's one miss ends the link", "ooooofGL",
         "The relay's newest event number could not be read: its last read failed or was refused, and the link to "
         "the relay was given up. The page no longer asks the relay for events."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PollingPage polling;
        auto& [host, page] = polling;
        ASSERT_EQ(host.listener, &page);
        for (const char* s = c.steps; *s; ++s) {
            page.Timer1_Timer();
            const RequestSlot other{0, 0, 31};
            switch (*s) {
            case 'p': host.pass(EventsPage::kLeerUltimoEvento); break;
            case 'P': host.passed(EventsPage::kLeerRegistroEvento); break;
            case 'f': host.fail(EventsPage::kLeerUltimoEvento); break;
            case 'F': host.fail(EventsPage::kLeerRegistroEvento); break;
            case 'x': ++host.failures[EventsPage::kLeerRegistroEvento]; break;
            case 'o': host.listener->replyFailed(other); break;
            case 'q': host.listener->replyPassed(other); break;
            case 'G': host.listener->requestGivenUp({0, 0, EventsPage::kLeerUltimoEvento}); break;
            case 'g': host.listener->requestGivenUp({0, 0, EventsPage::kLeerRegistroEvento}); break;
            case 'L':
                host.isOnline = false;
                host.listener->linkLost();
                break;
            }
        }
        const std::size_t queued = host.codes().size();
        page.Timer1_Timer();
        EXPECT_EQ(page.Estado(), c.told);
        // Offline the page asks nothing more.
        EXPECT_EQ(page.Timer1_Enabled(), host.isOnline);
        EXPECT_EQ(host.codes().size(), queued + (host.isOnline ? 1 : 0));
        EXPECT_EQ(host.codes().back(), EventsPage::kLeerUltimoEvento);
    }
    EXPECT_EQ(trying,
              "The event record could not be read: its last 5 reads failed or were refused. The page keeps trying.");
    EXPECT_EQ(newestGivenUp, "The relay's newest event number could not be read: its last 5 reads failed or were "
                             "refused, and the link to the relay was given up. The page no longer asks the relay for "
                             "events.");
    EXPECT_EQ(lost, "The link to the relay was lost: the page no longer asks the relay for events.");

    // The page hears the link only while it polls.
    FakeEventsHost host;
    host.isOnline = true;
    {
        EventsPage page(host);
        page.Form_Load();
        page.Cerrar_Ventana();
        EXPECT_EQ(host.listener, nullptr);
        host.isOnline = false;
        page.Form_Load();
        EXPECT_EQ(host.listener, nullptr);
        host.isOnline = true;
        page.Form_Load();
    }
    EXPECT_EQ(host.listener, nullptr);
}

struct OfflineCase { const char* name; Strings file, items; };

TEST(EventsPageOffline, Passes)
{
    const OfflineCase cases[] = {
        {"no file", {}, {}},
        {"three events", {eventRow(12), eventRow(11), eventRow(10)}, {"12", "11", "10"}},
        {"one event with older rows behind", {eventRow(1, " Events Clear "), eventRow(56), eventRow(55)}, {"1"}},
        {"row repeating the newest", {eventRow(12), eventRow(11), eventRow(12), eventRow(9)}, {"12", "11"}},
        {"number in integer form", {"012, a ,d", " 11.4 , b ,d"}, {"12", "11"}},
        {"twenty of 150", eventRun(150, 20), countDown(150, 20)},
        {"no event in the file", {" No Trip "}, {}},
        {"row without a second comma", {eventRow(3), "2,abc", eventRow(1)}, {"3"}},
    };
    for (const OfflineCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEventsHost host;
        host.setFile(c.file);
        EventsPage page(host);
        page.Form_Load();
        EXPECT_EQ(items(page), c.items);
        EXPECT_FALSE(page.Timer1_Enabled());
    }
}

TEST(EventsPageOffline, ValuesFromTheFileAndNoRedrawWhenCurrent)
{
    FakeEventsHost host;
    host.setFile(eventRun(150, 20));
    EventsPage page(host);
    page.Form_Load();
    EXPECT_EQ(page.ListView1().subItem(2, 12), "f10.1");
    EXPECT_EQ(page.ListView1().subItem(2, 3), "f1.1");
    const int redraws = page.Redibujos();
    page.Actualiza_Valores();
    EXPECT_EQ(page.Redibujos(), redraws);
    host.setFile(eventRun(151, 20));
    page.Actualiza_Valores();
    EXPECT_EQ(items(page), countDown(151, 20));
}

// What the program sees of the page over a series of actions: L load, T
// timer tick, O OK, X window frame closed, U unload, D link drops, C link
// comes up.
TEST(EventsPageWindow, Lifecycle)
{
    using Queued = std::vector<std::pair<int, int>>;
    struct Case {
        const char* name;
        bool online, printing;
        const char* actions;
        bool loaded, timer;
        std::vector<bool> main; // main window enabled, every change
        Queued queued;
        Strings items;
    };
    const Queued none;
    const Case cases[] = {
        {"opened online", true, false, "L", true, true, {false}, none, countDown(25, 20)},
        {"tick online", true, false, "LT", true, true, {false}, {{0, 30}}, countDown(25, 20)},
        {"OK online waits for the tick", true, false, "LTO", true, true, {false}, {{0, 30}}, countDown(25, 20)},
        {"the tick after OK closes", true, false, "LTOT", false, false, {false, true}, {{0, 30}, {0, 30}},
         countDown(25, 20)},
        {"frame closed online", true, false, "LX", false, false, {false, true}, none, countDown(25, 20)},
        {"frame closed offline", false, false, "LX", false, false, {false, true}, none, countDown(12, 12)},
        {"OK offline", false, false, "LO", false, false, {false, true}, none, countDown(12, 12)},
        {"OK, opened offline, online since", false, false, "LCO", false, false, {false, true}, none,
         countDown(12, 12)},
        {"link drops: the file copy", true, false, "LDT", true, false, {false}, none, countDown(12, 12)},
        {"OK after the link dropped", true, false, "LDTO", false, false, {false, true}, none, countDown(12, 12)},
        {"loaded unseen while printing", true, true, "L", true, false, {}, none, countDown(25, 20)},
        {"unloaded after printing", true, true, "LU", false, false, {}, none, countDown(25, 20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEventsHost host;
        host.isOnline = c.online;
        host.isPrinting = c.printing;
        host.closeRequest = true; // left over: every load clears it
        host.setRows(eventRun(25, 20));
        host.setFile(eventRun(12, 12));
        EventsPage page(host);
        for (const char* a = c.actions; *a; ++a)
            switch (*a) {
            case 'L': page.Form_Load(); break;
            case 'T': page.Timer1_Timer(); break;
            case 'O': page.Okey_Click(); break;
            case 'X': page.Cerrar_Ventana(); break;
            case 'U': page.Form_Unload(); break;
            case 'D': host.isOnline = false; break;
            case 'C': host.isOnline = true; break;
            }
        EXPECT_EQ(page.Cargada(), c.loaded);
        EXPECT_EQ(page.Timer1_Enabled(), c.timer);
        EXPECT_EQ(host.mainWindow, c.main);
        EXPECT_EQ(host.requests(), c.queued);
        EXPECT_EQ(host.closeRequest, c.loaded && std::string(c.actions).back() == 'O');
        EXPECT_EQ(items(page), c.items);
        EXPECT_EQ(page.ListView1().columnCount(), 13);
    }
}

// The close request is shared by the value pages and the events page: OK on
// one page closes that page alone, whichever other page is open with it.
TEST(EventsPageWindow, OkClosesThisPageOnly)
{
    FakeEventsHost host;
    host.isOnline = true;
    host.setRows(eventRun(25, 20));
    auto metering = makeValuePage(*loadPageForm("AVPAGE1"), host);
    metering->Form_Load();
    EventsPage events(host);
    events.Form_Load();
    events.Okey_Click();
    metering->Timer1_Timer();
    EXPECT_FALSE(metering->closed());
    events.Timer1_Timer();
    EXPECT_FALSE(events.Cargada());
    metering->Okey_Click();
    events.Form_Load();
    events.Timer1_Timer();
    EXPECT_TRUE(events.Cargada());
    metering->Timer1_Timer();
    EXPECT_TRUE(metering->closed());
}

TEST(EventsPageWindow, Clear)
{
    struct Case { const char* name; bool online, yes; std::vector<std::pair<int, int>> queued; std::string text; char kind; };
    const Case cases[] = {
        {"online, No", true, false, {}, "Are your sure that you want to clear Events?", 'Q'},
        {"online, Yes", true, true, {{0, 13}}, "Are your sure that you want to clear Events?", 'Q'},
        {"offline", false, true, {}, "Enabled only on Communication Mode", 'I'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEventsHost host;
        host.isOnline = c.online;
        host.setRows(eventRun(5, 5));
        host.answers = {c.yes};
        EventsPage page(host);
        page.Form_Load();
        page.Clear_Click();
        EXPECT_EQ(host.requests(), c.queued);
        const auto& boxes = c.kind == 'Q' ? host.questions : host.messages;
        EXPECT_EQ(host.questions.size() + host.messages.size(), 1u);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text + " | " + boxes[0].title, c.text + " | KOVA Clear Events");
        EXPECT_EQ(boxes[0].icon, c.kind == 'Q' ? PageHost::Icon::Question : PageHost::Icon::Information);
        EXPECT_EQ(page.ListView1().count(), c.online ? 5 : 0);
    }
}

} // namespace
} // namespace kova
