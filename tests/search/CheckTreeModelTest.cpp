#include "search/CheckTreeModel.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A tree written as "root(group(a b) c)": names, children in brackets.
class CNamedTree {
public:
    explicit CNamedTree(const std::string& shape)
    {
        std::vector<int> parents{CCheckTreeModel::kNoItem};
        std::string name;
        const auto add = [&] {
            if (!name.empty())
                m_ids[name] = model.AddItem(parents.back());
            m_order.push_back(name);
            name.clear();
        };
        for (const char c : shape) {
            if (c == '(') {
                add();
                parents.push_back(m_ids[m_order.back()]);
            } else if (c == ')' || c == ' ') {
                if (!name.empty())
                    add();
                if (c == ')')
                    parents.pop_back();
            } else {
                name += c;
            }
        }
        if (!name.empty())
            add();
    }
    int operator[](const std::string& name) const { return m_ids.at(name); }
    // "name=state" for every item, in the order of the shape.
    std::string States() const
    {
        std::ostringstream out;
        for (const std::string& name : m_order)
            if (!name.empty())
                out << (out.tellp() > 0 ? " " : "") << name << '=' << model.GetState(m_ids.at(name));
        return out.str();
    }

    CCheckTreeModel model;

private:
    std::map<std::string, int> m_ids;
    std::vector<std::string> m_order;
};

TEST(CheckTreeModel, TogglesPropagateDownAndUp)
{
    struct Case {
        const char* tree;
        std::vector<std::string> toggles; // "*" checks everything
        const char* states;               // 1 unchecked, 2 checked, 3 partly
        bool rootChecked;
    };
    const Case cases[] = {
        {"root(group(a b))", {}, "root=1 group=1 a=1 b=1", false},
        // One of two layers: the group and the root partly; the second: both checked.
        {"root(group(a b))", {"a"}, "root=3 group=3 a=2 b=1", true},
        {"root(group(a b))", {"a", "b"}, "root=2 group=2 a=2 b=2", true},
        // A partly checked group clicked: it and all its members checked.
        {"root(group(a b) c)", {"a", "group"}, "root=3 group=2 a=2 b=2 c=1", true},
        // A checked item clicked: it and everything below it unchecked.
        {"root(group(a b) c)", {"group", "c", "group"}, "root=3 group=1 a=1 b=1 c=2", true},
        {"root(group(a b))", {"a", "a"}, "root=1 group=1 a=1 b=1", false},
        // A partly checked child leaves its parent partly checked, whatever its siblings.
        {"root(g(h(a b) c))", {"a", "c"}, "root=3 g=3 h=3 a=2 b=1 c=2", true},
        {"root(g(h(a b) c))", {"a", "b", "c"}, "root=2 g=2 h=2 a=2 b=2 c=2", true},
        // Clicking the root reaches every depth.
        {"root(g(h(a b) c))", {"a", "root"}, "root=2 g=2 h=2 a=2 b=2 c=2", true},
        {"root(g(h(a b) c)) other(d)", {"*"}, "root=2 g=2 h=2 a=2 b=2 c=2 other=2 d=2", true},
        {"root(g(h(a b) c)) other(d)", {"*", "b"}, "root=3 g=3 h=3 a=2 b=1 c=2 other=2 d=2", true},
    };
    for (const Case& c : cases) {
        CNamedTree tree(c.tree);
        for (const std::string& toggle : c.toggles)
            if (toggle == "*")
                tree.model.CheckAll();
            else
                tree.model.Toggle(tree[toggle]);
        const std::string what = std::string(c.tree) + " toggled " + std::to_string(c.toggles.size());
        EXPECT_EQ(tree.States(), c.states) << what;
        EXPECT_EQ(tree.model.IsChecked(tree["root"]), c.rootChecked) << what;
    }
}

TEST(CheckTreeModel, TheSetOperationsTouchOnlyWhatTheySay)
{
    CNamedTree tree("root(group(a b) c)");
    tree.model.SetCheck(tree["group"], true);
    EXPECT_EQ(tree.States(), "root=1 group=2 a=1 b=1 c=1");
    tree.model.SetDescendants(tree["group"], CCheckTreeModel::kChecked);
    EXPECT_EQ(tree.States(), "root=1 group=2 a=2 b=2 c=1");
    tree.model.UpdateParents(tree["a"]);
    EXPECT_EQ(tree.States(), "root=3 group=2 a=2 b=2 c=1");

    // Numbers that name no item change nothing and read as unchecked.
    for (const int stray : {CCheckTreeModel::kNoItem, 99}) {
        tree.model.Toggle(stray);
        tree.model.SetCheck(stray, true);
        tree.model.SetDescendants(stray, CCheckTreeModel::kChecked);
        tree.model.UpdateParents(stray);
        EXPECT_FALSE(tree.model.IsChecked(stray));
    }
    EXPECT_EQ(tree.States(), "root=3 group=2 a=2 b=2 c=1");
}

} // namespace
