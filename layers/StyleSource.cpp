#include "layers/StyleSource.h"

#include "platform/DefaultColors.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <random>

namespace {

class CProgramStyleSource : public IStyleSource {
public:
    COLORREF NextDefaultColor(bool area) override { return GetNextDefaultColor(area); }
    int NextRandom() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return static_cast<int>(m_random() & 0x7FFF);
    }

private:
    std::mutex m_mutex;
    std::minstd_rand m_random{
        static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
};

CProgramStyleSource g_programSource;
std::atomic<IStyleSource*> g_source{nullptr};

} // namespace

IStyleSource& StyleSource()
{
    IStyleSource* source = g_source.load();
    return source ? *source : g_programSource;
}

void SetStyleSource(IStyleSource* source)
{
    g_source.store(source);
}
