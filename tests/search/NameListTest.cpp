#include "search/NameList.h"

#include "platform/Codepage.h"
#include "tests/mapdoc/SearchDialogsDouble.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Cp(const char* utf8)
{
    return Utf8ToCp1257(utf8);
}

// "text:record" of every entry.
std::string Shown(const CNameList& list)
{
    std::ostringstream out;
    for (const CNameEntry& entry : list.Entries())
        out << (out.tellp() > 0 ? " " : "") << entry.text << ':' << entry.record;
    return out.str();
}

std::string Joined(const std::vector<int32_t>& records)
{
    std::ostringstream out;
    for (const int32_t record : records)
        out << (out.tellp() > 0 ? " " : "") << record;
    return out.str();
}

TEST(NameList, FoldingAndUnfolding)
{
    struct Case {
        std::vector<CNameEntry> entries;
        const char* steps; // f fold, u unfold, a add "B":9, r remove entry 0
        std::string shown;
        int entry;              // whose records are asked for
        const char* records;
    };
    const std::vector<CNameEntry> threeA = {{"C", 7}, {"A", 1}, {"B", 5}, {"A", 2}, {"A", 3}};
    const Case cases[] = {
        // Sorted, equal names in the order given.
        {threeA, "", "A:1 A:2 A:3 B:5 C:7", 0, "1"},
        // Three equal names fold to one that stands for all three records...
        {threeA, "f", "A:1 B:5 C:7", 0, "1 2 3"},
        {threeA, "f", "A:1 B:5 C:7", 1, "5"},
        // ...and unfold to three, each with its own record, in their places.
        {threeA, "fu", "A:1 A:2 A:3 B:5 C:7", 1, "2"},
        // Folding again records nothing twice.
        {threeA, "fufuf", "A:1 B:5 C:7", 0, "1 2 3"},
        {threeA, "ff", "A:1 B:5 C:7", 0, "1 2 3"},
        {threeA, "fufu", "A:1 A:2 A:3 B:5 C:7", 2, "3"},
        // Two runs of equal names keep their records apart.
        {{{"B", 4}, {"A", 1}, {"B", 6}, {"A", 2}}, "f", "A:1 B:4", 1, "4 6"},
        // Only equal texts fold; letter case is a difference (it only orders them).
        {{{"a", 1}, {"A", 2}, {"a", 3}}, "f", "a:1 A:2", 0, "1 3"},
        {{{Cp("Šilo"), 1}, {"Silo", 2}, {"Tako", 3}}, "f", Cp("Silo:2 Šilo:1 Tako:3"), 1, "1"},
        // A renamed object sorted in after its equals; a deleted one gone.
        {threeA, "fa", "A:1 B:5 B:9 C:7", 2, "9"},
        {threeA, "r", "A:2 A:3 B:5 C:7", 0, "2"},
        {{}, "fu", "", -1, ""},
        {{{"A", 1}}, "f", "A:1", 0, "1"},
    };
    for (const Case& c : cases) {
        CNameList list;
        list.Assign(c.entries);
        for (const char* step = c.steps; *step; ++step)
            switch (*step) {
            case 'f':
                list.Fold();
                break;
            case 'u':
                list.Unfold();
                break;
            case 'a':
                list.Add({"B", 9});
                break;
            case 'r':
                list.Remove(0);
                break;
            }
        EXPECT_EQ(Shown(list), c.shown) << c.steps;
        EXPECT_EQ(Joined(list.Records(c.entry)), c.records) << c.steps << " entry " << c.entry;
        EXPECT_EQ(list.StandsForSeveral(c.entry), Joined(list.Records(c.entry)).find(' ') != std::string::npos);
    }
}

TEST(NameList, WhatTheUserMeans)
{
    CScriptedUserServices services;
    CScriptedSearchDialogs dialogs;
    CNameList list;
    list.Assign({{"VILNIAUS G.", 1}, {"Vilniaus pl.", 2}, {"Kauno g.", 3}, {Cp("Žalgirio g."), 4}, {"Vilnius", 5}});
    // Kauno g. 0, VILNIAUS G. 1, Vilniaus pl. 2, Vilnius 3, Žalgirio g. 4
    struct Case {
        int selection;
        std::string typed;
        int chosen; // the object choice's answer
        int notFound;
        int resolved;
        bool asked;
        std::vector<unsigned> messages;
    };
    const Case cases[] = {
        {2, "whatever", 0, 1111, 2, false, {}},
        {-1, "", 0, 1111, -1, false, {}},
        {-1, "Vilnius", 0, 1111, 3, false, {}},
        // Letter case and accents ignored: one candidate is taken.
        {-1, "zalg", 0, 1111, 4, false, {}},
        {-1, Cp("ŽALGIRIO"), 0, 1111, 4, false, {}},
        // Several: the user's choice among them, or none.
        {-1, "vilniaus", 1, 1111, 2, true, {}},
        {-1, "vilniaus", -1, 1111, -1, true, {}},
        // None: the caller's message, or none at all.
        {-1, "Sodo", 0, 1111, -1, false, {1111}},
        {-1, "Sodo", 0, 1107, -1, false, {1107}},
        {-1, "Sodo", 0, 0, -1, false, {}},
        // A stray selection is no entry.
        {7, "Kauno g.", 0, 1111, 0, false, {}},
    };
    for (const Case& c : cases) {
        services.messages.clear();
        dialogs.choices.clear();
        dialogs.chosenText = c.chosen;
        EXPECT_EQ(list.Resolve(c.selection, c.typed, c.notFound), c.resolved) << c.typed;
        EXPECT_EQ(!dialogs.choices.empty(), c.asked) << c.typed;
        if (c.asked) {
            EXPECT_EQ(dialogs.choices.front(), (std::vector<std::string>{"VILNIAUS G.", "Vilniaus pl."}));
        }
        EXPECT_EQ(services.MessageIds(), c.messages) << c.typed;
    }
}

} // namespace
