#include "platform/UserServices.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class CRecordingServices : public IUserServices {
public:
    int MessageBox(const std::string&, unsigned, unsigned) override
    {
        ++shown;
        return IDOK;
    }
    std::unique_ptr<IProgress> CreateProgress(int) override { return nullptr; }

    int shown = 0;
};

class ServicesOverlayTest : public ::testing::Test {
protected:
    ServicesOverlayTest() : m_before(&UserServices()) { SetUserServices(&base); }
    ~ServicesOverlayTest() override { SetUserServices(m_before); }

    CRecordingServices base;

private:
    IUserServices* m_before;
};

TEST_F(ServicesOverlayTest, OverlaysReleasedInOrderRestoreEachOther)
{
    auto outer = std::make_unique<CMessageCounter>();
    auto inner = std::make_unique<CMessageCounter>();
    AppMessageBox("a");
    EXPECT_EQ(inner->GetCount(), 1);
    EXPECT_EQ(outer->GetCount(), 1);
    inner.reset();
    EXPECT_EQ(&UserServices(), outer.get());
    outer.reset();
    EXPECT_EQ(&UserServices(), &base);
    EXPECT_EQ(base.shown, 1);
}

// Two result layers of one operation may end in either order.
TEST_F(ServicesOverlayTest, AnOverlayReleasedFirstIsTakenOutOfTheChain)
{
    auto outer = std::make_unique<CMessageCounter>();
    auto middle = std::make_unique<CHeldMessages>();
    auto inner = std::make_unique<CMessageCounter>();
    middle.reset();
    AppMessageBox("shown, not held");
    EXPECT_EQ(inner->GetCount(), 1);
    EXPECT_EQ(outer->GetCount(), 1);
    EXPECT_EQ(base.shown, 1);
    outer.reset();
    AppMessageBox("again");
    EXPECT_EQ(inner->GetCount(), 2);
    EXPECT_EQ(base.shown, 2);
    inner.reset();
    EXPECT_EQ(&UserServices(), &base);
}

} // namespace
