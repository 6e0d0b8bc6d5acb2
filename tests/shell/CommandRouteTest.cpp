#include "shell/CommandRoute.h"

#include "tests/shell/VetoExtension.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A target that takes the ids given to it and logs who ran what.
class CNamedTarget : public CCommandTable {
public:
    CNamedTarget(std::string name, std::vector<std::string>& log) : m_name(std::move(name)), m_log(log) {}
    void Take(int first, int last = 0)
    {
        OnRange(first, last ? last : first, [this](int id) { m_log.push_back(m_name + " " + std::to_string(id)); });
    }
    const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    std::vector<std::string>& m_log;
};

enum Who { kView, kDocument, kChild, kMain, kApp, kNobody };
const char* const kNames[] = {"view", "document", "child", "main", "app"};

// Which targets take the command, which one of them has an update rule
// and what it says, whether the extension refuses it; what runs and how
// the item ends up.
struct RouteCase {
    const char* what;
    std::vector<Who> takers;
    Who ruler;
    int ruleEnables; // -1: the rule leaves the enabling alone
    bool vetoed;
    Who runs;
    bool enabled;
};

const RouteCase kCases[] = {
    {"the view comes first", {kView, kDocument, kChild, kMain, kApp}, kNobody, -1, false, kView, true},
    {"then the document", {kDocument, kChild, kMain, kApp}, kNobody, -1, false, kDocument, true},
    {"then the child frame", {kChild, kMain, kApp}, kNobody, -1, false, kChild, true},
    {"then the main frame", {kMain, kApp}, kNobody, -1, false, kMain, true},
    {"the application last", {kApp}, kNobody, -1, false, kApp, true},
    {"nothing takes it, so it is disabled", {}, kNobody, -1, false, kNobody, false},
    {"the extension refuses it", {kView, kApp}, kNobody, -1, true, kNobody, false},
    {"a rule disables what a target takes", {kChild}, kMain, 0, false, kNobody, false},
    {"a rule enables what nobody takes", {}, kChild, 1, false, kNobody, true},
    {"a check mark alone does not enable it", {}, kMain, -1, false, kNobody, false},
    {"a check mark keeps a taken command enabled", {kChild}, kMain, -1, false, kChild, true},
};

TEST(CommandRoute, RoutesInOrderAndDisablesWhatNobodyTakes)
{
    constexpr int kId = 30065;
    for (const RouteCase& c : kCases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> log;
        std::vector<std::unique_ptr<CNamedTarget>> targets;
        CCommandRoute route;
        for (const char* name : kNames) {
            targets.push_back(std::make_unique<CNamedTarget>(name, log));
            route.Add(targets.back().get());
        }
        for (Who w : c.takers)
            targets[w]->Take(kId);
        if (c.ruler != kNobody)
            targets[c.ruler]->OnUpdate(kId, [&c](CCommandState& s) {
                s.SetCheck(1);
                if (c.ruleEnables >= 0)
                    s.Enable(c.ruleEnables == 1);
            });
        std::unique_ptr<CVetoExtension> veto = c.vetoed ? std::make_unique<CVetoExtension>(kId) : nullptr;

        CCommandState state(kId);
        route.Update(state);
        EXPECT_EQ(state.IsEnabled(), c.enabled);
        EXPECT_EQ(state.IsCheckSet(), c.ruler != kNobody && !c.vetoed);
        EXPECT_EQ(route.Execute(kId), c.runs != kNobody);
        if (c.runs == kNobody)
            EXPECT_TRUE(log.empty());
        else
            EXPECT_EQ(log, std::vector<std::string>{std::string(kNames[c.runs]) + " " + std::to_string(kId)});
    }
}

TEST(CommandRoute, RangesAndLaterEntriesComeFirst)
{
    std::vector<std::string> log;
    CNamedTarget own("own", log);
    own.Take(30491, 30590);
    CCommandRoute route;
    route.Add(nullptr); // left out
    route.Add(&own);
    ASSERT_EQ(route.Targets().size(), 1u);

    EXPECT_TRUE(route.Execute(30491));
    EXPECT_TRUE(route.Execute(30590));
    EXPECT_FALSE(route.Execute(30591));
    EXPECT_FALSE(route.IsEnabled(30490));

    // A handler added at start-up for one id of the range replaces the
    // target's own there only.
    CNamedTarget registered("registered", log);
    own.On(30500, [&log] { log.push_back("registered 30500"); });
    route.Execute(30500);
    route.Execute(30501);
    EXPECT_EQ(log, (std::vector<std::string>{"own 30491", "own 30590", "registered 30500", "own 30501"}));

    // Update rules over a range see the id they are asked for.
    own.OnUpdateRange(30491, 30590, [](CCommandState& s) { s.Enable(s.GetId() < 30493); });
    EXPECT_TRUE(route.IsEnabled(30492));
    EXPECT_FALSE(route.IsEnabled(30493));
    EXPECT_FALSE(route.Execute(30493));
}

TEST(CommandRoute, AHandlerMayRemoveItsOwnTable)
{
    auto table = std::make_unique<CCommandTable>();
    bool ran = false;
    table->On(57602, [&] {
        table.reset();
        ran = true;
    });
    CCommandRoute route;
    route.Add(table.get());
    EXPECT_TRUE(route.Execute(57602));
    EXPECT_TRUE(ran);
}

TEST(CommandRoute, StateChangesReachTheListener)
{
    int heard = 0;
    NotifyCommandStatesChanged(); // nobody listens: nothing happens
    SetCommandStatesListener([&heard] { ++heard; });
    NotifyCommandStatesChanged();
    SetCommandStatesListener(nullptr);
    NotifyCommandStatesChanged();
    EXPECT_EQ(heard, 1);
}

} // namespace
